// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/environment.h"

#include "app/desktopsession.h"
#include "base/autostart.h"
#include "base/settingsstore.h"
#include "base/singleinstance.h"
#include "watchlist/watchliststore.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace tarnwel {

Environment Environment::forProgram(const Addresses& addresses) {
    Environment env;
    env.quoteBaseUrl = QUrl(addresses.quoteBaseUrl);
    env.quoteReferer = addresses.quoteReferer;
    env.secondQuoteBaseUrl = QUrl(addresses.secondQuoteBaseUrl);
    env.chartBaseUrl = QUrl(addresses.chartBaseUrl);
    env.marketHours = addresses.marketHours;
    const QString& help = addresses.helpUrl;
    env.helpUrl = help.isEmpty() ? QUrl::fromLocalFile(desktopsession::helpPagePath(
                                       QCoreApplication::applicationDirPath()))
                                 : QUrl(help);
    env.watchListPath = QCoreApplication::applicationDirPath() + QStringLiteral("/setup.ini");
    env.watchListUserPath = WatchListStore::perUserPath();
    env.executablePath = QCoreApplication::applicationFilePath();
    env.lockPath = SingleInstance::defaultLockPath();
    env.settings = std::make_shared<SettingsStore>();
    env.autostart = Autostart::platformDefault();
    env.chartCacheDir =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/charts");
    // Beside the settings file: runtime state, apart from what the user set.
    env.alertStatePath = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/vevivudaz/alerts-today.ini");
    env.exitProgram = [](int status) { QCoreApplication::exit(status); };
    return env;
}

} // namespace tarnwel
