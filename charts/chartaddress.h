#pragma once

#include <QString>
#include <QUrl>

namespace tarnwel {

// What a chart shows: the ticker's current stock or one of the two indices.
enum class ChartSubject { Stock, ShanghaiIndex, ShenzhenIndex };

// The four chart periods, in the order of the chart window's period labels.
inline constexpr int kChartPeriodCount = 4;

inline constexpr char16_t kShanghaiIndexCode[] = u"sh000001";
inline constexpr char16_t kShenzhenIndexCode[] = u"sz399001";

// "daily", "weekly", "monthly", "min" for 0 … 3; empty for any other period.
QString chartPeriodWord(int period);

// The stock code a chart of `subject` is drawn for: the current stock's own code or
// one of the two fixed index codes.
QString chartSubjectCode(ChartSubject subject, const QString& stockCode);

// base + "newchart/" + period word + "/n/" + code + ".gif"; period 0 daily, 1 weekly,
// 2 monthly, 3 intraday. The code goes in exactly as the watch-list entry holds it, and
// nothing else is added, so asking for the same chart twice asks for the same address.
// Empty for a period outside 0 … 3.
QString chartAddress(const QUrl& base, int period, const QString& code);

} // namespace tarnwel
