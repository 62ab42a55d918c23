// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/stockcode.h"

#include <QString>
#include <QUrl>

namespace tarnwel {

// What a chart shows: the ticker's current stock or one of the two indices.
enum class ChartSubject { Stock, ShanghaiIndex, ShenzhenIndex };

// The four chart periods, in the order of the chart window's period labels.
inline constexpr int kChartPeriodCount = 4;

// "daily", "weekly", "monthly", "min" for 0 … 3; empty for any other period.
QString chartPeriodWord(int period);

// The stock code a chart of `subject` is drawn for: the current stock's own code or
// one of the two fixed index codes.
QString chartSubjectCode(ChartSubject subject, const QString& stockCode);

// base + "newchart/" + period word + "/n/" + code + ".gif"; period 0 daily, 1 weekly,
// 2 monthly, 3 intraday. The code is the watch-list entry's, whatever its market, with
// every character other than an ASCII letter or digit percent-encoded, so that the
// address always stays under "newchart/<period>/n/"; nothing else is added, so asking for
// the same chart twice asks for the same address. Empty for a period outside 0 … 3 and
// for a code longer than kMaxCodeLength: such a chart is not requested at all.
QString chartAddress(const QUrl& base, int period, const QString& code);

} // namespace tarnwel
