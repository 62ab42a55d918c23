#pragma once

#include "charts/chartaddress.h"

#include <QString>

namespace tarnwel {

class Form1;

// Opens the chart window (or re-targets the open one) on the daily chart of `subject`,
// taking the current stock from the ticker's quote feed at this moment.
void LaunchChart(Form1& ticker, ChartSubject subject);

// The same with the current stock given: its name captions the stock option and its
// code is the one the stock option and the stock subject chart.
void LaunchChart(Form1& ticker, ChartSubject subject, const QString& stockName,
                 const QString& stockCode);

} // namespace tarnwel
