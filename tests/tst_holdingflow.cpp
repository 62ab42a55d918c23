// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/conductor.h"
#include "base/settingsstore.h"
#include "children.h"
#include "fakehttpserver.h"
#include "holdings/holdingdialog.h"
#include "stealth/form4.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"
#include "watchlist/watchlistfile.h"
#include "widgets/controllabel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace tarnwel;

namespace {

const QString kSinopec = QStringLiteral("sh600028");
const QString kPingAn = QStringLiteral("sz000001");
const QString kSinopecLine =
    QStringLiteral("持仓 1000 股 成本 5.120  今日 +50.00  累计 +110.00 (+2.15%)");
const QString kPingAnLine =
    QStringLiteral("持仓 200 股 成本 10.000  今日 -40.00  累计 -20.00 (-1.00%)");
const QString kTotals = QStringLiteral("合计 今日 +10.00  累计 +90.00 (+1.26%)");

// The first service's record: name, open, previous close, price and on.
QByteArray record(const QString& code, const QString& name, const char* close, const char* price) {
    return gbk(u"var hq_str_" + code + u"=\"" + name + u",5.20," + QString::fromLatin1(close) +
               u',' + QString::fromLatin1(price) +
               u",5.30,5.15,5.22,5.23,12345678,64512345.00\";\n");
}

// A tooltip's lines as the user reads them.
QStringList tipLines(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText().split(QRegularExpression(QStringLiteral("[\n\u2028\u2029]")));
}

// The colour a figure is written in; invalid where it has none.
QColor colourOf(const QString& tip, const QString& figure) {
    const QRegularExpression span(u"color:(#[0-9a-f]{6})\">" +
                                  QRegularExpression::escape(figure.toHtmlEscaped()) + u'<');
    const QRegularExpressionMatch found = span.match(tip);
    return found.hasMatch() ? QColor(found.captured(1)) : QColor();
}

bool reddish(const QColor& colour) {
    return colour.isValid() && colour.red() > colour.green();
}
bool greenish(const QColor& colour) {
    return colour.isValid() && colour.green() > colour.red();
}

// The program over two held stocks of a local quote service, one of them alerted.
struct Rig {
    QTemporaryDir dir;
    std::shared_ptr<RecordedHooks> hooks = std::make_shared<RecordedHooks>();
    FakeHttpServer server;
    Environment env = makeTestEnvironment(dir.path(), hooks);
    std::unique_ptr<Conductor> conductor;

    Rig() {
        server.setResponse(u"/list=" + kSinopec, record(kSinopec, u"中国石化"_qs, "5.18", "5.23"));
        server.setResponse(u"/list=" + kPingAn, record(kPingAn, u"平安银行"_qs, "10.10", "9.90"));
        env.quoteBaseUrl = server.baseUrl();
        env.settings->setHolding(kSinopec, QStringLiteral("shares:1000;cost:5.12"));
        env.settings->setHolding(kPingAn, QStringLiteral("shares:200;cost:10"));
        env.settings->setAlerts(kSinopec, QStringLiteral("above:99"));
        WatchListFile(env.watchListPath)
            .write({u"中国石化(sh600028)"_qs, u"平安银行(sz000001)"_qs});
        conductor = std::make_unique<Conductor>(env, makeTestHooks(hooks));
    }
    QString tip() const { return conductor->ticker().toolTip(); }
    QString stealthTip() const { return child(conductor->stealthWindow(), "Label2")->toolTip(); }
    // Waits until the ticker's tooltip has this line.
    bool shows(const QString& line) {
        return QTest::qWaitFor([&] { return tipLines(tip()).contains(line); }, 5000);
    }
    Form2* openWatchList() {
        QTest::mouseClick(member<ControlLabel>(&conductor->ticker(), "Label8", 1), Qt::LeftButton);
        return conductor->watchListWindow();
    }
};

QStringList watchList(const Form2* window) {
    const auto* list = child<QListWidget>(window, "List2");
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries.append(list->item(row)->text());
    return entries;
}

// Searches for `text` and adds the first result, as the user would.
void addFound(const Form2* window, const QString& text) {
    child<QLineEdit>(window, "Text1")->setText(text);
    auto* results = child<QListView>(window, "List1");
    results->setCurrentIndex(results->model()->index(0, 0));
    child<QPushButton>(window, "Command1")->click();
}

void removeRow(const Form2* window, int row) {
    child<QListWidget>(window, "List2")->setCurrentRow(row);
    child<QPushButton>(window, "Command2")->click();
}

} // namespace

// Holdings from the settings file and the quote service to the tooltips, and from the
// watch-list window back to the settings file.
class TestHoldingFlow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tooltipsFollowQuotesAndChoices();
    void watchListEditsHoldings();
    void undoRemoval_data();
    void undoRemoval();
    void removalIsFinalOnClose();
};

void TestHoldingFlow::tooltipsFollowQuotesAndChoices() {
    Rig rig;
    QVERIFY(rig.conductor->start());
    QVERIFY(rig.shows(kPingAnLine));
    QVERIFY(tipLines(rig.tip()).contains(kTotals));
    QVERIFY(greenish(colourOf(rig.tip(), QStringLiteral("-40.00"))));
    QVERIFY(rig.shows(kSinopecLine));
    // Below the stock's change, the totals after it.
    const QStringList lines = tipLines(rig.tip());
    QCOMPARE(lines.mid(0, 3),
             (QStringList{u"中国石化  涨跌 +0.05 +0.97%"_qs, kSinopecLine, kTotals}));
    QVERIFY(reddish(colourOf(rig.tip(), QStringLiteral("+50.00"))));
    QVERIFY(reddish(colourOf(rig.tip(), QStringLiteral("+1.26%"))));
    const QStringList stealth = tipLines(rig.stealthTip());
    QCOMPARE(stealth.mid(1), (QStringList{kSinopecLine, kTotals}));

    Form2* window = rig.openWatchList();
    QVERIFY(window);
    // Green up: the colours turn round at once; none: no colour at all.
    auto* colours = child<QComboBox>(window, "Combo2");
    // (The totals stand in every tooltip, whichever stock the feed has come to meanwhile.)
    colours->setCurrentIndex(1);
    Q_EMIT colours->activated(1);
    QVERIFY(greenish(colourOf(rig.tip(), QStringLiteral("+10.00"))));
    colours->setCurrentIndex(2);
    Q_EMIT colours->activated(2);
    QVERIFY(!colourOf(rig.tip(), QStringLiteral("+10.00")).isValid());

    // 隐藏金额: stored, and every amount and share count hidden at once; the percents stay.
    auto* hide = child<QCheckBox>(window, "Check2");
    QCOMPARE(hide->text(), u"隐藏金额"_qs);
    QVERIFY(!hide->isChecked());
    hide->click();
    QCOMPARE(rig.env.settings->hidesAmounts(), true);
    for (const QString& tip : {rig.tip(), rig.stealthTip()}) {
        const QStringList hidden = tipLines(tip);
        QVERIFY(hidden.contains(u"合计 今日 ***  累计 *** (+1.26%)"_qs));
        QVERIFY(hidden.contains(u"持仓 *** 股 成本 5.120  今日 ***  累计 *** (+2.15%)"_qs) ||
                hidden.contains(u"持仓 *** 股 成本 10.000  今日 ***  累计 *** (-1.00%)"_qs));
    }
    hide->click();
    QCOMPARE(rig.env.settings->hidesAmounts(), false);
    QVERIFY(tipLines(rig.tip()).contains(kTotals));
}

void TestHoldingFlow::watchListEditsHoldings() {
    Rig rig;
    QVERIFY(rig.conductor->start());
    QVERIFY(rig.shows(kTotals)); // both stocks have had their turn
    Form2* window = rig.openWatchList();
    QVERIFY(window);
    auto* list = child<QListWidget>(window, "List2");
    const auto marks = [list](int row) {
        return list->item(row)->data(Qt::AccessibleDescriptionRole).toString();
    };
    QCOMPARE(marks(0), u"已设提醒，有持仓"_qs);
    QCOMPARE(marks(1), u"有持仓"_qs);

    // 持仓… for 平安银行: the dialog changes its holding, and the totals follow at once.
    auto* holdings = child<QPushButton>(window, "Command4");
    QCOMPARE(holdings->text(), u"持仓…"_qs);
    // The four buttons share the gap between the lists, none over another.
    QList<QRect> buttons;
    for (const char* name : {"Command1", "Command2", "Command3", "Command4"})
        buttons.append(child(window, name)->geometry());
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QVERIFY(buttons[i].left() > child(window, "List1")->geometry().right());
        QVERIFY(buttons[i].right() < list->geometry().left());
        QVERIFY(buttons[i].bottom() <= list->geometry().bottom());
        for (qsizetype j = i + 1; j < buttons.size(); ++j)
            QVERIFY(!buttons[i].intersects(buttons[j]));
    }
    list->setCurrentRow(1);
    holdings->click();
    auto* dialog = window->findChild<HoldingDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(child<QLineEdit>(dialog, "shares")->text(), u"200"_qs);
    child<QLineEdit>(dialog, "shares")->setText(QStringLiteral("300"));
    child<QLineEdit>(dialog, "cost")->setText(QStringLiteral("9.5"));
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(rig.env.settings->holding(kPingAn), u"shares:300;cost:9.5"_qs);
    QVERIFY(tipLines(rig.tip()).contains(u"合计 今日 -10.00  累计 +230.00 (+2.89%)"_qs));

    // An empty share count removes it, and its mark.
    holdings->click();
    dialog = window->findChild<HoldingDialog*>();
    QVERIFY(dialog);
    child<QLineEdit>(dialog, "shares")->clear();
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(rig.env.settings->holdingCodes(), QStringList{kSinopec});
    QCOMPARE(marks(1), QString());

    // A stock taken off the list takes its holding: the settings file keeps no trace of it.
    rig.env.settings->setHolding(kPingAn, QStringLiteral("shares:100;cost:1"));
    list->setCurrentRow(0);
    child<QPushButton>(window, "Command2")->click();
    QCOMPARE(rig.env.settings->holdingCodes(), QStringList{kPingAn});
    QVERIFY(
        !readAll(rig.dir.filePath(QStringLiteral("settings.conf"))).contains("sh600028=shares"));
    QVERIFY(!tipLines(rig.tip()).contains(kSinopecLine));
}

void TestHoldingFlow::undoRemoval_data() {
    QTest::addColumn<QString>("alerts"); // 中国石化's, as stored; empty: none
    QTest::addColumn<QString>("holding");
    QTest::addColumn<QString>("added"); // between the removal and its undoing
    QTest::addColumn<QString>("hint");

    const QString alerts = QStringLiteral("move:3;above:99");
    const QString holding = QStringLiteral("shares:1000;cost:5.12");
    const QString both = QStringLiteral("已删除 中国石化 及其提醒和持仓");
    QTest::newRow("alerts and a holding") << alerts << holding << QString() << both;
    QTest::newRow("alerts") << alerts << QString() << QString()
                            << QStringLiteral("已删除 中国石化 及其提醒");
    QTest::newRow("a holding") << QString() << holding << QString()
                               << QStringLiteral("已删除 中国石化 及其持仓");
    QTest::newRow("neither: nothing to undo")
        << QString() << QString() << QString() << QStringLiteral("已删除 中国石化");
    QTest::newRow("another stock added first")
        << alerts << holding << u"中国联通(sh600050)"_qs << both;
    QTest::newRow("added again first") << alerts << holding << u"中国石化(sh600028)"_qs << both;
}

// A removal takes the stock's alerts and holding from the settings at once, and says so;
// 撤销 brings the stock back to its place with both exactly as they were stored.
void TestHoldingFlow::undoRemoval() {
    QFETCH(QString, alerts);
    QFETCH(QString, holding);
    QFETCH(QString, added);
    QFETCH(QString, hint);
    Rig rig;
    rig.env.settings->setAlerts(kSinopec, alerts);
    rig.env.settings->setHolding(kSinopec, holding);
    QVERIFY(rig.conductor->start());
    Form2* window = rig.openWatchList();
    QVERIFY(window);
    const QStringList before = watchList(window);

    removeRow(window, 0);
    QCOMPARE(rig.env.settings->alertCodes(), QStringList{});
    QCOMPARE(rig.env.settings->holdingCodes(), QStringList{kPingAn});
    const auto* shown = child<QLabel>(window, "removalHint");
    QVERIFY(shown->isVisibleTo(window));
    QCOMPARE(shown->text(), hint);
    auto* undo = child<QPushButton>(window, "undoRemoval");
    const bool undoable = !alerts.isEmpty() || !holding.isEmpty();
    QCOMPARE(undo->isVisibleTo(window), undoable);
    if (!undoable)
        return;

    const QStringList extra = added.isEmpty() ? QStringList{} : QStringList{added};
    if (!added.isEmpty())
        addFound(window, added.section(u'(', 0, 0));
    QCOMPARE(watchList(window), before.mid(1) + extra);
    undo->click();
    QCOMPARE(watchList(window), before.contains(added) ? before : before + extra);
    QCOMPARE(rig.env.settings->alerts(kSinopec), alerts);
    QCOMPARE(rig.env.settings->holding(kSinopec), holding);
    QCOMPARE(rig.env.settings->holding(kPingAn), u"shares:200;cost:10"_qs);
    QVERIFY(!shown->isVisibleTo(window));
    QStringList marks;
    if (!alerts.isEmpty())
        marks.append(u"已设提醒"_qs);
    if (!holding.isEmpty())
        marks.append(u"有持仓"_qs);
    QCOMPARE(child<QListWidget>(window, "List2")->item(0)->data(Qt::AccessibleDescriptionRole),
             QVariant(marks.join(u"，")));
    if (!holding.isEmpty())
        QVERIFY(rig.shows(kTotals)); // the holding counts again
}

// A later removal ends the chance to undo, and so does closing the window.
void TestHoldingFlow::removalIsFinalOnClose() {
    Rig rig;
    QVERIFY(rig.conductor->start());
    QPointer<Form2> window = rig.openWatchList();
    QVERIFY(window);
    const QString unicom = QStringLiteral("中国联通(sh600050)");
    removeRow(window, 0);
    QVERIFY(child<QPushButton>(window, "undoRemoval")->isVisibleTo(window));
    addFound(window, unicom);
    removeRow(window, 1);
    QCOMPARE(child<QLabel>(window, "removalHint")->text(), u"已删除 中国联通"_qs);
    QVERIFY(!child<QPushButton>(window, "undoRemoval")->isVisibleTo(window));
    child<QPushButton>(window, "undoRemoval")->click(); // offered no more
    QCOMPARE(watchList(window), QStringList{u"平安银行(sz000001)"_qs});
    QCOMPARE(rig.env.settings->alertCodes(), QStringList{});

    addFound(window, unicom);
    removeRow(window, 0);
    QCOMPARE(child<QLabel>(window, "removalHint")->text(), u"已删除 平安银行 及其持仓"_qs);
    window->close();
    QTRY_VERIFY(!window);
    Form2* again = rig.openWatchList();
    QVERIFY(!child<QLabel>(again, "removalHint")->isVisibleTo(again));
    child<QPushButton>(again, "undoRemoval")->click();
    QCOMPARE(watchList(again), QStringList{unicom});
    QCOMPARE(rig.env.settings->holdingCodes(), QStringList{});
}

QTEST_MAIN(TestHoldingFlow)
#include "tst_holdingflow.moc"
