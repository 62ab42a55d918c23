// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringEncoder>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Text as the program stores and receives it: GBK bytes.
inline QByteArray gbk(const QString& text) {
    return QStringEncoder("GBK").encode(text);
}

// Writes `bytes` as the whole file, making its directory where needed.
inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The bytes of a file; empty when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

#ifdef QUOTE_REPLIES_DIR
// A recorded reply of the quote service as it comes over the wire: the file holds it as
// UTF-8, the service sends GBK.
inline QByteArray readReplyFile(const char* name) {
    return gbk(
        QString::fromUtf8(readAll(QStringLiteral(QUOTE_REPLIES_DIR "/") + QLatin1String(name))));
}
#endif

// Whether taking a permission bit away stops this process: not for root, and not on
// systems whose files have no such bits.
inline bool permissionBitsBind() {
#ifdef Q_OS_UNIX
    return geteuid() != 0;
#else
    return false;
#endif
}
