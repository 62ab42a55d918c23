// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace tarnwel {

// How the windows reach the user's desktop: the program's one kind of message and the
// browser. Always complete; tests replace both so nothing blocks or leaves the machine.
struct DesktopHooks {
    // Title "提示", the text, an OK button.
    std::function<void(QWidget* parent, const QString& text)> showNotice;
    // Opens an address in the user's browser; whether it opened is not looked at.
    std::function<void(const QUrl& url)> openUrl;

    // A modal message box and the desktop's default handler.
    static DesktopHooks forProgram();
};

} // namespace tarnwel
