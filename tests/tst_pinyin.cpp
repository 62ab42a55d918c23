// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/entry.h"
#include "watchlist/listing.h"
#include "watchlist/pinyin.h"
#include "watchlist/stockdirectory.h"

#include <QStringDecoder>
#include <QTest>

using namespace tarnwel;

namespace {

QStringList merged() {
    return stockdirectory::shanghai() + stockdirectory::shenzhen();
}

// The merged directory's search, built once: building it works out 1,824 names.
const stockdirectory::Search& directorySearch() {
    static const stockdirectory::Search search(merged());
    return search;
}

} // namespace

class TestPinyin : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readings_data();
    void readings();
    void tableCoversGb2312TheDirectoryAndTheListing();
    void parseTable_data();
    void parseTable();

    void matchName_data();
    void matchName();

    void searchDirectory_data();
    void searchDirectory();
    void initialsRankedThenInDirectoryOrder_data();
    void initialsRankedThenInDirectoryOrder();
};

void TestPinyin::readings_data() {
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("initials");

    // Characters of stock names with one reading and with several.
    QTest::newRow("one reading") << QStringLiteral("银") << QStringLiteral("y");
    QTest::newRow("zh reads as z") << QStringLiteral("中") << QStringLiteral("z");
    QTest::newRow("sh reads as s") << QStringLiteral("石") << QStringLiteral("ds");
    QTest::newRow("hang and xing") << QStringLiteral("行") << QStringLiteral("hx");
    QTest::newRow("chang and zhang") << QStringLiteral("长") << QStringLiteral("cz");
    QTest::newRow("sha and xia") << QStringLiteral("厦") << QStringLiteral("sx");
    QTest::newRow("zhong and chong") << QStringLiteral("重") << QStringLiteral("ctz");
    QTest::newRow("le and yue") << QStringLiteral("乐") << QStringLiteral("ly");
    QTest::newRow("vowel start") << QStringLiteral("安") << QStringLiteral("a");
    QTest::newRow("not Chinese") << QStringLiteral("A") << QString();
}

void TestPinyin::readings() {
    QFETCH(QString, character);
    QFETCH(QString, initials);
    QCOMPARE(pinyin::initialsOf(character.front().unicode()), initials);
}

void TestPinyin::tableCoversGb2312TheDirectoryAndTheListing() {
    const auto& table = pinyin::table();

    // GB 2312's hanzi fill rows 0xB0 to 0xF7 of the two-byte code; row 0xD7 ends at 0xF9.
    int hanzi = 0;
    for (int row = 0xB0; row <= 0xF7; ++row) {
        for (int cell = 0xA1; cell <= (row == 0xD7 ? 0xF9 : 0xFE); ++cell) {
            QStringDecoder decoder("GBK");
            const QString character =
                decoder.decode(QByteArray().append(char(row)).append(char(cell)));
            QVERIFY(!decoder.hasError() && character.size() == 1);
            QVERIFY2(table.contains(character.front().unicode()), qPrintable(character));
            ++hanzi;
        }
    }
    QCOMPARE(hanzi, 6763);

    for (const QString& entry : merged() + listing::entries()) {
        for (QChar character : entryName(entry).value_or(QString())) {
            if (character.script() == QChar::Script_Han)
                QVERIFY2(table.contains(character.unicode()), qPrintable(entry));
        }
    }
}

void TestPinyin::parseTable_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("character");
    QTest::addColumn<QString>("initials");

    const QByteArray table = QStringLiteral("# comment 行 z\n"
                                            "h 行航\r\n"
                                            "x 行\n"
                                            "\n"
                                            "ZS 招\n"
                                            "nospace\n"
                                            " 空\n"
                                            "1 数\n")
                                 .toUtf8();
    QTest::newRow("lines add up") << table << QStringLiteral("行") << QStringLiteral("hx");
    QTest::newRow("Windows line end") << table << QStringLiteral("航") << QStringLiteral("h");
    QTest::newRow("upper case letters") << table << QStringLiteral("招") << QStringLiteral("sz");
    QTest::newRow("line without initials") << table << QStringLiteral("空") << QString();
    QTest::newRow("digits are no initials") << table << QStringLiteral("数") << QString();
    QTest::newRow("comment ignored") << table << QStringLiteral("z") << QString();
    QTest::newRow("empty table") << QByteArray() << QStringLiteral("行") << QString();
}

void TestPinyin::parseTable() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, character);
    QFETCH(QString, initials);
    QCOMPARE(pinyin::initialsOf(character.front().unicode(), pinyin::parseTable(bytes)), initials);
}

void TestPinyin::matchName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index"); // where the text matches the name's initials; -1: nowhere

    const auto row = [](const char* tag, const char16_t* name, const char16_t* text, int index) {
        QTest::newRow(tag) << QString::fromUtf16(name) << QString::fromUtf16(text) << index;
    };
    row("whole name", u"中国石化", u"zgsh", 0);
    row("beginning", u"中国石化", u"zg", 0);
    row("inside", u"中国石化", u"sh", 2);
    row("end", u"中国石化", u"h", 3);
    row("one letter", u"中国石化", u"z", 0);
    row("longer than the name", u"中国石化", u"zgshx", -1);
    row("wrong letter", u"中国石化", u"zgsj", -1);
    row("out of order", u"中国石化", u"gzsh", -1);
    row("first reading", u"招商银行", u"zsyh", 0);
    row("second reading", u"招商银行", u"zsyx", 0);
    row("chang of 长江", u"长江电力", u"cjdl", 0);
    row("zhang of 长", u"长江电力", u"zjdl", 0);
    row("xia of 厦门", u"厦门空港", u"xmkg", 0);
    row("upper-case text", u"中国石化", u"ZGSH", 0);
    row("markers in the name", u"*ST国农", u"stgn", 1);
    row("marker typed", u"*ST国农", u"*stgn", 0);
    row("marker is no letter", u"*ST国农", u"xstgn", -1);
    row("upper-case text, letters in the name", u"*ST国农", u"STGN", 1);
    row("lower-case letters in the name", u"st三农", u"stsn", 0);
    row("ASCII letter in the name", u"S深物业A", u"sswya", 0);
    row("full-width letter in the name", u"深发展Ａ", u"sfza", 0);
    row("full-width letter typed", u"深发展Ａ", u"sfzＡ", 0);
    row("B share", u"上电Ｂ股", u"sdbg", 0);
    row("digits in the name", u"50ETF", u"50etf", 0);
    row("letters after digits", u"50ETF", u"etf", 2);
    row("warrant", u"云化CWB1", u"yhcwb1", 0);
    row("full-width digit", u"钢钒债１", u"gfz1", 0);
    row("Chinese character typed", u"中国石化", u"zg石化", 0);
    row("empty text", u"中国石化", u"", 0);
    row("empty name", u"", u"z", -1);
}

void TestPinyin::matchName() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(int, index);
    const std::vector<pinyin::Key> keys = pinyin::keysOf(name);
    QCOMPARE(int(pinyin::Pattern(text).indexIn(keys.data(), qsizetype(keys.size()))), index);
}

void TestPinyin::searchDirectory_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");        // -1: not checked
    QTest::addColumn<QStringList>("lead"); // the first results, in order

    QTest::newRow("initials of one name")
        << QStringLiteral("zgsh") << -1
        << QStringList{QStringLiteral("中国石化(sh600028)"), QStringLiteral("中国神华(sh601088)")};
    QTest::newRow("initials, first reading")
        << QStringLiteral("zsyh") << -1 << QStringList{QStringLiteral("招商银行(sh600036)")};
    QTest::newRow("initials, second reading")
        << QStringLiteral("zsyx") << -1 << QStringList{QStringLiteral("招商银行(sh600036)")};
    QTest::newRow("initials with letters in the name")
        << QStringLiteral("stgn") << 1 << QStringList{QStringLiteral("*ST国农(sz000004)")};
    // Texts that occur in entries keep the plain filter's result, and only it.
    QTest::newRow("market") << QStringLiteral("sh") << 977 << QStringList();
    QTest::newRow("market upper case") << QStringLiteral("SH") << 0 << QStringList();
    QTest::newRow("lower-case marker")
        << QStringLiteral("st") << 1 << QStringList{QStringLiteral("st三农(sz000732)")};
    QTest::newRow("code") << QStringLiteral("600028") << 1
                          << QStringList{QStringLiteral("中国石化(sh600028)")};
    QTest::newRow("code prefix") << QStringLiteral("sz0000") << 62 << QStringList();
    // Only lower-case letters, and two or more of them, are read as initials.
    QTest::newRow("upper-case initials") << QStringLiteral("ZGSH") << 0 << QStringList();
    QTest::newRow("mixed-case initials") << QStringLiteral("Zgsh") << 0 << QStringList();
    QTest::newRow("one letter") << QStringLiteral("q") << 0 << QStringList();
    QTest::newRow("initials and a digit") << QStringLiteral("zgsh1") << 0 << QStringList();
    QTest::newRow("full-width initials") << QStringLiteral("ｚｇｓｈ") << 0 << QStringList();
    QTest::newRow("initials and a blank") << QStringLiteral("zg sh") << 0 << QStringList();
    QTest::newRow("longer than any name") << QStringLiteral("zgshzgshzgsh") << 0 << QStringList();
}

void TestPinyin::searchDirectory() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QStringList, lead);

    const QStringList result = directorySearch().search(text);
    if (count >= 0)
        QCOMPARE(int(result.size()), count);
    QVERIFY(result.size() >= lead.size());
    QCOMPARE(result.first(lead.size()), lead);
}

void TestPinyin::initialsRankedThenInDirectoryOrder_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("yh") << QStringLiteral("yh");     // 银行 inside many names
    QTest::newRow("gf") << QStringLiteral("gf");     // 股份 at the end, 广发 at the start
    QTest::newRow("zgsh") << QStringLiteral("zgsh"); // at the start only
}

void TestPinyin::initialsRankedThenInDirectoryOrder() {
    QFETCH(QString, text);
    const QStringList directory = merged();
    QVERIFY(stockdirectory::filter(directory, text).isEmpty());

    // Worked out name by name, independently of the search's packed keys.
    QStringList beginning;
    QStringList inside;
    for (const QString& entry : directory) {
        const std::vector<pinyin::Key> keys = pinyin::keysOf(entryName(entry).value_or(QString()));
        const qsizetype at = pinyin::Pattern(text).indexIn(keys.data(), qsizetype(keys.size()));
        (at == 0 ? beginning : inside).append(entry);
        if (at < 0)
            inside.removeLast();
    }
    QVERIFY(!beginning.isEmpty());
    QCOMPARE(directorySearch().search(text), beginning + inside);
    QCOMPARE(directorySearch().byInitials(text), beginning + inside);
}

QTEST_GUILESS_MAIN(TestPinyin)
#include "tst_pinyin.moc"
