#include "watchlist/stockdirectory.h"

namespace tarnwel::stockdirectory {

QStringList shanghai()
{
    return {};
}

QStringList shenzhen()
{
    return {};
}

QStringList filter(const QStringList& directory, const QString& text)
{
    QStringList result;
    for (const QString& entry : directory) {
        if (entry.contains(text))
            result.append(entry);
    }
    return result;
}

} // namespace tarnwel::stockdirectory
