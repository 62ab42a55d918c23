// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/entry.h"
#include "watchlist/listing.h"
#include "watchlist/stockdirectory.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>

using namespace tarnwel;

namespace {

// The ticker's load appends Shenzhen to Shanghai; the watch-list window sees this order.
QStringList merged() {
    return stockdirectory::shanghai() + stockdirectory::shenzhen();
}

QString codeOf(const QString& entry) {
    return entryCode(entry).value_or(QString());
}

QString nameOf(const QString& entry) {
    return entryName(entry).value_or(QString());
}

QByteArray dataFile(const QString& name) {
    QFile file(QStringLiteral(DIRECTORY_DATA_DIR "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestStockDirectory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void composition_data();
    void composition();
    void listEnds_data();
    void listEnds();
    void codesAscendAndNeverRepeat();
    void entryForm();
    void knownEntries_data();
    void knownEntries();
    void rangeExamples_data();
    void rangeExamples();
    void onlyThreeNamesRepeat();
    void correctedEntries_data();
    void correctedEntries();
    void dataFilesAreCanonical_data();
    void dataFilesAreCanonical();
    void sourcesListEveryEntry();
    void loadedOnceAndShared();

    void searchDirectory_data();
    void searchDirectory();
    void filterOtherLists_data();
    void filterOtherLists();
    void listingTable();

    void parseList_data();
    void parseList();

    void readEntry_data();
    void readEntry();
    void readsEveryDirectoryEntry();
};

void TestStockDirectory::composition_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("count");

    const QList<std::pair<const char*, int>> ranges{
        {"sh110", 18}, {"sh126", 18}, {"sh500", 15},  {"sh510", 3}, {"sh580", 14},  {"sh600", 809},
        {"sh601", 47}, {"sh900", 53}, {"sz000", 461}, {"sz001", 2}, {"sz002", 300}, {"sz031", 3},
        {"sz115", 3},  {"sz125", 5},  {"sz159", 2},   {"sz162", 1}, {"sz184", 15},  {"sz200", 55}};
    int total = 0;
    for (const auto& [prefix, count] : ranges) {
        QTest::newRow(prefix) << QString::fromLatin1(prefix) << count;
        total += count;
    }
    // The ranges add up to the whole directory, so no entry lies outside them.
    QTest::newRow("sh") << QStringLiteral("sh") << 977;
    QTest::newRow("sz") << QStringLiteral("sz") << 847;
    QTest::newRow("all") << QString() << total;
}

void TestStockDirectory::composition() {
    QFETCH(QString, prefix);
    QFETCH(int, count);
    const QStringList directory = merged();
    const auto matches = std::count_if(directory.cbegin(), directory.cend(), [&](const QString& e) {
        return codeOf(e).startsWith(prefix);
    });
    QCOMPARE(int(matches), count);
}

void TestStockDirectory::listEnds_data() {
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("market");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");

    QTest::newRow("Shanghai") << stockdirectory::shanghai() << QStringLiteral("sh") << 977
                              << QStringLiteral("南山转债(sh110002)")
                              << QStringLiteral("凌云Ｂ股(sh900957)");
    QTest::newRow("Shenzhen") << stockdirectory::shenzhen() << QStringLiteral("sz") << 847
                              << QStringLiteral("深发展Ａ(sz000001)")
                              << QStringLiteral("中鲁Ｂ(sz200992)");
}

void TestStockDirectory::listEnds() {
    QFETCH(QStringList, list);
    QFETCH(QString, market);
    QFETCH(int, size);
    QFETCH(QString, first);
    QFETCH(QString, last);

    QCOMPARE(int(list.size()), size);
    QCOMPARE(list.first(), first);
    QCOMPARE(list.last(), last);
    for (const QString& entry : list)
        QVERIFY2(codeOf(entry).startsWith(market), qPrintable(entry));
}

void TestStockDirectory::codesAscendAndNeverRepeat() {
    for (const QStringList& list : {stockdirectory::shanghai(), stockdirectory::shenzhen()}) {
        for (qsizetype i = 1; i < list.size(); ++i) {
            QVERIFY2(codeOf(list[i - 1]).mid(2) < codeOf(list[i]).mid(2),
                     qPrintable(list[i - 1] + u" / " + list[i]));
        }
    }
    QSet<QString> codes;
    for (const QString& entry : merged()) {
        const QString code = codeOf(entry);
        QVERIFY2(!codes.contains(code), qPrintable(entry));
        codes.insert(code);
    }
}

void TestStockDirectory::entryForm() {
    // Names: Chinese characters, ASCII letters and digits, "*", and the full-width
    // "Ａ", "Ｂ" and "１" only.
    static const QRegularExpression nameForm(
        QStringLiteral("^[\u4e00-\u9fffA-Za-z0-9*ＡＢ１]{2,7}$"));
    static const QRegularExpression codeForm(QStringLiteral("^s[hz][0-9]{6}$"));

    for (const QString& entry : merged()) {
        const char* text = qPrintable(entry);
        QVERIFY2(entry.size() >= 12 && entry.size() <= 17, text);
        QCOMPARE(int(entry.count(u'(')), 1);
        QCOMPARE(int(entry.count(u')')), 1);
        QVERIFY2(entry.endsWith(u')'), text);
        QVERIFY2(nameForm.match(nameOf(entry)).hasMatch(), text);
        QVERIFY2(codeForm.match(codeOf(entry)).hasMatch(), text);
    }
}

void TestStockDirectory::knownEntries_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("position"); // in the merged directory; -1: anywhere

    // The two entries a new watch list starts with, at their fixed places.
    QTest::newRow("default 1") << QStringLiteral("中国石化(sh600028)") << 90;
    QTest::newRow("default 2") << QStringLiteral("中国联通(sh600050)") << 101;
    QTest::newRow("first Shenzhen") << QStringLiteral("深发展Ａ(sz000001)") << 977;

    const char16_t* const anywhere[] = {
        u"浦发银行(sh600000)", u"*ST国农(sz000004)",  u"S深物业A(sz000011)", u"50ETF(sh510050)",
        u"云化CWB1(sh580012)", u"上电Ｂ股(sh900901)", u"st三农(sz000732)",   u"南山转债(sh110219)",
        u"宗申动力(sz001696)", u"豫能控股(sz001896)", u"新和成(sz002001)",   u"齐心文具(sz002301)"};
    for (const char16_t* entry : anywhere) {
        const QString text = QString::fromUtf16(entry);
        QTest::addRow("%s", qPrintable(codeOf(text))) << text << -1;
    }
}

void TestStockDirectory::knownEntries() {
    QFETCH(QString, entry);
    QFETCH(int, position);
    const QStringList directory = merged();
    if (position < 0)
        QVERIFY(directory.contains(entry));
    else
        QCOMPARE(directory.indexOf(entry), position);
}

void TestStockDirectory::rangeExamples_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("range");

    const QList<std::pair<const char16_t*, const char*>> examples{
        {u"06马钢债", "sh126"}, {u"基金金泰", "sh500"}, {u"180ETF", "sh510"},
        {u"红利ETF", "sh510"},  {u"国安GAC1", "sz031"}, {u"钢钒债１", "sz115"},
        {u"柳工转债", "sz125"}, {u"深100ETF", "sz159"}, {u"中小板", "sz159"},
        {u"景顺鼎益", "sz162"}, {u"基金开元", "sz184"}, {u"万科Ｂ", "sz200"}};
    int row = 0;
    for (const auto& [name, range] : examples)
        QTest::addRow("%s #%d", range, ++row)
            << QString::fromUtf16(name) << QString::fromLatin1(range);
}

void TestStockDirectory::rangeExamples() {
    QFETCH(QString, name);
    QFETCH(QString, range);
    const QStringList directory = merged();
    const auto named = std::find_if(directory.cbegin(), directory.cend(),
                                    [&](const QString& e) { return nameOf(e) == name; });
    QVERIFY(named != directory.cend());
    QVERIFY2(codeOf(*named).startsWith(range), qPrintable(*named));
}

void TestStockDirectory::onlyThreeNamesRepeat() {
    QHash<QString, QStringList> codesByName;
    for (const QString& entry : merged())
        codesByName[nameOf(entry)].append(codeOf(entry));

    QHash<QString, QStringList> repeated;
    for (auto it = codesByName.cbegin(); it != codesByName.cend(); ++it) {
        if (it.value().size() > 1)
            repeated.insert(it.key(), it.value());
    }
    const QHash<QString, QStringList> expected{
        {QStringLiteral("南山转债"), {QStringLiteral("sh110002"), QStringLiteral("sh110219")}},
        {QStringLiteral("厦工转债"), {QStringLiteral("sh110004"), QStringLiteral("sh110815")}},
        {QStringLiteral("龙盛转债"), {QStringLiteral("sh110006"), QStringLiteral("sh110352")}}};
    QCOMPARE(repeated, expected);
}

void TestStockDirectory::correctedEntries_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name"); // empty: the code must not occur

    // Names and codes that public sources showed wrong, with what the sources give; see
    // watchlist/data/NOTES.md. A later edit must not bring the old ones back.
    const QList<std::pair<const char*, const char16_t*>> corrected{
        {"sh110036", u"招行转债"},  {"sh110085", nullptr},     {"sh126004", nullptr},
        {"sh126005", u"07武钢债"},  {"sh126013", u"08青啤债"}, {"sh126017", u"08葛洲债"},
        {"sh126019", u"09长虹债"},  {"sh580021", u"青啤CWB1"}, {"sh580022", nullptr},
        {"sh580023", u"康美CWB1"},  {"sh900902", u"二纺Ｂ股"}, {"sh900909", u"双钱Ｂ股"},
        {"sh900946", u"*ST轻骑Ｂ"}, {"sh900955", u"九龙山Ｂ"}, {"sz000021", u"长城开发"},
        {"sz000620", u"S*ST圣方"},  {"sz000629", u"攀钢钢钒"}, {"sz200057", u"ST大洋Ｂ"},
        {"sz200160", u"ST大路Ｂ"},  {"sz200168", u"ST雷伊Ｂ"}};
    for (const auto& [code, name] : corrected)
        QTest::newRow(code) << QString::fromLatin1(code)
                            << (name ? QString::fromUtf16(name) : QString());
}

void TestStockDirectory::correctedEntries() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    const QStringList directory = merged();
    const auto found = std::find_if(directory.cbegin(), directory.cend(),
                                    [&](const QString& e) { return codeOf(e) == code; });
    if (name.isEmpty()) {
        // The message is built before the check: it must not read past the end.
        QVERIFY2(found == directory.cend(),
                 qPrintable(found == directory.cend() ? QString() : *found));
    } else {
        QVERIFY(found != directory.cend());
        QCOMPARE(nameOf(*found), name);
    }
}

void TestStockDirectory::dataFilesAreCanonical_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("list");
    QTest::newRow("Shanghai") << QStringLiteral("shanghai.txt") << stockdirectory::shanghai();
    QTest::newRow("Shenzhen") << QStringLiteral("shenzhen.txt") << stockdirectory::shenzhen();
}

void TestStockDirectory::dataFilesAreCanonical() {
    // The reader forgives a byte-order mark, CR LF and empty lines; the files themselves
    // stay plain, so that their diffs show only real changes.
    QFETCH(QString, file);
    QFETCH(QStringList, list);

    const QByteArray bytes = dataFile(file);
    QVERIFY(!bytes.isEmpty());
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(bytes.endsWith('\n'));
    QVERIFY(!bytes.contains("\n\n"));
    QCOMPARE(QString::fromUtf8(bytes), list.join(u'\n') + u'\n');
}

void TestStockDirectory::sourcesListEveryEntry() {
    // directory-sources.csv records what backs each entry: one row per entry, in order.
    const QStringList lines = QString::fromUtf8(dataFile(QStringLiteral("directory-sources.csv")))
                                  .split(u'\n', Qt::SkipEmptyParts);
    const QStringList directory = merged();
    QCOMPARE(lines.value(0), QStringLiteral("code,name,status,reference_name,source,note"));
    QCOMPARE(lines.size() - 1, directory.size());

    const QSet<QString> statuses{QStringLiteral("CONFIRMED"), QStringLiteral("CORRECTED"),
                                 QStringLiteral("KEPT"), QStringLiteral("UNCONFIRMED")};
    for (qsizetype i = 0; i < directory.size(); ++i) {
        // Codes, names and statuses hold no comma, so the first three fields split plainly.
        const QStringList fields = lines[i + 1].split(u',');
        QVERIFY2(fields.size() >= 6, qPrintable(lines[i + 1]));
        QCOMPARE(fields[1] + u'(' + fields[0] + u')', directory[i]);
        QVERIFY2(statuses.contains(fields[2]), qPrintable(lines[i + 1]));
    }
}

void TestStockDirectory::loadedOnceAndShared() {
    // The search box filters on every keystroke; the lists must not be read again.
    QVERIFY(stockdirectory::shanghai().isSharedWith(stockdirectory::shanghai()));
    QVERIFY(stockdirectory::shenzhen().isSharedWith(stockdirectory::shenzhen()));
}

void TestStockDirectory::searchDirectory_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("exactly"); // checked when not empty

    QTest::newRow("empty") << QString() << 1824 << QStringList();
    QTest::newRow("code digits") << QStringLiteral("600028") << 1
                                 << QStringList{QStringLiteral("中国石化(sh600028)")};
    QTest::newRow("market") << QStringLiteral("sh") << 977 << QStringList();
    QTest::newRow("market upper case") << QStringLiteral("SH") << 0 << QStringList();
    QTest::newRow("parenthesis") << QStringLiteral("(") << 1824 << QStringList();
    QTest::newRow("closing parenthesis") << QStringLiteral(")") << 1824 << QStringList();
    QTest::newRow("ASCII A") << QStringLiteral("A") << 4
                             << QStringList{QStringLiteral("S深物业A(sz000011)"),
                                            QStringLiteral("ST中冠A(sz000018)"),
                                            QStringLiteral("*ST盛润A(sz000030)"),
                                            QStringLiteral("国安GAC1(sz031005)")};
    QTest::newRow("full-width A") << QStringLiteral("Ａ") << 39 << QStringList();
    QTest::newRow("repeated name")
        << QStringLiteral("南山转债") << 2
        << QStringList{QStringLiteral("南山转债(sh110002)"), QStringLiteral("南山转债(sh110219)")};
    QTest::newRow("code prefix") << QStringLiteral("sz0000") << 62 << QStringList();
    QTest::newRow("lower-case marker")
        << QStringLiteral("st") << 1 << QStringList{QStringLiteral("st三农(sz000732)")};
    QTest::newRow("across the parenthesis")
        << QStringLiteral("化(sh60002") << 1 << QStringList{QStringLiteral("中国石化(sh600028)")};
    QTest::newRow("whole entry") << QStringLiteral("*ST国农(sz000004)") << 1
                                 << QStringList{QStringLiteral("*ST国农(sz000004)")};
    QTest::newRow("not trimmed") << QStringLiteral(" 中国石化") << 0 << QStringList();
    QTest::newRow("blank") << QStringLiteral(" ") << 0 << QStringList();
    QTest::newRow("longer than any entry")
        << QStringLiteral("中国石化(sh600028)中国石化") << 0 << QStringList();
    QTest::newRow("nowhere") << QStringLiteral("xyz") << 0 << QStringList();
}

void TestStockDirectory::searchDirectory() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QStringList, exactly);

    const QStringList directory = merged();
    const QStringList result = stockdirectory::filter(directory, text);
    QCOMPARE(int(result.size()), count);
    if (!exactly.isEmpty())
        QCOMPARE(result, exactly);

    // Directory order, nothing skipped: walking the directory once meets the results in
    // order, and every entry passed over lacks the text.
    qsizetype next = 0;
    for (const QString& entry : directory) {
        if (next < result.size() && entry == result[next])
            ++next;
        else
            QVERIFY2(!entry.contains(text), qPrintable(entry));
    }
    QCOMPARE(next, result.size());

    // With today's listing behind it, whatever the directory finds stays exactly that.
    static const stockdirectory::Search both[] = {
        stockdirectory::Search(directory),
        stockdirectory::Search(listing::entries(), pinyin::table(),
                               stockdirectory::Search::Match::Folded)};
    if (count > 0) {
        const stockdirectory::Found found = stockdirectory::find(both[0], both[1], text);
        QCOMPARE(found.entries, result);
        QVERIFY(!found.fromListing);
    }
}

void TestStockDirectory::filterOtherLists_data() {
    QTest::addColumn<QStringList>("directory");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("result");

    const QStringList words{QStringLiteral("abab"), QStringLiteral("ba"), QStringLiteral("ab"),
                            QStringLiteral("ab")};
    QTest::newRow("empty directory") << QStringList() << QStringLiteral("a") << QStringList();
    QTest::newRow("empty directory, empty text") << QStringList() << QString() << QStringList();
    QTest::newRow("duplicates kept in order")
        << words << QStringLiteral("ab")
        << QStringList{QStringLiteral("abab"), QStringLiteral("ab"), QStringLiteral("ab")};
    QTest::newRow("single unit") << words << QStringLiteral("b") << words;
    QTest::newRow("needle longer than entries")
        << words << QStringLiteral("ababa") << QStringList();
    QTest::newRow("match at the very end")
        << words << QStringLiteral("bab") << QStringList{QStringLiteral("abab")};
    // Code units, not characters: half a surrogate pair still matches.
    const QString wide = QStringLiteral("\U00020000x");
    QTest::newRow("code units") << QStringList{wide, QStringLiteral("x")} << wide.left(1)
                                << QStringList{wide};
}

void TestStockDirectory::filterOtherLists() {
    QFETCH(QStringList, directory);
    QFETCH(QString, text);
    QFETCH(QStringList, result);
    QCOMPARE(stockdirectory::filter(directory, text), result);
}

void TestStockDirectory::listingTable() {
    // Every entry of the compiled-in listing is one the watch list reads back.
    static const QRegularExpression form(
        QStringLiteral("^[^ ()\u3000]{2,16}\\((sh|sz|bj)[0-9]{6}\\)$"));
    const QStringList entries = listing::entries();
    QCOMPARE(int(entries.size()), 5486);
    for (const QString& entry : entries)
        QVERIFY2(form.match(entry).hasMatch(), qPrintable(entry));
}

void TestStockDirectory::parseList_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("entries");

    const QString a = QStringLiteral("浦发银行(sh600000)");
    const QString b = QStringLiteral("白云机场(sh600004)");
    const QStringList both{a, b};
    QTest::newRow("line feeds") << (a + u'\n' + b + u'\n').toUtf8() << both;
    QTest::newRow("no final line end") << (a + u'\n' + b).toUtf8() << both;
    QTest::newRow("Windows line ends") << (a + u"\r\n" + b + u"\r\n").toUtf8() << both;
    QTest::newRow("empty lines") << (u"\n\n" + a + u"\n\r\n\n" + b + u"\n\n").toUtf8() << both;
    QTest::newRow("byte-order mark")
        << QByteArray("\xEF\xBB\xBF" + (a + u'\n' + b).toUtf8()) << both;
    QTest::newRow("blanks kept") << QStringLiteral(" a \n").toUtf8()
                                 << QStringList{QStringLiteral(" a ")};
    QTest::newRow("empty") << QByteArray() << QStringList();
}

void TestStockDirectory::parseList() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, entries);
    QCOMPARE(stockdirectory::parseList(bytes), entries);
}

void TestStockDirectory::readEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("readsName");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readsCode");
    QTest::addColumn<QString>("code");

    QTest::newRow("markers in the name")
        << QStringLiteral("*ST国农(sz000004)") << true << QStringLiteral("*ST国农") << true
        << QStringLiteral("sz000004");
    QTest::newRow("letter in the name")
        << QStringLiteral("S深物业A(sz000011)") << true << QStringLiteral("S深物业A") << true
        << QStringLiteral("sz000011");
    QTest::newRow("second parenthesis belongs to the code")
        << QStringLiteral("甲(乙(sh600000)") << true << QStringLiteral("甲") << true
        << QStringLiteral("乙(sh600000");
    // The last character is dropped whatever it is.
    QTest::newRow("text after the code")
        << QStringLiteral("甲(sh600000)x") << true << QStringLiteral("甲") << true
        << QStringLiteral("sh600000)");
    QTest::newRow("empty name and code")
        << QStringLiteral("()") << true << QString() << true << QString();
    QTest::newRow("nothing after the parenthesis")
        << QStringLiteral("甲(") << true << QStringLiteral("甲") << false << QString();
    // With no "(" there is no name, and the code runs from the start to the last character.
    QTest::newRow("no parenthesis")
        << QStringLiteral("sh600000)") << false << QString() << true << QStringLiteral("sh600000");
    QTest::newRow("empty") << QString() << false << QString() << false << QString();
}

void TestStockDirectory::readEntry() {
    QFETCH(QString, entry);
    QFETCH(bool, readsName);
    QFETCH(QString, name);
    QFETCH(bool, readsCode);
    QFETCH(QString, code);

    const std::optional<QString> readName = entryName(entry);
    QCOMPARE(readName.has_value(), readsName);
    if (readName)
        QCOMPARE(*readName, name);

    const std::optional<QString> readCode = entryCode(entry);
    QCOMPARE(readCode.has_value(), readsCode);
    if (readCode)
        QCOMPARE(*readCode, code);
}

void TestStockDirectory::readsEveryDirectoryEntry() {
    // Whatever the watch list copies out of the directory, the quote feed reads back.
    for (const QString& entry : merged()) {
        const std::optional<QString> name = entryName(entry);
        const std::optional<QString> code = entryCode(entry);
        QVERIFY2(name && code, qPrintable(entry));
        QCOMPARE(*name + u'(' + *code + u')', entry);
        QCOMPARE(int(code->size()), 8);
    }
}

QTEST_GUILESS_MAIN(TestStockDirectory)
#include "tst_stockdirectory.moc"
