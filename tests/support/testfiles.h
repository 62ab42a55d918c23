#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>

// Text as the program stores and receives it: GBK bytes.
inline QByteArray gbk(const QString& text) {
    return QStringEncoder("GBK").encode(text);
}

// The bytes of a file; empty when it cannot be read.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
