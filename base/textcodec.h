// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace tarnwel {

// The program's one way between bytes and text in a legacy encoding: GBK for the quote
// service, setup.ini and the names the service gives. One rule everywhere: bytes that do
// not decode exactly are never taken as text. Not exact: a byte sequence the encoding
// does not define, or a character cut off at the end. Qt's converter (ICU) reports both,
// so its word decides; what it maps to private use (user-defined areas, and 0xFF) is
// text it can write back byte for byte, and stays the user's.
class TextCodec {
public:
    // GBK, the encoding of the quote service and of the watch-list file.
    static TextCodec gbk();
    // An unknown name stands for a Qt built without that converter.
    explicit TextCodec(QByteArray name);

    const QByteArray& name() const { return m_name; }
    // Whether Qt can convert both ways between this encoding and Unicode here.
    bool isAvailable() const;

    struct Decoded {
        QString text; // what does not decode shows as U+FFFD
        bool exact = false;
    };
    // Always some text to show. Without a converter, ASCII as it is and every other byte
    // as U+FFFD, never exact.
    Decoded decode(QByteArrayView bytes) const;
    // The text, or nothing unless the bytes decode exactly.
    std::optional<QString> decodeExact(QByteArrayView bytes) const;
    // The bytes, or nothing unless every character has its own bytes in the encoding:
    // never the "?" a converter writes for what it cannot map.
    std::optional<QByteArray> encode(QStringView text) const;

private:
    QByteArray m_name;
};

} // namespace tarnwel
