#include "charts/chartlaunch.h"

#include "ticker/form1.h"

namespace tarnwel {

void LaunchChart(Form1&, ChartSubject) {}

} // namespace tarnwel
