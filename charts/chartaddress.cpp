#include "charts/chartaddress.h"

namespace tarnwel {

QString chartAddress(const QUrl& base, int period, const QString& code)
{
    static const char* const words[] = {"daily", "weekly", "monthly", "min"};
    if (period < 0 || period > 3)
        return {};
    return base.toString() + QStringLiteral("newchart/") + QLatin1String(words[period]) +
           QStringLiteral("/n/") + code + QStringLiteral(".gif");
}

} // namespace tarnwel
