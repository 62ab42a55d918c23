#pragma once

#include "ticker/quotefeed.h"

#include <QString>

namespace tarnwel {

// What a turn has gathered by the time it writes to the screen. Prices and index values
// are the service's texts, never turned into numbers.
struct QuoteValues {
    QString currentStockName;
    QString currentStockCode;
    QString shIndexValue;
    QString szIndexValue;
    QString openPrice;
    QString prevClose;
    QString lastPrice;
    QString highPrice;
    QString lowPrice;
    double volumeLots = 0;
};

// The eight ticker and stealth-window texts, blanks and all.
TickerTexts tickerTexts(const QuoteValues& values);

} // namespace tarnwel
