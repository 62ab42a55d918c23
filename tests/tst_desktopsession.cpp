// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/desktopsession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using tarnwel::desktopsession::Session;

class TestDesktopSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void platform_data();
    void platform();
    void helpPage_data();
    void helpPage();
};

void TestDesktopSession::platform_data() {
    QTest::addColumn<QString>("qpaPlatform");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("expected"); // empty: Qt's own choice

    QTest::newRow("wayland session with XWayland") << ""
                                                   << "wayland-0"
                                                   << "wayland"
                                                   << ":0"
                                                   << "xcb";
    QTest::newRow("wayland socket, no session type") << ""
                                                     << "wayland-0"
                                                     << ""
                                                     << ":1"
                                                     << "xcb";
    QTest::newRow("session type in capitals") << ""
                                              << ""
                                              << "Wayland"
                                              << ":0"
                                              << "xcb";
    QTest::newRow("wayland without an X server") << ""
                                                 << "wayland-0"
                                                 << "wayland"
                                                 << ""
                                                 << "";
    QTest::newRow("X11 session") << ""
                                 << ""
                                 << "x11"
                                 << ":0"
                                 << "";
    QTest::newRow("X11 session type, plain DISPLAY") << ""
                                                     << ""
                                                     << ""
                                                     << ":0"
                                                     << "";
    QTest::newRow("nothing at all (console, ssh)") << ""
                                                   << ""
                                                   << "tty"
                                                   << ""
                                                   << "";
    QTest::newRow("user chose wayland") << "wayland"
                                        << "wayland-0"
                                        << "wayland"
                                        << ":0"
                                        << "";
    QTest::newRow("user chose offscreen") << "offscreen"
                                          << "wayland-0"
                                          << "wayland"
                                          << ":0"
                                          << "";
    QTest::newRow("user chose xcb") << "xcb"
                                    << ""
                                    << "x11"
                                    << ":0"
                                    << "";
    QTest::newRow("blank choice is no choice") << "  "
                                               << "wayland-0"
                                               << "wayland"
                                               << ":0"
                                               << "xcb";
}

void TestDesktopSession::platform() {
    QFETCH(QString, qpaPlatform);
    QFETCH(QString, waylandDisplay);
    QFETCH(QString, sessionType);
    QFETCH(QString, display);
    QFETCH(QString, expected);

    const auto chosen = tarnwel::desktopsession::qtPlatform(
        Session{qpaPlatform, waylandDisplay, sessionType, display});
    QCOMPARE(chosen.has_value(), !expected.isEmpty());
    if (chosen)
        QCOMPARE(QString::fromLatin1(*chosen), expected);
}

void TestDesktopSession::helpPage_data() {
    QTest::addColumn<QStringList>("files"); // relative to a scratch prefix
    QTest::addColumn<QString>("expected");

    QTest::newRow("build tree") << QStringList{u"bin/how.htm"_qs} << "bin/how.htm";
    QTest::newRow("installed tree")
        << QStringList{u"share/tarnwel/how.htm"_qs} << "share/tarnwel/how.htm";
    QTest::newRow("beside the program wins")
        << QStringList{u"bin/how.htm"_qs, u"share/tarnwel/how.htm"_qs} << "bin/how.htm";
    QTest::newRow("neither: beside the program") << QStringList{} << "bin/how.htm";
    QTest::newRow("a directory of that name is no page")
        << QStringList{u"bin/how.htm/"_qs, u"share/tarnwel/how.htm"_qs} << "share/tarnwel/how.htm";
}

void TestDesktopSession::helpPage() {
    QFETCH(QStringList, files);
    QFETCH(QString, expected);

    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    QDir root(prefix.path());
    QVERIFY(root.mkpath(u"bin"_qs));
    for (const QString& file : files) {
        if (file.endsWith(u'/')) {
            QVERIFY(root.mkpath(file));
            continue;
        }
        QVERIFY(root.mkpath(QFileInfo(file).path()));
        QFile page(root.filePath(file));
        QVERIFY(page.open(QIODevice::WriteOnly));
    }

    QCOMPARE(
        tarnwel::desktopsession::helpPagePath(root.filePath(u"bin"_qs), u"../share/tarnwel"_qs),
        root.filePath(expected));
}

QTEST_GUILESS_MAIN(TestDesktopSession)
#include "tst_desktopsession.moc"
