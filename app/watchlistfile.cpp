#include "app/watchlistfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tarnwel {

namespace watchlist {

QStringList parse(const QByteArray& bytes) {
    // GBK trail bytes never take the values of CR or LF, so splitting after decoding
    // is safe.
    const QString text = QStringDecoder("GBK").decode(bytes);
    QStringList entries;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && text[i] != u'\r')
            continue;
        if (i > start)
            entries.append(text.mid(start, i - start));
        if (i + 1 < n && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    return entries;
}

QByteArray encode(const QStringList& entries) {
    QString text;
    for (const QString& entry : entries)
        text += entry + u"\r\n";
    text += u"\r\n";
    return QStringEncoder("GBK").encode(text);
}

QByteArray defaultContent() {
    return QStringEncoder("GBK").encode(
        QStringLiteral("中国联通(sh600050)\r\n中国石化(sh600028)\r\n"));
}

} // namespace watchlist

WatchListFile::WatchListFile(QString path)
    : m_path(std::move(path)) {}

bool WatchListFile::exists() const {
    return QFileInfo(m_path).isFile();
}

WatchListFile::Contents WatchListFile::read() const {
    if (!exists())
        return {Status::Missing, {}};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, {}};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, {}};
    return {Status::Ok, watchlist::parse(bytes)};
}

bool WatchListFile::writeDefault() const {
    return writeBytes(watchlist::defaultContent());
}

bool WatchListFile::write(const QStringList& entries) const {
    return writeBytes(watchlist::encode(entries));
}

bool WatchListFile::writeBytes(const QByteArray& bytes) const {
    QSaveFile file(m_path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s result; a
    // buffered flush would drop it silently and commit a truncated list.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString WatchListFile::defaultPath() {
    const QString appDir = QCoreApplication::applicationDirPath();
    if (QFileInfo(appDir).isWritable())
        return appDir + QStringLiteral("/setup.ini");
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataDir);
    return dataDir + QStringLiteral("/setup.ini");
}

} // namespace tarnwel
