// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/tickertexts.h"

#include "quotes/pricechange.h"
#include "quotes/quotereply.h"

namespace tarnwel {

QString codeDigits(const QString& code) {
    // Every occurrence of each market's prefix goes, as it always has for "sh" and "sz";
    // a Beijing code loses its "bj" the same way.
    QString digits = code;
    for (const char16_t* prefix : {u"sh", u"sz", u"bj"})
        digits.remove(QString::fromUtf16(prefix));
    return digits;
}

namespace {

// Where the price is not a traded one, a zero open, high or low is no level at all.
QString level(const QuoteValues& v, const QString& field) {
    return v.priceKind != PriceKind::Traded && quoterecord::readsZero(field) ? QStringLiteral("--")
                                                                             : field;
}

int directionOf(const QString& value, const QString& close) {
    if (quoterecord::readsZero(value))
        return 0;
    const std::optional<PriceChange> change = priceChange(value, close);
    return change ? change->direction : 0;
}

} // namespace

TickerTexts tickerTexts(const QuoteValues& v) {
    const QString lots = quotereply::lotsText(v.volumeLots);
    const QString high = level(v, v.highPrice);
    const QString low = level(v, v.lowPrice);
    const QString word = quoterecord::kindWord(v.priceKind);

    TickerTexts t;
    t.label4 = u"最高:" + high + u"  最低:" + low;
    t.label3 = u"昨收:" + v.prevClose + u"  今开:" + level(v, v.openPrice) + u"  成交:" + lots;
    t.label2 = v.lastPrice;
    t.label9 = word;
    // A price that stands in for a trade has no change.
    if (v.priceKind == PriceKind::Traded) {
        if (const std::optional<PriceChange> change = priceChange(v.lastPrice, v.prevClose)) {
            t.direction = change->direction;
            t.change = change->change + u' ' + change->percent;
            t.label9 = change->change + u'\n' + change->percent;
        }
    }
    t.shDirection = directionOf(v.shIndexValue, v.shIndexClose);
    t.szDirection = directionOf(v.szIndexValue, v.szIndexClose);
    t.label5 = u"沪综指:" + v.shIndexValue;
    t.label6 = u"深成指:" + v.szIndexValue;
    t.label1 = v.currentStockName;
    t.stealthCaption =
        codeDigits(v.currentStockCode) + u'(' + (v.lastPrice.isEmpty() ? word : v.lastPrice) + u')';
    t.stealthTooltip = v.currentStockName + u"(最高:" + high + u" 最低:" + low + u" 成交:" + lots +
                       u")沪综指:" + v.shIndexValue + u" 深成指:" + v.szIndexValue;
    return t;
}

} // namespace tarnwel
