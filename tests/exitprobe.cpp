// SPDX-License-Identifier: GPL-3.0-or-later
// Drives a real ticker to the menu's exit item with the watch-list window open and its
// start-at-logon box ticked, then lets the program end the way it really ends. Run by
// tst_exitprocess, which looks at what was left on disk.
//
//   exitprobe <dir> exit    open the watch list, tick the box, pick " 退出(E)"
//   exitprobe <dir> close   the same, but close the watch list before exiting
#include "app/conductor.h"
#include "children.h"
#include "testenvironment.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"
#include "widgets/controllabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <cstdio>

using namespace tarnwel;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3 ||
        (args[2] != QStringLiteral("exit") && args[2] != QStringLiteral("close"))) {
        std::fputs("usage: exitprobe <dir> exit|close\n", stderr);
        return 64;
    }
    const bool closeFirst = args[2] == QStringLiteral("close");

    const auto hooks = std::make_shared<RecordedHooks>();
    Environment env = makeTestEnvironment(args[1], hooks);
    env.exitProgram = [](int status) { QCoreApplication::exit(status); }; // the program's own
    Conductor program(env, makeTestHooks(hooks));
    if (!program.start())
        return 65;
    Form1& ticker = program.ticker();
    const auto pick = [&ticker](int item) {
        QTest::mouseClick(member<ControlLabel>(&ticker, "Label8", item), Qt::LeftButton);
    };

    QTimer::singleShot(0, &ticker, [&program, pick, closeFirst] {
        pick(1);
        Form2* watchList = program.watchListWindow();
        auto* startAtLogon =
            watchList ? watchList->findChild<QCheckBox*>(QStringLiteral("Check1")) : nullptr;
        if (!startAtLogon) {
            QCoreApplication::exit(66);
            return;
        }
        startAtLogon->click();
        if (closeFirst)
            watchList->close();
        // From the event loop, as a click would come.
        QTimer::singleShot(0, &program, [pick] { pick(3); });
    });
    // Should the exit item fail to end the program, end it with a status of its own.
    QTimer::singleShot(20000, &ticker, [] { QCoreApplication::exit(67); });
    return QApplication::exec();
}
