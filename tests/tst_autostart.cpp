#include "app/autostart.h"
#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray entryFor(const QByteArray& exec) {
    return "[Desktop Entry]\nType=Application\nName=Tarnwel\nExec=" + exec +
           "\nX-GNOME-Autostart-enabled=true\n";
}

} // namespace

class TestAutostart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runEntryCommand_data();
    void runEntryCommand();
    void desktopExecValue_data();
    void desktopExecValue();
    void setWritesEntry();
    void setReplacesEntry();
    void removeDeletesEntry();
    void failedWriteKeepsOldEntry();
    void defaultDirectoryFollowsXdgConfigHome();
};

void TestAutostart::runEntryCommand_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command");

    QTest::newRow("no blank") << QStringLiteral("C:\\Tarnwel\\tarnwel.exe")
                              << QStringLiteral("C:\\Tarnwel\\tarnwel.exe");
    QTest::newRow("Program Files") << QStringLiteral("C:\\Program Files\\Tarnwel\\tarnwel.exe")
                                   << QStringLiteral("\"C:\\Program Files\\Tarnwel\\tarnwel.exe\"");
    QTest::newRow("blank in file name") << QStringLiteral("D:\\股票\\tarnwel 2.exe")
                                        << QStringLiteral("\"D:\\股票\\tarnwel 2.exe\"");
    QTest::newRow("several blanks")
        << QStringLiteral("E:\\a b\\c  d\\t.exe") << QStringLiteral("\"E:\\a b\\c  d\\t.exe\"");
}

void TestAutostart::runEntryCommand() {
    QFETCH(QString, path);
    QFETCH(QString, command);
    QCOMPARE(tarnwel::runEntryCommand(path), command);
}

void TestAutostart::desktopExecValue_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exec");

    // Expected values as they stand in the file: the quoting escapes first, then the
    // string escapes on top (a literal backslash becomes four, a dollar "\\$").
    QTest::newRow("plain") << QStringLiteral("/usr/bin/tarnwel")
                           << QStringLiteral("\"/usr/bin/tarnwel\"");
    QTest::newRow("blank") << QStringLiteral("/opt/my apps/tarnwel")
                           << QStringLiteral("\"/opt/my apps/tarnwel\"");
    QTest::newRow("dollar") << QStringLiteral("/opt/a$HOME/tarnwel")
                            << QStringLiteral("\"/opt/a\\\\$HOME/tarnwel\"");
    QTest::newRow("backtick") << QStringLiteral("/opt/`id`/tarnwel")
                              << QStringLiteral("\"/opt/\\\\`id\\\\`/tarnwel\"");
    QTest::newRow("double quote") << QStringLiteral("/opt/\"x\"/tarnwel")
                                  << QStringLiteral("\"/opt/\\\\\"x\\\\\"/tarnwel\"");
    QTest::newRow("backslash") << QStringLiteral("/opt/a\\b/tarnwel")
                               << QStringLiteral("\"/opt/a\\\\\\\\b/tarnwel\"");
    QTest::newRow("percent") << QStringLiteral("/opt/100%u/tarnwel")
                             << QStringLiteral("\"/opt/100%%u/tarnwel\"");
    QTest::newRow("newline and tab")
        << QStringLiteral("/opt/a\nb\tc/tarnwel") << QStringLiteral("\"/opt/a\\nb\\tc/tarnwel\"");
    QTest::newRow("Chinese") << QStringLiteral("/home/用户/股票 工具/tarnwel")
                             << QStringLiteral("\"/home/用户/股票 工具/tarnwel\"");
}

void TestAutostart::desktopExecValue() {
    QFETCH(QString, path);
    QFETCH(QString, exec);
    QCOMPARE(tarnwel::desktopExecValue(path), exec);
}

void TestAutostart::setWritesEntry() {
    QTemporaryDir dir;
    // The directory does not exist yet on a fresh account.
    XdgAutostart autostart(dir.path() + QStringLiteral("/config/autostart"));
    autostart.set(QStringLiteral("/opt/股票 工具/tarnwel"));

    QCOMPARE(autostart.entryPath(),
             dir.path() + QStringLiteral("/config/autostart/zizudar.desktop"));
    QCOMPARE(readAll(autostart.entryPath()),
             entryFor(QStringLiteral("\"/opt/股票 工具/tarnwel\"").toUtf8()));
}

void TestAutostart::setReplacesEntry() {
    QTemporaryDir dir;
    XdgAutostart autostart(dir.path());
    autostart.set(QStringLiteral("/old/tarnwel"));
    autostart.set(QStringLiteral("/new/tarnwel"));

    QCOMPARE(readAll(autostart.entryPath()), entryFor("\"/new/tarnwel\""));
    // Nothing else is left behind in the user's autostart directory.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("zizudar.desktop")});
}

void TestAutostart::removeDeletesEntry() {
    QTemporaryDir dir;
    XdgAutostart autostart(dir.path() + QStringLiteral("/autostart"));

    // Removing what was never written is harmless and creates nothing.
    autostart.remove();
    QVERIFY(!QFileInfo::exists(dir.path() + QStringLiteral("/autostart")));

    autostart.set(QStringLiteral("/usr/bin/tarnwel"));
    QVERIFY(QFileInfo::exists(autostart.entryPath()));
    autostart.remove();
    QVERIFY(!QFileInfo::exists(autostart.entryPath()));
    autostart.remove();
    QVERIFY(!QFileInfo::exists(autostart.entryPath()));
}

void TestAutostart::failedWriteKeepsOldEntry() {
    QTemporaryDir dir;
    XdgAutostart autostart(dir.path());
    autostart.set(QStringLiteral("/old/tarnwel"));
    {
        const FileSizeLimit limit(16);
        autostart.set(QStringLiteral("/a/much/longer/path/to/the/new/tarnwel"));
    }
    QCOMPARE(readAll(autostart.entryPath()), entryFor("\"/old/tarnwel\""));
}

void TestAutostart::defaultDirectoryFollowsXdgConfigHome() {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    XdgAutostart autostart;
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);

    QCOMPARE(autostart.entryPath(), dir.path() + QStringLiteral("/autostart/zizudar.desktop"));
    autostart.set(QStringLiteral("/usr/bin/tarnwel"));
    QVERIFY(QFileInfo::exists(dir.path() + QStringLiteral("/autostart/zizudar.desktop")));
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
