// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdings/wideint.h"

#include <utility>

namespace tarnwel {

namespace {

using Magnitude = std::pair<quint64, quint64>; // high, low: compared as one number

constexpr quint64 kLow32 = 0xffffffffu;

quint64 absolute(qint64 value) {
    // Negating in unsigned arithmetic takes the most negative value too.
    return value < 0 ? 0 - quint64(value) : quint64(value);
}

Magnitude multiply(quint64 a, quint64 b) {
    const quint64 a0 = a & kLow32, a1 = a >> 32, b0 = b & kLow32, b1 = b >> 32;
    const quint64 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const quint64 middle = (p00 >> 32) + (p01 & kLow32) + (p10 & kLow32);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & kLow32)};
}

Magnitude add(const Magnitude& a, const Magnitude& b) {
    const quint64 low = a.second + b.second;
    return {a.first + b.first + (low < a.second ? 1 : 0), low};
}

// a − b for a ≥ b.
Magnitude subtract(const Magnitude& a, const Magnitude& b) {
    return {a.first - b.first - (a.second < b.second ? 1 : 0), a.second - b.second};
}

// Long division, one bit at a time: the quotient and the remainder; d > 0.
std::pair<Magnitude, Magnitude> divide(const Magnitude& n, const Magnitude& d) {
    Magnitude quotient, remainder;
    for (int bit = 127; bit >= 0; --bit) {
        const quint64 next = (bit >= 64 ? n.first >> (bit - 64) : n.second >> bit) & 1;
        remainder = {(remainder.first << 1) | (remainder.second >> 63),
                     (remainder.second << 1) | next};
        quotient = {(quotient.first << 1) | (quotient.second >> 63), quotient.second << 1};
        if (remainder >= d) {
            remainder = subtract(remainder, d);
            quotient.second |= 1;
        }
    }
    return {quotient, remainder};
}

} // namespace

WideInt::WideInt(qint64 value)
    : WideInt(value < 0, 0, absolute(value)) {}

WideInt::WideInt(bool negative, quint64 high, quint64 low)
    : m_negative(negative && (high != 0 || low != 0))
    , m_high(high)
    , m_low(low) {}

WideInt WideInt::product(qint64 a, qint64 b) {
    const auto [high, low] = multiply(absolute(a), absolute(b));
    return WideInt((a < 0) != (b < 0), high, low);
}

WideInt WideInt::times(qint64 factor) const {
    const auto [carry, low] = multiply(m_low, absolute(factor));
    return WideInt(m_negative != (factor < 0), m_high * absolute(factor) + carry, low);
}

WideInt WideInt::operator-() const {
    return WideInt(!m_negative, m_high, m_low);
}

WideInt WideInt::operator+(const WideInt& other) const {
    const Magnitude a{m_high, m_low}, b{other.m_high, other.m_low};
    if (m_negative == other.m_negative) {
        const auto [high, low] = add(a, b);
        return WideInt(m_negative, high, low);
    }
    // Opposite signs: the larger magnitude keeps its sign.
    if (a < b) {
        const auto [high, low] = subtract(b, a);
        return WideInt(other.m_negative, high, low);
    }
    const auto [high, low] = subtract(a, b);
    return WideInt(m_negative, high, low);
}

int WideInt::sign() const {
    if (m_high == 0 && m_low == 0)
        return 0;
    return m_negative ? -1 : 1;
}

WideInt WideInt::roundedDiv(const WideInt& divisor) const {
    const Magnitude d{divisor.m_high, divisor.m_low};
    if (d == Magnitude{})
        return {};
    auto [quotient, remainder] = divide({m_high, m_low}, d);
    // Half the divisor or more left over rounds the magnitude up. The remainder is below
    // the divisor, so doubling it cannot overflow for a divisor below 2^127.
    if (add(remainder, remainder) >= d)
        quotient = add(quotient, {0, 1});
    return WideInt(m_negative != divisor.m_negative, quotient.first, quotient.second);
}

QString WideInt::magnitudeText(int decimals) const {
    QString digits;
    Magnitude rest{m_high, m_low};
    do {
        const auto [quotient, remainder] = divide(rest, {0, 10});
        digits.prepend(QChar(char16_t(u'0' + remainder.second)));
        rest = quotient;
    } while (rest != Magnitude{});
    if (decimals <= 0)
        return digits;
    digits = digits.rightJustified(decimals + 1, u'0');
    return digits.insert(digits.size() - decimals, u'.');
}

} // namespace tarnwel
