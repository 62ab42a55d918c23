// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/pricechange.h"

#include <algorithm>

namespace tarnwel {

namespace {

// Enough for any price the service writes, and for the products worked with below.
constexpr int kMaxIntegerDigits = 7;
constexpr int kMaxDecimals = 6;

} // namespace

std::optional<Decimal> parseDecimal(QStringView text) {
    text = text.trimmed();
    Decimal d;
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    int integerDigits = 0;
    bool point = false;
    for (const QChar c : text) {
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (point ? ++d.decimals > kMaxDecimals : ++integerDigits > kMaxIntegerDigits)
            return std::nullopt;
        d.units = d.units * 10 + (c.unicode() - u'0');
    }
    if (integerDigits + d.decimals == 0)
        return std::nullopt;
    if (negative)
        d.units = -d.units;
    return d;
}

namespace {

qint64 power10(int n) {
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// a / b rounded to the nearest whole number, halves away from zero; b > 0.
qint64 roundedQuotient(qint64 a, qint64 b) {
    const qint64 magnitude = ((a < 0 ? -a : a) * 2 + b) / (b * 2);
    return a < 0 ? -magnitude : magnitude;
}

// `units` at `decimals` places, with its sign unless zero.
QString signedText(qint64 units, int decimals) {
    const qint64 scale = power10(decimals);
    const qint64 magnitude = units < 0 ? -units : units;
    QString text = QString::number(magnitude / scale);
    if (decimals > 0)
        text += u'.' + QString::number(magnitude % scale).rightJustified(decimals, u'0');
    if (units > 0)
        return u'+' + text;
    return units < 0 ? u'-' + text : text;
}

// Two numbers at the finer of their scales, so that sums and comparisons are exact.
struct Aligned {
    qint64 a = 0;
    qint64 b = 0;
    int decimals = 0;
};

Aligned aligned(const Decimal& a, const Decimal& b) {
    const int decimals = std::max(a.decimals, b.decimals);
    return {a.units * power10(decimals - a.decimals), b.units * power10(decimals - b.decimals),
            decimals};
}

} // namespace

std::optional<PriceChange> priceChange(QStringView price, QStringView previousClose) {
    const std::optional<Decimal> p = parseDecimal(price);
    const std::optional<Decimal> c = parseDecimal(previousClose);
    if (!p || !c || c->units <= 0)
        return std::nullopt;
    const auto [priceUnits, closeUnits, decimals] = aligned(*p, *c);
    const qint64 difference = priceUnits - closeUnits;

    PriceChange result;
    result.direction = difference > 0 ? 1 : difference < 0 ? -1 : 0;
    // A change or percent that rounds to zero keeps the sign of the move, as the colour does.
    const auto withSign = [difference](qint64 rounded, int places) {
        QString text = signedText(rounded, places);
        if (rounded == 0 && difference != 0)
            text.prepend(difference > 0 ? u'+' : u'-');
        return text;
    };
    result.change =
        withSign(roundedQuotient(difference, power10(decimals - p->decimals)), p->decimals);
    // Hundredths of a percent: difference × 10000 ÷ close.
    result.percent = withSign(roundedQuotient(difference * 10000, closeUnits), 2) + u'%';
    return result;
}

std::optional<int> compareDecimals(QStringView a, QStringView b) {
    const std::optional<Decimal> x = parseDecimal(a);
    const std::optional<Decimal> y = parseDecimal(b);
    if (!x || !y)
        return std::nullopt;
    const Aligned both = aligned(*x, *y);
    return both.a > both.b ? 1 : both.a < both.b ? -1 : 0;
}

std::optional<bool> movesAtLeast(QStringView price, QStringView previousClose,
                                 QStringView percent) {
    const std::optional<Decimal> p = parseDecimal(price);
    const std::optional<Decimal> c = parseDecimal(previousClose);
    const std::optional<Decimal> m = parseDecimal(percent);
    if (!p || !c || !m || c->units <= 0 || m->decimals > 2 || m->units < 0 ||
        m->units > 100 * power10(m->decimals))
        return std::nullopt;
    const auto [priceUnits, closeUnits, decimals] = aligned(*p, *c);
    const qint64 difference =
        priceUnits > closeUnits ? priceUnits - closeUnits : closeUnits - priceUnits;
    // |difference| / close >= m / 100 in whole numbers, each side below 10^18.
    return difference * 100 * power10(m->decimals) >= m->units * closeUnits;
}

} // namespace tarnwel
