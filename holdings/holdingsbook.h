// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "holdings/holding.h"
#include "holdings/wideint.h"
#include "quotes/quote.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwel {

class SettingsStore;

// What a holding earns at a quote's price, exactly, in millionths of a yuan: the prices
// have at most six decimals and the costs four, so nothing is rounded on the way.
struct HoldingFigures {
    std::optional<WideInt> today; // shares × (price − previous close); a quote of today only
    std::optional<WideInt> total; // shares × (price − cost); none without a price
    WideInt basis;                // shares × cost
};

// The figures at the price the ticker shows: a traded one, the auction's, or the previous
// close where the stock is suspended or has not traded yet; none for a record without one.
HoldingFigures holdingFigures(const Holding& holding, const Quote& quote, bool ofToday);

// Millionths of a yuan as yuan with two decimals, rounded half away from zero, signed as a
// price change is: "+50.00", "-12.30", "0.00"; an amount that only rounds to zero keeps
// its sign, "+0.00".
QString amountText(const WideInt& micro);
// gain ÷ basis as a percent with two decimals, signed the same way: "+2.15%"; none where the
// basis is zero (nothing was paid).
std::optional<QString> returnText(const WideInt& gain, const WideInt& basis);

// A line in pieces, each with the sign it is coloured by: 0 for words and hidden figures.
struct SignedPiece {
    QString text;
    int sign = 0;
};
using SignedLine = QList<SignedPiece>;
QString plainText(const SignedLine& line);

// The holdings of the listed stocks and the latest quote of each: what each earns today and
// in all, and the sums over the holdings that have a quote of today.
class HoldingsBook {
public:
    // The holdings of `codes` as stored, in place of those before. A stored value that does
    // not read is ignored, and logged once.
    void load(const SettingsStore& settings, const QStringList& codes);
    // The same codes again, after a holding was changed.
    void reload(const SettingsStore& settings) { load(settings, m_codes); }

    // A stock's quote as the feed had it at `checkedAt`: `live` when it came from the service
    // just now. The exchange's day of `checkedAt` is today from then on.
    void record(const Quote& quote, bool live, const QDateTime& checkedAt);

    // A held stock's figures at its latest quote; none without a holding or a quote.
    std::optional<HoldingFigures> figures(const QString& code) const;
    // The sums over the holdings whose latest quote is of today and gives both figures; none
    // when there is no such holding.
    std::optional<HoldingFigures> totals() const;

    // "持仓 1000 股 成本 5.120  今日 +50.00  累计 +110.00 (+2.15%)"; empty for a stock
    // without a holding. `hideAmounts` writes "***" for the share count and every amount.
    SignedLine stockLine(const QString& code, bool hideAmounts) const;
    // "合计 今日 +120.00  累计 +340.00 (+1.20%)"; empty without totals.
    SignedLine totalLine(bool hideAmounts) const;

private:
    struct Latest {
        Quote quote;
        QDate day; // the exchange's day of the record; invalid where it cannot be told
    };

    QStringList m_codes;
    QHash<QString, Holding> m_holdings;
    QHash<QString, Latest> m_quotes;
    QDate m_today;
    QSet<QString> m_reported; // "code=value" already logged as unreadable
};

} // namespace tarnwel
