// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/chartaddress.h"

namespace tarnwel {

QString chartPeriodWord(int period) {
    static const char* const words[kChartPeriodCount] = {"daily", "weekly", "monthly", "min"};
    if (period < 0 || period >= kChartPeriodCount)
        return {};
    return QLatin1String(words[period]);
}

QString chartSubjectCode(ChartSubject subject, const QString& stockCode) {
    switch (subject) {
    case ChartSubject::ShanghaiIndex:
        return QString::fromUtf16(kShanghaiIndexCode);
    case ChartSubject::ShenzhenIndex:
        return QString::fromUtf16(kShenzhenIndexCode);
    case ChartSubject::Stock:
        break;
    }
    return stockCode;
}

QString chartAddress(const QUrl& base, int period, const QString& code) {
    const QString word = chartPeriodWord(period);
    if (word.isEmpty() || code.size() > kMaxCodeLength)
        return {};
    QString root = base.toString();
    // A base configured without its final "/" would run the host or last path segment
    // into "newchart"; the service root is meant either way.
    if (!root.endsWith(u'/'))
        root += u'/';
    return root + u"newchart/" + word + u"/n/" + QLatin1String(codeForPath(code)) + u".gif";
}

} // namespace tarnwel
