#pragma once

#include <QString>

class QWidget;

namespace tarnwel {

struct Environment;

// The program's one kind of message: title "提示", the text, an OK button. Goes
// through the environment's hook when one is set, so tests never block on a dialog.
void showNotice(const Environment& env, QWidget* parent, const QString& text);

} // namespace tarnwel
