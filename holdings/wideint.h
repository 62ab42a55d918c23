// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

namespace tarnwel {

// A signed whole number of up to 127 bits, for money worked exactly: 10^10 shares times a
// price of seven integer digits and six decimals takes 77 bits, and sums of such products
// stay far below the limit. Written out in two 64-bit halves, as not every compiler the
// program is built with has a 128-bit integer; nothing checks for overflow beyond that.
class WideInt {
public:
    WideInt() = default;
    WideInt(qint64 value); // implicit: a plain number is one

    static WideInt product(qint64 a, qint64 b);
    WideInt times(qint64 factor) const;

    WideInt operator-() const;
    WideInt operator+(const WideInt& other) const;
    WideInt operator-(const WideInt& other) const { return *this + -other; }
    WideInt& operator+=(const WideInt& other) { return *this = *this + other; }
    friend bool operator==(const WideInt&, const WideInt&) = default;

    // -1, 0 or +1.
    int sign() const;
    // This ÷ divisor, rounded to the nearest whole number, halves away from zero; nothing
    // is worked for a zero divisor, which gives zero.
    WideInt roundedDiv(const WideInt& divisor) const;
    // The magnitude in decimal digits, with a point before the last `decimals` of them:
    // 12345 at two decimals is "123.45", 5 is "0.05". No sign.
    QString magnitudeText(int decimals) const;

private:
    WideInt(bool negative, quint64 high, quint64 low);

    // A sign and a magnitude rather than two's complement: rounding halves away from zero
    // and reading the digits then need no special case for negatives.
    bool m_negative = false; // never set for zero
    quint64 m_high = 0;
    quint64 m_low = 0;
};

} // namespace tarnwel
