// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

namespace tarnwel {

// A watch-list entry is name + "(" + stock code + ")", e.g. "中国石化(sh600028)".
// Reading it: the name is the text before the first "("; the code is what follows that
// "(" up to, not including, the entry's last character. Either read can fail on a
// malformed entry, and the caller then keeps what it had.
std::optional<QString> entryName(const QString& entry);
std::optional<QString> entryCode(const QString& entry);

} // namespace tarnwel
