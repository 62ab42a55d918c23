// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

namespace tarnwel {

// Reads the number at the front of a text the way the stored settings and the quote
// service's fields are read: leading blanks are skipped, then an optional sign, digits
// with an optional "." as the decimal point (whatever the locale), and reading stops at
// the first other character. Text with no number in front reads as 0.
double leadingNumber(QStringView text);

} // namespace tarnwel
