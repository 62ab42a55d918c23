// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarnwel {

// Qt's own texts (the message boxes' buttons, the edit boxes' context menus) in Simplified
// Chinese, whatever the system's language, like the rest of the program. They come from
// Qt's translations as the system ships them, found in `directory` (Qt's own translations
// directory when empty). False when none could be loaded: Qt's English texts stay.
bool useChineseQtTexts(const QString& directory = {});

} // namespace tarnwel
