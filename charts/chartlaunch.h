#pragma once

#include "charts/chartaddress.h"

namespace tarnwel {

class Form1;

// Opens the chart window (or re-targets the open one) on the daily chart of `subject`,
// taking the current stock from the ticker's quote feed at this moment.
void LaunchChart(Form1& ticker, ChartSubject subject);

} // namespace tarnwel
