// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tarnwel {

namespace {

// Stateless: a lead byte cut off at the end is an error, not a character left pending.
constexpr auto kStateless = QStringConverter::Flag::Stateless;

QString asciiOnly(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        text += static_cast<unsigned char>(c) < 0x80 ? QChar::fromLatin1(c)
                                                     : QChar(QChar::ReplacementCharacter);
    return text;
}

} // namespace

TextCodec TextCodec::gbk() {
    return TextCodec(QByteArrayLiteral("GBK"));
}

TextCodec::TextCodec(QByteArray name)
    : m_name(std::move(name)) {}

bool TextCodec::isAvailable() const {
    return QStringDecoder(m_name.constData()).isValid() &&
           QStringEncoder(m_name.constData()).isValid();
}

TextCodec::Decoded TextCodec::decode(QByteArrayView bytes) const {
    if (!isAvailable())
        return {asciiOnly(bytes), false};
    QStringDecoder decoder(m_name.constData(), kStateless);
    Decoded result;
    result.text = decoder.decode(bytes);
    result.exact = !decoder.hasError();
    return result;
}

std::optional<QString> TextCodec::decodeExact(QByteArrayView bytes) const {
    Decoded decoded = decode(bytes);
    if (!decoded.exact)
        return std::nullopt;
    return std::move(decoded.text);
}

std::optional<QByteArray> TextCodec::encode(QStringView text) const {
    QStringEncoder encoder(m_name.constData(), kStateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError() || (bytes.isEmpty() && !text.isEmpty()))
        return std::nullopt;
    return bytes;
}

} // namespace tarnwel
