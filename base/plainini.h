// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSettings>

namespace tarnwel {

// An INI format that keeps every value as the text it is: Qt's own reads ";" as the
// start of a comment and "," as a list separator, which would cut a stored alert such as
// "above:5.50;below:5.00" short and rewrite it so on the next save. Here a line is
// "[section]", "key=value" or, starting with ";" or "#", a comment; a value in double
// quotes (as Qt's format writes some) has them taken off.
QSettings::Format plainIniFormat();

} // namespace tarnwel
