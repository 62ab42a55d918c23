// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/autostart.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

class TestAutostart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runEntryCommand_data();
    void runEntryCommand();
    void desktopExecValue_data();
    void desktopExecValue();
    void entryWrittenAndRemoved();
};

void TestAutostart::runEntryCommand_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");

    QTest::newRow("no blank") << "C:\\Tarnwel\\tarnwel.exe"
                              << "C:\\Tarnwel\\tarnwel.exe";
    QTest::newRow("Program Files") << "C:\\Program Files\\Tarnwel\\tarnwel.exe"
                                   << "\"C:\\Program Files\\Tarnwel\\tarnwel.exe\"";
}

void TestAutostart::runEntryCommand() {
    QFETCH(QString, path);
    QFETCH(QString, command);
    QCOMPARE(tarnwel::runEntryCommand(path), command);
}

void TestAutostart::desktopExecValue_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");

    // As the value stands in the file: the Exec quoting first, then the string escapes
    // on top, so a literal backslash takes four and a dollar two.
    QTest::newRow("blank") << "/opt/my apps/tarnwel"
                           << "\"/opt/my apps/tarnwel\"";
    QTest::newRow("dollar and backtick") << "/opt/$x`id`/t"
                                         << "\"/opt/\\\\$x\\\\`id\\\\`/t\"";
    QTest::newRow("backslash") << "/opt/a\\b/t"
                               << "\"/opt/a\\\\\\\\b/t\"";
    QTest::newRow("percent") << "/opt/100%u/t"
                             << "\"/opt/100%%u/t\"";
}

void TestAutostart::desktopExecValue() {
    QFETCH(QString, path);
    QFETCH(QString, exec);
    QCOMPARE(tarnwel::desktopExecValue(path), exec);
}

void TestAutostart::entryWrittenAndRemoved() {
    QTemporaryDir dir;
    // A fresh account has no autostart directory yet.
    XdgAutostart autostart(dir.path() + QStringLiteral("/config/autostart"));
    QCOMPARE(autostart.entryPath(),
             dir.path() + QStringLiteral("/config/autostart/zizudar.desktop"));
    autostart.remove();
    QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/config")));

    autostart.set(QStringLiteral("/opt/股票 工具/tarnwel"));
    QFile entry(autostart.entryPath());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(entry.readAll()),
             QStringLiteral("[Desktop Entry]\nType=Application\nName=Tarnwel\n"
                            "Exec=\"/opt/股票 工具/tarnwel\"\nX-GNOME-Autostart-enabled=true\n"));
    entry.close();

    autostart.remove();
    QVERIFY(!entry.exists());
    autostart.remove();
    QVERIFY(!entry.exists());
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
