#pragma once

#include <QString>

namespace tarnwel {

// Turns the stored transparency text ("60%") into the ticker's constant alpha
// (0 invisible … 255 opaque): the last character is dropped, the rest read as a
// percentage. A percentage outside 0…100, possible only after a hand edit, is clamped.
int alphaFromTransparency(const QString& opText);

} // namespace tarnwel
