#pragma once

class QScreen;
class QWidget;

namespace tarnwel {

// Centres a top-level window's frame on `screen` (its own screen when null). A window
// manager frames the window only after it is shown, so its frame is measured again
// then, and the window centred once more by the frame it really has.
void centreOnScreen(QWidget* window, const QScreen* screen = nullptr);

} // namespace tarnwel
