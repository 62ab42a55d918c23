// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenvironment.h"

#include "base/autostart.h"
#include "base/settingsstore.h"

tarnwel::Environment makeTestEnvironment(const QString& dir,
                                         const std::shared_ptr<RecordedHooks>& hooks) {
    tarnwel::Environment env;
    env.quoteBaseUrl = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    env.chartBaseUrl = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    env.helpUrl = QUrl(QStringLiteral("http://help.invalid/how.htm"));
    env.turnPauseMs = 50;
    env.fetchTimeoutMs = 2000;
    env.watchListPath = dir + QStringLiteral("/setup.ini");
    env.executablePath = dir + QStringLiteral("/bin/tarnwel");
    env.lockPath = dir + QStringLiteral("/tarnwel.lock");
    env.settings = std::make_shared<tarnwel::SettingsStore>(dir + QStringLiteral("/settings.conf"));
    env.autostart = std::make_shared<tarnwel::XdgAutostart>(dir + QStringLiteral("/autostart"));
    env.alertStatePath = dir + QStringLiteral("/alerts-today.ini");
    env.exitProgram = [hooks](int status) { hooks->exits.append(status); };
    return env;
}

tarnwel::DesktopHooks makeTestHooks(const std::shared_ptr<RecordedHooks>& hooks) {
    tarnwel::DesktopHooks desktop;
    desktop.showNotice = [hooks](QWidget*, const QString& text) { hooks->messages.append(text); };
    desktop.openUrl = [hooks](const QUrl& url) { hooks->openedUrls.append(url); };
    desktop.notify = [hooks](const QString& title, const QString& text) {
        hooks->notifications.append(title + u'\n' + text);
    };
    desktop.globalShortcut = [hooks] {
        auto shortcut = std::make_unique<FakeShortcut>();
        shortcut->taken = hooks->takenKeys;
        hooks->shortcut = shortcut.get();
        return std::unique_ptr<tarnwel::GlobalShortcut>(std::move(shortcut));
    };
    return desktop;
}
