// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktophooks.h"

#include <QDesktopServices>
#include <QMessageBox>

namespace tarnwel {

DesktopHooks DesktopHooks::forProgram() {
    DesktopHooks hooks;
    hooks.showNotice = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), text, QMessageBox::Ok, parent);
        box.exec();
    };
    hooks.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return hooks;
}

} // namespace tarnwel
