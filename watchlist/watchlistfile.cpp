// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/watchlistfile.h"

#include "base/textfiles.h"

#include <QFile>
#include <QFileInfo>

namespace tarnwel {

namespace watchlist {

namespace {

const QString& defaultText() {
    static const QString text = QStringLiteral("中国联通(sh600050)\r\n中国石化(sh600028)\r\n");
    return text;
}

} // namespace

Decoded decode(const QByteArray& bytes, const TextCodec& codec) {
    Decoded result;
    // Lines are cut on the bytes: GBK trail bytes never take the values of CR or LF, and
    // decoding each line alone keeps a broken one from running into the next.
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && bytes[i] != '\r')
            continue;
        if (i > start) {
            TextCodec::Decoded line = codec.decode(QByteArrayView(bytes).sliced(start, i - start));
            // An inexact line is still shown, marked where the codec could not read it.
            if (!line.exact && codec.isAvailable() &&
                !line.text.contains(QChar::ReplacementCharacter))
                line.text += QChar::ReplacementCharacter;
            result.exact = result.exact && line.exact;
            result.entries.append(std::move(line.text));
        }
        if (i + 1 < n && bytes[i] == '\r' && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    // A file that cannot be written back is never exact, even with ASCII alone in it.
    result.exact = result.exact && codec.isAvailable();
    return result;
}

std::optional<QByteArray> encode(const QStringList& entries, const TextCodec& codec) {
    QString text;
    for (const QString& entry : entries)
        text += entry + u"\r\n";
    text += u"\r\n";
    return codec.encode(text);
}

QByteArray defaultContent() {
    return TextCodec::gbk().encode(defaultText()).value_or(QByteArray());
}

} // namespace watchlist

WatchListFile::WatchListFile(QString path, TextCodec codec)
    : m_path(std::move(path))
    , m_codec(std::move(codec)) {}

bool WatchListFile::exists() const {
    return QFileInfo(m_path).isFile();
}

WatchListFile::Contents WatchListFile::read() const {
    if (!exists())
        return {Status::Missing, {}, true};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::Unreadable, {}, true};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Status::Unreadable, {}, true};
    watchlist::Decoded decoded = watchlist::decode(bytes, m_codec);
    return {Status::Ok, std::move(decoded.entries), decoded.exact};
}

bool WatchListFile::writeDefault() const {
    return writeBytes(m_codec.encode(watchlist::defaultText()));
}

bool WatchListFile::write(const QStringList& entries) const {
    return writeBytes(watchlist::encode(entries, m_codec));
}

bool WatchListFile::writeBytes(const std::optional<QByteArray>& bytes) const {
    // Every form the program writes holds at least one line end, so empty bytes can only
    // come from a failed conversion; writing them would wipe the list.
    if (!bytes || bytes->isEmpty())
        return false;
    // A list that was not read faithfully is the user's only copy: replacing it would
    // lose what could not be read or decoded.
    if (exists()) {
        const Contents current = read();
        if (current.status != Status::Ok || !current.exact)
            return false;
    }
    return writeFileAtomically(m_path, *bytes);
}

} // namespace tarnwel
