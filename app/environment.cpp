#include "app/environment.h"

#include "app/autostart.h"
#include "app/settingsstore.h"
#include "app/singleinstance.h"
#include "app/watchlistfile.h"
#include "buildconfig.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace tarnwel {

Environment Environment::forProgram()
{
    Environment env;
    env.quoteBaseUrl = QUrl(QStringLiteral(TARNWEL_QUOTE_BASE_URL));
    env.quoteReferer = QByteArrayLiteral(TARNWEL_QUOTE_REFERER);
    env.chartBaseUrl = QUrl(QStringLiteral(TARNWEL_CHART_BASE_URL));
    const QString help = QStringLiteral(TARNWEL_HELP_URL);
    env.helpUrl = help.isEmpty() ? QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                                                       QStringLiteral("/how.htm"))
                                 : QUrl(help);
    env.watchListPath = WatchListFile::defaultPath();
    env.executablePath = QCoreApplication::applicationFilePath();
    env.lockPath = SingleInstance::defaultLockPath();
    env.settings = std::make_shared<SettingsStore>();
    env.autostart = Autostart::platformDefault();
    env.chartCacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                        QStringLiteral("/charts");
    return env;
}

} // namespace tarnwel
