// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/textcodec.h"
#include "quotes/quoteparse.h"
#include "watchlist/securitycode.h"

#include "testfiles.h"

#include <QTest>

using namespace tarnwel;
using securitycode::CodeKind;

Q_DECLARE_METATYPE(securitycode::CodeKind)

class TestSecurityCode : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void recognise_data();
    void recognise();
    void nameFromReply_data();
    void nameFromReply();
};

void TestSecurityCode::recognise_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<CodeKind>("kind");
    QTest::addColumn<QString>("code");

    const auto code = [](const char* tag, const char16_t* text, const char* result) {
        QTest::newRow(tag) << QString::fromUtf16(text) << CodeKind::Code
                           << QString::fromLatin1(result);
    };
    const auto notCode = [](const char* tag, const char16_t* text) {
        QTest::newRow(tag) << QString::fromUtf16(text) << CodeKind::NotACode << QString();
    };

    code("prefixed sz", u"sz300750", "sz300750");
    code("prefixed sh", u"sh688981", "sh688981");
    code("prefixed bj", u"bj430047", "bj430047");
    // The prefix is taken as typed, whatever the digits would suggest.
    code("prefix beats the digits", u"sh000001", "sh000001");
    code("prefixed, unknown start", u"sz990001", "sz990001");

    // Every start that names a market.
    const std::pair<const char*, const char*> starts[] = {
        {"60", "sh"}, {"68", "sh"}, {"90", "sh"}, {"50", "sh"}, {"51", "sh"},
        {"52", "sh"}, {"56", "sh"}, {"58", "sh"}, {"11", "sh"}, {"00", "sz"},
        {"30", "sz"}, {"20", "sz"}, {"15", "sz"}, {"16", "sz"}, {"18", "sz"},
        {"12", "sz"}, {"43", "bj"}, {"83", "bj"}, {"87", "bj"}, {"92", "bj"}};
    for (const auto& [start, market] : starts) {
        const QString digits = QString::fromLatin1(start) + QStringLiteral("1234");
        QTest::addRow("bare %s", start)
            << digits << CodeKind::Code << QString::fromLatin1(market) + digits;
    }

    // Six digits with no market of their own: the user has to say which.
    for (const char* start : {"10", "40", "70", "99", "01", "31"}) {
        const QString digits = QString::fromLatin1(start) + QStringLiteral("0001");
        QTest::addRow("needs market %s", start) << digits << CodeKind::NeedsMarket << digits;
    }

    notCode("empty", u"");
    notCode("five digits", u"30075");
    notCode("seven digits", u"3007500");
    notCode("prefixed five digits", u"sz30075");
    notCode("prefixed seven digits", u"sz3007500");
    notCode("prefix alone", u"sz");
    notCode("letter among the digits", u"3007a0");
    notCode("letter in a prefixed code", u"sz3007a0");
    notCode("unknown prefix", u"hk300750");
    notCode("upper-case prefix", u"SZ300750");
    notCode("prefix after the digits", u"300750sz");
    notCode("full-width digits", u"３００７５０");
    notCode("prefixed full-width digits", u"sz３００７５０");
    notCode("Arabic-Indic digits", u"\u0663\u0660\u0660\u0667\u0665\u0660");
    notCode("surrounding blank", u" 300750");
    notCode("entry form", u"宁德时代(sz300750)");
    notCode("sign", u"-30075");
}

void TestSecurityCode::recognise() {
    QFETCH(QString, text);
    QFETCH(CodeKind, kind);
    QFETCH(QString, code);

    const securitycode::Recognised result = securitycode::recognise(text);
    QCOMPARE(result.kind, kind);
    QCOMPARE(result.code, code);
}

void TestSecurityCode::nameFromReply_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("name");

    const auto reply = [](const QString& value) {
        return gbk(u"var hq_str_sz300750=\"" + value + u"\";\n");
    };
    const QString fields = QStringLiteral(",185.000,184.500,186.200,187.000,183.100");

    QTest::newRow("good") << reply(QStringLiteral("宁德时代") + fields) << true
                          << QStringLiteral("宁德时代");
    QTest::newRow("markers and letters")
        << reply(QStringLiteral("*ST国农") + fields) << true << QStringLiteral("*ST国农");
    QTest::newRow("full-width letter")
        << reply(QStringLiteral("万科Ａ") + fields) << true << QStringLiteral("万科Ａ");
    QTest::newRow("only the name field")
        << reply(QStringLiteral("宁德时代,")) << true << QStringLiteral("宁德时代");
    QTest::newRow("sixteen characters")
        << reply(QStringLiteral("一二三四五六七八九十一二三四五六") + fields) << true
        << QStringLiteral("一二三四五六七八九十一二三四五六");
    // Recorded replies: three-character names padded with spaces, blanks around a name.
    const QByteArray spaced = readReplyFile("spaced-names-2020-02-14.txt");
    QTest::newRow("padded name") << spaced.left(spaced.indexOf('\n')) << true
                                 << QStringLiteral("新希望");
    QTest::newRow("blanks around")
        << reply(QStringLiteral(" 平安银行  ") + fields) << true << QStringLiteral("平安银行");
    QTest::newRow("space in a Latin name")
        << reply(QStringLiteral("A股 ETF") + fields) << true << QStringLiteral("A股 ETF");
    QTest::newRow("no line end") << gbk(QStringLiteral("var hq_str_bj430047=\"诺思兰德,7.1\";"))
                                 << true << QStringLiteral("诺思兰德");
    // The second service's recorded record, under names padded as it pads them: runs of
    // spaces, ASCII or full-width.
    const QString recorded = QString::fromUtf8(
        readAll(QStringLiteral(TENCENT_REPLIES_DIR "/chinext_sz300750_2023-11-16_close.txt")));
    QTest::newRow("second service") << gbk(recorded) << true << QStringLiteral("宁德时代");
    QTest::newRow("second service, padded")
        << gbk(QString(recorded).replace(QStringLiteral("宁德时代"), QStringLiteral("万  科Ａ")))
        << true << QStringLiteral("万科Ａ");
    QTest::newRow("second service, full-width padding")
        << gbk(QString(recorded).replace(QStringLiteral("宁德时代"),
                                         QStringLiteral("五\u3000粮\u3000液")))
        << true << QStringLiteral("五粮液");
    QTest::newRow("second service, no such code")
        << gbk(QStringLiteral("v_pv_none_match=\"1\";")) << false << QString();

    const auto none = [](const char* tag, const QByteArray& body) {
        QTest::newRow(tag) << body << false << QString();
    };
    // The service's answer for a code it does not know.
    none("empty string", reply(QString()));
    none("empty body", QByteArray());
    none("refused malformed code", readReplyFile("sys-auth-failed.txt"));
    none("403 body", QByteArrayLiteral("Kinsoku jikou desu!"));
    none("403 page", QByteArrayLiteral("<html><head><title>403 Forbidden</title></head>"
                                       "<body><h1>403 Forbidden</h1></body></html>"));
    none("empty name", reply(fields));
    none("blank name", reply(QStringLiteral("  ") + fields));
    none("no comma", reply(QStringLiteral("宁德时代")));
    none("no closing quote", gbk(QStringLiteral("var hq_str_sz300750=\"宁德时代,185.000")));
    none("seventeen characters",
         reply(QStringLiteral("一二三四五六七八九十一二三四五六七") + fields));
    none("opening parenthesis", reply(QStringLiteral("宁德(时代") + fields));
    none("closing parenthesis", reply(QStringLiteral("宁德)时代") + fields));
    none("full entry as name", reply(QStringLiteral("宁德时代(sz300750)") + fields));
    none("tab", reply(QStringLiteral("宁德\t时代") + fields));
    none("escape", reply(QStringLiteral("宁德\u001b时代") + fields));
    none("delete", reply(QStringLiteral("宁德\u007f时代") + fields));
    none("line feed", reply(QStringLiteral("宁德\n时代") + fields));
    none("carriage return", reply(QStringLiteral("宁德\r时代") + fields));
    // A lead byte followed by a byte that cannot trail it, and a lead byte cut off.
    none("invalid GBK pair", QByteArrayLiteral("var hq_str_sz300750=\"\x81\x20\xc4\xfe,1.0\";"));
    none("cut GBK character", QByteArrayLiteral("var hq_str_sz300750=\"\xc4\xfe,1.0\";\xb5"));
}

void TestSecurityCode::nameFromReply() {
    QFETCH(QByteArray, body);
    QFETCH(bool, found);
    QFETCH(QString, name);
    const QuoteService service = body.startsWith("v_") ? QuoteService::Tencent : QuoteService::Sina;

    // As the look-up reads it: the body decoded, its record cut, the name made an entry's.
    std::optional<QString> read;
    if (const std::optional<QString> text = TextCodec::gbk().decodeExact(body)) {
        const ParsedReply parsed = parseReply(service, *text, QStringLiteral("sz300750"));
        if (parsed.kind == ReplyKind::Quote && parsed.quote.name)
            read = securitycode::nameForEntry(*parsed.quote.name);
    }
    QCOMPARE(read.has_value(), found);
    if (read)
        QCOMPARE(*read, name);
}

QTEST_GUILESS_MAIN(TestSecurityCode)
#include "tst_securitycode.moc"
