// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktopsession.h"
#include "app/startup.h"
#include "buildconfig.h"
#include "widgets/fonts.h"
#include "widgets/qttexts.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    tarnwel::desktopsession::choosePlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarnwel"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWEL_VERSION));
    // The ticker is a tool window and is hidden in stealth mode; the program ends only
    // through its menu or when the ticker itself is closed.
    QApplication::setQuitOnLastWindowClosed(false);
    const std::optional<tarnwel::Request> request =
        tarnwel::requestFrom(QApplication::arguments().mid(1));
    if (!request) {
        std::fputs(tarnwel::usage(), stderr);
        return 2;
    }
    tarnwel::registerFontSubstitutions();
    tarnwel::useNinePointFont();
    tarnwel::useChineseQtTexts();

    const tarnwel::Environment::Addresses addresses{
        QStringLiteral(TARNWEL_QUOTE_BASE_URL), QByteArrayLiteral(TARNWEL_QUOTE_REFERER),
        QStringLiteral(TARNWEL_CHART_BASE_URL), QStringLiteral(TARNWEL_HELP_URL),
        QStringLiteral(TARNWEL_MARKET_HOURS),   QStringLiteral(TARNWEL_SECOND_QUOTE_BASE_URL)};
    const std::unique_ptr<QObject> program = tarnwel::Main(
        tarnwel::Environment::forProgram(addresses), tarnwel::DesktopHooks::forProgram(), *request);
    if (!program)
        return 0;
    return QApplication::exec();
}
