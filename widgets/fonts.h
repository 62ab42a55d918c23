// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarnwel {

// The layouts name the classic Chinese system fonts "黑体" and "宋体". Where they are
// missing (Linux), map them to CJK fonts that are commonly installed. Safe to call
// more than once.
void registerFontSubstitutions();

// The windows are laid out for a 9 pt interface font; a larger desktop default would
// clip the lists and captions.
void useNinePointFont();

} // namespace tarnwel
