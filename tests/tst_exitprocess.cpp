// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsstore.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// The menu's exit item ends the real process at once; the start-at-logon choice ticked
// in a watch-list window that is still open is kept all the same, as when it is closed first.
class TestExitProcess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exitWithWatchListOpen_data();
    void exitWithWatchListOpen();
};

void TestExitProcess::exitWithWatchListOpen_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("st");
    QTest::addColumn<bool>("autostartEntry");

    QTest::newRow("exit with the window open")
        << QStringLiteral("exit") << QStringLiteral("1") << true;
    QTest::newRow("window closed first") << QStringLiteral("close") << QStringLiteral("1") << true;
}

void TestExitProcess::exitWithWatchListOpen() {
    QFETCH(QString, mode);
    QFETCH(QString, st);
    QFETCH(bool, autostartEntry);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcess probe;
    probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QSignalSpy finished(&probe, &QProcess::finished);
    probe.start(QStringLiteral(EXITPROBE_PATH), {dir.path(), mode});
    if (!finished.wait(40000)) {
        probe.kill();
        QFAIL(qPrintable(QStringLiteral("the program did not end: ") + probe.errorString()));
    }
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);

    const QString settingsPath = dir.path() + QStringLiteral("/settings.conf");
    QCOMPARE(tarnwel::SettingsStore(settingsPath).value(tarnwel::SettingsStore::Key::StartAtLogon),
             st);
    QCOMPARE(QFile::exists(dir.path() + QStringLiteral("/autostart/zizudar.desktop")),
             autostartEntry);
}

QTEST_GUILESS_MAIN(TestExitProcess)
#include "tst_exitprocess.moc"
