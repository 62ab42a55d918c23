// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"
#include "holdings/holdingsbook.h"

#include <QString>

namespace tarnwel {

// A holdings line as one line of a rich-text tooltip, each figure coloured by its sign as
// `colours` has it, in shades that read on the tooltip's own background.
QString signedLineHtml(const SignedLine& line, UpDownColours colours);

} // namespace tarnwel
