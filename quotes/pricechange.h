// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tarnwel {

// A plain decimal text as a whole number of its last place: "5.120" is 5120 at three
// decimals.
struct Decimal {
    qint64 units = 0; // the value times 10^decimals
    int decimals = 0;
};

// Nothing where the text is not a plain decimal number (an optional sign, digits, at most
// one point) of at most seven integer digits and six decimals.
std::optional<Decimal> parseDecimal(QStringView text);

// How far a price stands from the previous close, worked in decimal from the service's
// texts so that "5.230" − "5.180" is exactly "+0.050".
struct PriceChange {
    int direction = 0; // +1 up, -1 down, 0 unchanged
    QString change;    // with the price's decimals and its sign: "+0.050", "-0.12", "0.00"
    QString percent;   // of the previous close, two decimals: "+0.97%", "0.00%"
    // Either keeps the move's sign when it rounds to zero: "-0.00", "+0.00%".
};

// Nothing where either text is not a plain decimal number or the previous close is zero.
std::optional<PriceChange> priceChange(QStringView price, QStringView previousClose);

// The sign of a − b, exactly; nothing where either is not a plain decimal number.
std::optional<int> compareDecimals(QStringView a, QStringView b);

// Whether the price stands at least `percent` percent of the previous close away from it,
// up or down, exactly. Nothing where a text does not read, the close is not above zero or
// the percent is not one of 0 to 100 with at most two decimals.
std::optional<bool> movesAtLeast(QStringView price, QStringView previousClose, QStringView percent);

} // namespace tarnwel
