// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/entry.h"

namespace tarnwel {

std::optional<QString> entryName(const QString& entry) {
    const qsizetype open = entry.indexOf(u'(');
    if (open < 0)
        return std::nullopt;
    return entry.left(open);
}

std::optional<QString> entryCode(const QString& entry) {
    // Without a "(", the code starts at the first character.
    const qsizetype start = entry.indexOf(u'(') + 1;
    const qsizetype length = entry.size() - start - 1;
    if (length < 0)
        return std::nullopt;
    return entry.mid(start, length);
}

} // namespace tarnwel
