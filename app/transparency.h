// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tarnwel {

// Turns the stored transparency text ("60%") into the ticker's constant alpha
// (0 invisible … 255 opaque): the last character is dropped, the rest read as a
// percentage. The ticker is never made more transparent than "90%", the most the
// watch-list window offers: a hand-edited "100%" would hide it and its menu with it.
int alphaFromTransparency(const QString& opText);

} // namespace tarnwel
