#pragma once

#include <QIcon>
#include <QPixmap>

namespace tarnwel::artwork {

// The ticker's background, 250 × 100: grey, near-black and dark grey bands with a small
// gear and a down arrow in the top-right corner, where the menu opens.
QPixmap tickerBackground();
// A 32 × 32 house with a red roof.
QPixmap houseIcon();
// The menu panel, 116 × 90: white with a thin grey frame.
QPixmap menuPanel();
// The program's window icon.
QIcon programIcon();

} // namespace tarnwel::artwork
