#include "watchlist/watchlistfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tarnwel {

namespace watchlist {

namespace {

constexpr auto kStateless = QStringConverter::Flag::Stateless;

const QString& defaultText() {
    static const QString text = QStringLiteral("中国联通(sh600050)\r\n中国石化(sh600028)\r\n");
    return text;
}

// Nothing unless every character has its own bytes in `encoding`: an encoder that is
// missing gives empty bytes, and one that meets an unmappable character gives "?".
std::optional<QByteArray> encodeText(const QString& text, const char* encoding) {
    QStringEncoder encoder(encoding, kStateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || (bytes.isEmpty() && !text.isEmpty()))
        return std::nullopt;
    return bytes;
}

// ASCII as it is, every other byte as U+FFFD.
QString decodeAsciiOnly(QByteArrayView line) {
    QString text;
    text.reserve(line.size());
    for (const char c : line)
        text += static_cast<unsigned char>(c) < 0x80 ? QChar::fromLatin1(c)
                                                     : QChar(QChar::ReplacementCharacter);
    return text;
}

} // namespace

Decoded decode(const QByteArray& bytes, const char* encoding) {
    Decoded result;
    const bool available = encodingAvailable(encoding);
    result.exact = available;
    // Lines are cut on the bytes: GBK trail bytes never take the values of CR or LF, and
    // decoding each line alone keeps a broken one from running into the next.
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && bytes[i] != '\r')
            continue;
        if (i > start) {
            const QByteArrayView line = QByteArrayView(bytes).sliced(start, i - start);
            if (available) {
                QStringDecoder decoder(encoding, kStateless);
                QString text = decoder.decode(line);
                // A truncated character is dropped silently by the decoder; only the way
                // back shows it. The line is still shown, marked where it is damaged.
                if (decoder.hasError() || encodeText(text, encoding) != line.toByteArray()) {
                    result.exact = false;
                    if (!text.contains(QChar::ReplacementCharacter))
                        text += QChar::ReplacementCharacter;
                }
                result.entries.append(std::move(text));
            } else {
                result.entries.append(decodeAsciiOnly(line));
            }
        }
        if (i + 1 < n && bytes[i] == '\r' && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return result;
}

QStringList parse(const QByteArray& bytes) {
    return decode(bytes).entries;
}

std::optional<QByteArray> encode(const QStringList& entries, const char* encoding) {
    QString text;
    for (const QString& entry : entries)
        text += entry + u"\r\n";
    text += u"\r\n";
    return encodeText(text, encoding);
}

QByteArray defaultContent() {
    return encodeText(defaultText(), kEncoding).value_or(QByteArray());
}

bool encodingAvailable(const char* encoding) {
    return QStringDecoder(encoding).isValid() && QStringEncoder(encoding).isValid();
}

} // namespace watchlist

WatchListFile::WatchListFile(QString path, QByteArray encoding)
    : m_path(std::move(path))
    , m_encoding(std::move(encoding)) {}

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
    watchlist::Decoded decoded = watchlist::decode(bytes, m_encoding.constData());
    return {Status::Ok, std::move(decoded.entries), decoded.exact};
}

bool WatchListFile::writeDefault() const {
    return writeBytes(watchlist::encodeText(watchlist::defaultText(), m_encoding.constData()));
}

bool WatchListFile::write(const QStringList& entries) const {
    return writeBytes(watchlist::encode(entries, m_encoding.constData()));
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
    QSaveFile file(m_path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s result; a
    // buffered flush would drop it silently and commit a truncated list.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(*bytes) != bytes->size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tarnwel
