// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktophooks.h"

#include "alerts/desktopnotifier.h"
#include "app/globalshortcut.h"

#include <QDesktopServices>
#include <QMessageBox>

#include <memory>

namespace tarnwel {

DesktopHooks DesktopHooks::forProgram() {
    DesktopHooks hooks;
    hooks.showNotice = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), text, QMessageBox::Ok, parent);
        box.exec();
    };
    hooks.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    const auto notifier = std::make_shared<DesktopNotifier>();
    hooks.notify = [notifier](const QString& title, const QString& text) {
        notifier->notify(title, text);
    };
    hooks.globalShortcut = [] { return platformShortcut(); };
    return hooks;
}

} // namespace tarnwel
