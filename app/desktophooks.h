// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QWidget;

namespace tarnwel {

class GlobalShortcut;

// How the windows reach the user's desktop: the program's one kind of message, the
// browser, desktop notifications and a global key. Always complete; tests replace them all so
// nothing blocks or leaves the machine.
struct DesktopHooks {
    // Title "提示", the text, an OK button.
    std::function<void(QWidget* parent, const QString& text)> showNotice;
    // Opens an address in the user's browser; whether it opened is not looked at.
    std::function<void(const QUrl& url)> openUrl;
    // A passing desktop notification; nothing where the desktop has no notification service.
    std::function<void(const QString& title, const QString& text)> notify;
    // The boss key: a combination that reaches the program wherever the focus is.
    std::function<std::unique_ptr<GlobalShortcut>()> globalShortcut;

    // A modal message box, the desktop's default handler, the session bus's
    // notification service and the desktop's own global shortcut.
    static DesktopHooks forProgram();
};

} // namespace tarnwel
