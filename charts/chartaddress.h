#pragma once

#include <QString>
#include <QUrl>

namespace tarnwel {

// What a chart shows: the ticker's current stock or one of the two indices.
enum class ChartSubject { Stock, ShanghaiIndex, ShenzhenIndex };

// base + "newchart/" + period word + "/n/" + code + ".gif"; period 0 daily, 1 weekly,
// 2 monthly, 3 intraday. The code goes in exactly as the watch-list entry holds it.
QString chartAddress(const QUrl& base, int period, const QString& code);

} // namespace tarnwel
