// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transparency.h"
#include "base/inilist.h"
#include "base/numbertext.h"
#include "base/plainini.h"
#include "base/settingsstore.h"
#include "filesizelimit.h"
#include "testfiles.h"
#include "watchlist/watchlistfile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace tarnwel;

class TestPersistence : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseWatchList_data();
    void parseWatchList();
    void decodeFlagsInexactLines_data();
    void decodeFlagsInexactLines();
    void encodeRoundTrip();
    void encodeRefuses_data();
    void encodeRefuses();
    void refusedWritesKeepFile();
    void defaultContentBytes();
    void fileStatus();
    void failedWriteKeepsOldFile();
    void transparency_data();
    void transparency();
    void leadingNumber_data();
    void leadingNumber();
    void settingsStore();
    void hotkey_data();
    void hotkey();
    void qtListForm_data();
    void qtListForm();
    void plainIni_data();
    void plainIni();
};

void TestPersistence::parseWatchList_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    const QString a = QStringLiteral("中国石化(sh600028)");
    const QString b = QStringLiteral("中国联通(sh600050)");
    QTest::newRow("window form") << gbk(a + u"\r\n" + b + u"\r\n\r\n") << QStringList{a, b};
    QTest::newRow("no final line end") << gbk(a + u"\r\n" + b) << QStringList{a, b};
    QTest::newRow("empty lines anywhere")
        << gbk(u"\r\n\r\n" + a + u"\r\n\r\n" + b + u"\r\n\r\n\r\n") << QStringList{a, b};
    QTest::newRow("lone CR ends a line") << gbk(a + u"\r" + b) << QStringList{a, b};
    QTest::newRow("lone LF stays in the line")
        << gbk(a + u"\n" + b + u"\n") << QStringList{a + u"\n" + b + u"\n"};
    QTest::newRow("blanks are kept")
        << gbk(u" " + a + u" \r\n   \r\n") << QStringList{u" " + a + u" ", QStringLiteral("   ")};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestPersistence::parseWatchList() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(watchlist::decode(bytes).entries, entries);
}

void TestPersistence::decodeFlagsInexactLines_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("exact");

    const QString a = QStringLiteral("中国石化(sh600028)");
    const QString b = QStringLiteral("中国联通(sh600050)");
    const QByteArray crlf("\r\n");
    QTest::newRow("valid") << gbk(a + u"\r\n" + b) << QByteArray("GBK") << QStringList{a, b}
                           << true;
    // Single bytes and user-defined areas round-trip, so they are the user's text.
    QTest::newRow("euro sign and user-defined area")
        << QByteArray("\x80\xaa\xa1(sh600000)") << QByteArray("GBK")
        << QStringList{QStringLiteral("€\uE000(sh600000)")} << true;
    QTest::newRow("lead byte without trail byte")
        << QByteArray(gbk(a) + "\xd6\x30" + crlf + gbk(b)) << QByteArray("GBK")
        << QStringList{a + u"\uFFFD0", b} << false;
    QTest::newRow("character cut off at line end")
        << QByteArray(gbk(a) + crlf + "\xd6" + crlf + gbk(b)) << QByteArray("GBK")
        << QStringList{a, QStringLiteral("\uFFFD"), b} << false;
    // Without a converter the codes still come through for the ticker.
    QTest::newRow("no converter: 0x7f is ASCII, 0x80 is not")
        << QByteArray("\x7f\x80(sh600000)") << QByteArray("no-such-encoding")
        << QStringList{QStringLiteral("\x7f\uFFFD(sh600000)")} << false;
    QTest::newRow("no converter") << gbk(a + u"\r\n" + b) << QByteArray("no-such-encoding")
                                  << QStringList{QString(8, QChar::ReplacementCharacter) +
                                                     QStringLiteral("(sh600028)"),
                                                 QString(8, QChar::ReplacementCharacter) +
                                                     QStringLiteral("(sh600050)")}
                                  << false;
}

void TestPersistence::decodeFlagsInexactLines() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, encoding);
    QFETCH(QStringList, entries);
    QFETCH(bool, exact);
    const watchlist::Decoded decoded = watchlist::decode(bytes, TextCodec(encoding));
    QCOMPARE(decoded.entries, entries);
    QCOMPARE(decoded.exact, exact);
}

void TestPersistence::encodeRoundTrip() {
    const QStringList entries{QStringLiteral("*ST国农(sz000004)"),
                              QStringLiteral("深发展Ａ(sz000001)")};
    const QByteArray bytes = watchlist::encode(entries).value();
    QCOMPARE(bytes, gbk(entries[0] + u"\r\n" + entries[1] + u"\r\n\r\n"));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(watchlist::decode(bytes).entries, entries);
}

void TestPersistence::encodeRefuses_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("encoding");
    QTest::newRow("no converter") << QStringList{QStringLiteral("中国石化(sh600028)")}
                                  << QByteArray("no-such-encoding");
    QTest::newRow("no converter, empty list") << QStringList{} << QByteArray("no-such-encoding");
    // GBK has no emoji: it would be written as "?".
    QTest::newRow("character outside GBK")
        << QStringList{QStringLiteral("中国石化(sh600028)"), QStringLiteral("\U0001F600(sh600000)")}
        << QByteArray("GBK");
}

void TestPersistence::encodeRefuses() {
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, encoding);
    QCOMPARE(watchlist::encode(entries, TextCodec(encoding)), std::nullopt);
}

void TestPersistence::refusedWritesKeepFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setup.ini"));
    const WatchListFile missing(path, TextCodec(QByteArrayLiteral("no-such-encoding")));
    QVERIFY(!missing.writeDefault());
    QVERIFY(!QFile::exists(path));

    QVERIFY(WatchListFile(path).write({QStringLiteral("浦发银行(sh600000)")}));
    const QByteArray before = readAll(path);
    const WatchListFile file(path, TextCodec(QByteArrayLiteral("no-such-encoding")));
    QVERIFY(!file.write({QStringLiteral("中国石化(sh600028)")}));
    QVERIFY(!file.writeDefault());
    QCOMPARE(readAll(path), before);

    // A line that is not GBK would come back as "?".
    const QByteArray broken = gbk(QStringLiteral("浦发银行(sh600000)\r\n")) + "\xd6\x30\r\n";
    QVERIFY(writeAll(path, broken));
    QVERIFY(!WatchListFile(path).write({QStringLiteral("中国石化(sh600028)")}));
    QCOMPARE(readAll(path), broken);
}

void TestPersistence::defaultContentBytes() {
    // 中国联通(sh600050) CR LF 中国石化(sh600028) CR LF, in GBK.
    QCOMPARE(watchlist::defaultContent().toHex(), QByteArray("d6d0b9fac1aacda828736836303030353029"
                                                             "0d0a"
                                                             "d6d0b9facaafbbaf28736836303030323829"
                                                             "0d0a"));
}

void TestPersistence::fileStatus() {
    QTemporaryDir dir;
    const WatchListFile file(dir.filePath(QStringLiteral("setup.ini")));
    QCOMPARE(file.read().status, WatchListFile::Status::Missing);

    QVERIFY(file.writeDefault());
    const WatchListFile::Contents contents = file.read();
    QCOMPARE(contents.status, WatchListFile::Status::Ok);
    QCOMPARE(contents.entries, (QStringList{QStringLiteral("中国联通(sh600050)"),
                                            QStringLiteral("中国石化(sh600028)")}));

    // A directory of that name is not the file.
    const WatchListFile directory(dir.path());
    QCOMPARE(directory.read().status, WatchListFile::Status::Missing);
}

void TestPersistence::failedWriteKeepsOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("setup.ini"));
    const WatchListFile file(path);
    QVERIFY(file.write({QStringLiteral("浦发银行(sh600000)")}));
    const QByteArray before = readAll(path);
    if (!FileSizeLimit::kSupported)
        QSKIP("no file size limit on this system");
    {
        // The disk fills up in the middle of the new text.
        const FileSizeLimit limit(8);
        QVERIFY(!file.write(
            {QStringLiteral("中国石化(sh600028)"), QStringLiteral("中国联通(sh600050)")}));
    }
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("setup.ini")});
}

void TestPersistence::transparency_data() {
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("alpha");
    QTest::newRow("0%") << QStringLiteral("0%") << 255;
    QTest::newRow("30%") << QStringLiteral("30%") << 179;
    QTest::newRow("60%") << QStringLiteral("60%") << 102;
    QTest::newRow("80%") << QStringLiteral("80%") << 51;
    QTest::newRow("90%") << QStringLiteral("90%") << 26;
    QTest::newRow("last character dropped whatever it is") << QStringLiteral("60") << 240;
    QTest::newRow("leading blanks") << QStringLiteral("  30%") << 179;
    QTest::newRow("decimal") << QStringLiteral("50.5%") << 127;
    QTest::newRow("not a number") << QStringLiteral("abc%") << 255;
    QTest::newRow("empty") << QString() << 255;
    QTest::newRow("negative clamps") << QStringLiteral("-20%") << 255;
    // Never more transparent than "90%": the ticker and its menu must stay findable.
    QTest::newRow("91%") << QStringLiteral("91%") << 26;
    QTest::newRow("100%") << QStringLiteral("100%") << 26;
    QTest::newRow("above 100") << QStringLiteral("150%") << 26;
    QTest::newRow("beyond double range") << QString(400, u'9') + u'%' << 26;
}

void TestPersistence::transparency() {
    QFETCH(QString, op);
    QFETCH(int, alpha);
    QCOMPARE(alphaFromTransparency(op), alpha);
}

void TestPersistence::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("digits") << QStringLiteral("12345678") << 12345678.0;
    QTest::newRow("decimal point") << QStringLiteral("64512345.00") << 64512345.0;
    QTest::newRow("stops at other character") << QStringLiteral("250abc") << 250.0;
    QTest::newRow("leading blanks") << QStringLiteral("   42") << 42.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("no number") << QStringLiteral("x12") << 0.0;
    QTest::newRow("comma is not a decimal point") << QStringLiteral("1,5") << 1.0;
    QTest::newRow("fraction only") << QStringLiteral(".5") << 0.5;
}

void TestPersistence::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(tarnwel::leadingNumber(text), value);
}

void TestPersistence::settingsStore() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vevivudaz.conf"));
    {
        SettingsStore store(path);
        QCOMPARE(store.transparency(), QString());
        QVERIFY(!store.startsAtLogon());
        store.setTransparency(QStringLiteral("90%"));
        store.setStartsAtLogon(true);
    }
    // Written through at once, in the [vevivudaz] section.
    const QByteArray text = readAll(path);
    QVERIFY2(text.contains("[vevivudaz]"), text.constData());
    QVERIFY2(text.contains("op=90%"), text.constData());
    QVERIFY2(text.contains("st=1"), text.constData());
    SettingsStore again(path);
    QCOMPARE(again.transparency(), QStringLiteral("90%"));
    QVERIFY(again.startsAtLogon());

    // A hand edit is read as it stands.
    QVERIFY(writeAll(path, "[vevivudaz]\nop=60\nst=\" 1 \"\n"));
    QCOMPARE(SettingsStore(path).transparency(), QStringLiteral("60"));
    QVERIFY(SettingsStore(path).startsAtLogon());
}

void TestPersistence::hotkey_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read");
    QTest::newRow("missing: the default")
        << QByteArray("[vevivudaz]\nop=60%\n") << u"Ctrl+Alt+Z"_qs;
    QTest::newRow("empty: none") << QByteArray("[vevivudaz]\nhotkey=\n") << QString();
    QTest::newRow("as stored") << QByteArray("[vevivudaz]\nhotkey=Ctrl+Shift+F12\n")
                               << u"Ctrl+Shift+F12"_qs;
}

void TestPersistence::hotkey() {
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vevivudaz.conf"));
    QVERIFY(writeAll(path, file));
    QTEST(SettingsStore(path).hotkey(), "read");

    // "None" is written as an empty value, never as a missing key that reads as the default.
    SettingsStore(path).setHotkey(QString());
    QVERIFY2(readAll(path).contains("\nhotkey=\n"), readAll(path).constData());
    QCOMPARE(SettingsStore(path).hotkey(), QString());
    SettingsStore(path).setHotkey(QStringLiteral("Meta+F1"));
    QCOMPARE(SettingsStore(path).hotkey(), QStringLiteral("Meta+F1"));
}

// Lists kept in one INI value read as Qt's own INI format wrote them, and what is written
// here reads the same in Qt.
void TestPersistence::qtListForm_data() {
    QTest::addColumn<QStringList>("items");
    QTest::newRow("none") << QStringList{};
    QTest::newRow("one") << QStringList{QStringLiteral("sh600028 above:5.50")};
    QTest::newRow("several") << QStringList{QStringLiteral("14:02:31 中国石化 5.50 ≥ 5.50"),
                                            QStringLiteral("14:02:38 万科Ａ +3.05% ≥ +3%")};
    QTest::newRow("one with a comma") << QStringList{QStringLiteral("09:31:00 万科,A 8.10 ≤ 8.2")};
    QTest::newRow("separators, quotes, backslashes")
        << QStringList{QStringLiteral("a;b=c"), QStringLiteral("say \"hi\""),
                       QStringLiteral("C:\\dir\\"), QStringLiteral("x,y")};
    QTest::newRow("blanks at the ends, empty, a leading @")
        << QStringList{QStringLiteral(" lead"), QStringLiteral("trail "), QString(),
                       QStringLiteral("@Invalid()"), QStringLiteral("@x")};
    QTest::newRow("control characters, then hex digits")
        << QStringList{QStringLiteral("tab\there"), QChar(1) + QStringLiteral("ab"),
                       u"unit" + QString(QChar(0x1f)) + u"F0"};
}

void TestPersistence::qtListForm() {
    QFETCH(QStringList, items);
    QTemporaryDir dir;
    const QString byQt = dir.filePath(QStringLiteral("qt.ini"));
    QSettings(byQt, QSettings::IniFormat).setValue(QStringLiteral("list"), items);
    QCOMPARE(iniList(readPlainIniFile(byQt, IniText::Verbatim).value(QStringLiteral("list"))),
             items);

    const QString ours = dir.filePath(QStringLiteral("ours.ini"));
    QVERIFY(writePlainIniFile(ours, {{QStringLiteral("list"), iniListText(items)}}, {},
                              IniText::Verbatim));
    QCOMPARE(QSettings(ours, QSettings::IniFormat).value(QStringLiteral("list")).toStringList(),
             items);
}

// A hand-edited file reads as it was meant, and what is written reads back the same.
void TestPersistence::plainIni_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<IniValues>("values");
    QTest::newRow("comments, a key without name, [general]")
        << QByteArray("a=1\n#b=2\n;c=3\n=4\n[general]\nd=5\n")
        << IniValues{{u"a"_qs, u"1"_qs}, {u"d"_qs, u"5"_qs}};
    QTest::newRow("a lone quote, quoted items, a backslash last")
        << QByteArray("a=\"\nb=\"x\" \"y\"\nc=\"z\\\"\n")
        << IniValues{{u"a"_qs, u"\""_qs}, {u"b"_qs, u"\"x\" \"y\""_qs}, {u"c"_qs, u"z\\"_qs}};
    QTest::newRow("quoted where it would not read back")
        << QByteArray("a=\" lead\"\nb=\"\\\"x\\\"\"\n")
        << IniValues{{u"a"_qs, u" lead"_qs}, {u"b"_qs, u"\"x\""_qs}};
}

void TestPersistence::plainIni() {
    QFETCH(QByteArray, file);
    QFETCH(IniValues, values);
    QCOMPARE(parsePlainIni(file), values);
    QCOMPARE(parsePlainIni(plainIniText(values)), values);
}

QTEST_GUILESS_MAIN(TestPersistence)
#include "tst_persistence.moc"
