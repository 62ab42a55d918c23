// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/stockcode.h"

namespace tarnwel {

QByteArray codeForPath(const QString& code) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = code.toUtf8();
    QByteArray encoded;
    encoded.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const uchar byte = uchar(c);
        if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
            (byte >= 'A' && byte <= 'Z')) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0xF];
        }
    }
    return encoded;
}

bool isKeyCode(const QString& code) {
    if (code.isEmpty() || code.size() > kMaxCodeLength)
        return false;
    for (const QChar c : code) {
        if (c.unicode() > 0x7f || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

} // namespace tarnwel
