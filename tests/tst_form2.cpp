// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/transparency.h"
#include "app/windowoptions.h"
#include "base/autostart.h"
#include "base/settingsstore.h"
#include "children.h"
#include "fakehttpserver.h"
#include "filesizelimit.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "watchlist/codelookup.h"
#include "watchlist/form2.h"
#include "watchlist/listing.h"
#include "watchlist/stockdirectory.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tarnwel;

namespace {

// A small directory in the real entry form.
const QStringList kDirectory = {
    QStringLiteral("浦发银行(sh600000)"), QStringLiteral("白云机场(sh600004)"),
    QStringLiteral("民生银行(sh600016)"), QStringLiteral("宝钢股份(sh600019)"),
    QStringLiteral("中国石化(sh600028)"), QStringLiteral("招商银行(sh600036)"),
    QStringLiteral("中国联通(sh600050)"), QStringLiteral("50ETF(sh510050)"),
    QStringLiteral("工商银行(sh601398)"), QStringLiteral("中国银行(sh601988)"),
    QStringLiteral("深发展Ａ(sz000001)"), QStringLiteral("新和成(sz002001)"),
};

// The window's form: each entry and CR LF, then one more CR LF.
QByteArray windowForm(const QStringList& entries) {
    return gbk(entries.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n\r\n"));
}

std::shared_ptr<const stockdirectory::Search> todaysListing() {
    static const auto search = std::make_shared<const stockdirectory::Search>(
        listing::entries(), pinyin::table(), stockdirectory::Search::Match::Folded);
    return search;
}

// A known directory and files in a temporary directory, and the watch-list window
// opened as the menu opens it.
struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<RecordedHooks> hooks = std::make_shared<RecordedHooks>();
    Environment env = makeTestEnvironment(dir.path(), hooks);
    QStringList picked; // the transparencies the window reported
    QPointer<Form2> window;

    // `entries` as a hand-written file (no final empty line), so that any rewrite shows.
    explicit Fixture(const QStringList& entries = {}) {
        QFile file(env.watchListPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(gbk(entries.join(QStringLiteral("\r\n"))));
        env.settings->setTransparency(QStringLiteral("60%"));
    }
    ~Fixture() { delete window.data(); }
    QString setting(SettingsStore::Key key) const { return env.settings->value(key); }
    std::shared_ptr<ServiceSwitch> services = std::make_shared<ServiceSwitch>();
    // `builtIn`: the program's own directory rather than the small one; `listing`: with
    // today's listing behind it, as the program has.
    Form2* open(bool builtIn = false, bool listing = false) {
        return openOver(builtIn ? stockdirectory::shanghai() + stockdirectory::shenzhen()
                                : kDirectory,
                        listing ? todaysListing() : nullptr);
    }
    Form2* openOver(const QStringList& directory,
                    std::shared_ptr<const stockdirectory::Search> listing) {
        window = new Form2(watchListWindowOptions(env, services),
                           std::make_shared<const stockdirectory::Search>(directory),
                           std::move(listing), makeTestHooks(hooks).showNotice);
        QObject::connect(window, &Form2::transparencyPicked,
                         [this](const QString& text) { picked.append(text); });
        window->Form_Load();
        window->show();
        return window;
    }
};

QListView* results(const Form2* window) {
    return child<QListView>(window, "List1");
}
QListWidget* watchListView(const Form2* window) {
    return child<QListWidget>(window, "List2");
}
QPushButton* addButton(const Form2* window) {
    return child<QPushButton>(window, "Command1");
}
QPushButton* removeButton(const Form2* window) {
    return child<QPushButton>(window, "Command2");
}
QLineEdit* searchBox(const Form2* window) {
    return child<QLineEdit>(window, "Text1");
}

// What the two lists show, in order.
QStringList searchResults(const Form2* window) {
    return qobject_cast<QStringListModel*>(results(window)->model())->stringList();
}
QStringList watchList(const Form2* window) {
    QStringList entries;
    for (int row = 0; row < watchListView(window)->count(); ++row)
        entries.append(watchListView(window)->item(row)->text());
    return entries;
}

bool clickEntry(QAbstractItemView* view, const QString& text) {
    const QModelIndexList found = view->model()->match(view->model()->index(0, 0), Qt::DisplayRole,
                                                       text, 1, Qt::MatchExactly);
    if (found.isEmpty())
        return false;
    view->scrollTo(found.first());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(found.first()).center());
    return view->selectionModel()->isSelected(found.first());
}

} // namespace

namespace {

enum class Gesture { Enter, KeypadEnter, DoubleClick, Delete, DeleteHeldDown };

// The control before `view` in the tab order, from which a Tab reaches it.
const char* before(const Form2* window, const QAbstractItemView* view) {
    return view == results(window) ? "Text1" : "Command4";
}

} // namespace

Q_DECLARE_METATYPE(FakeHttpServer::Response)
Q_DECLARE_METATYPE(Gesture)

Q_DECLARE_METATYPE(tarnwel::UpDownColours)
Q_DECLARE_METATYPE(tarnwel::QuoteSourceChoice)

class TestForm2 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void edit_data();
    void edit();
    void keysAndDoubleClicks_data();
    void keysAndDoubleClicks();
    void tabOrder_data();
    void tabOrder();
    void failedRewrite_data();
    void failedRewrite();
    void unusableListIsShownNotChanged_data();
    void unusableListIsShownNotChanged();
    void search_data();
    void search();
    void searchByInitials_data();
    void searchByInitials();
    void lookUpByCode_data();
    void lookUpByCode();
    void lookUpFollowsTheService_data();
    void lookUpFollowsTheService();
    void quoteSource();
    void onlyTheLatestLookUpCounts();
    void addLookedUpEntry();
    void searchOrder_data();
    void searchOrder();
    void addFromListing_data();
    void addFromListing();
    void addFromDirectory_data();
    void addFromDirectory();
    void transparency_data();
    void transparency();
    void showsTheStoredTransparency_data();
    void showsTheStoredTransparency();
    void upDownColours_data();
    void upDownColours();
    void hotkey_data();
    void hotkey();
    void openWithoutFile();
    void close_data();
    void close();
};

void TestForm2::edit_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("adding");
    QTest::addColumn<QString>("pick"); // empty: nothing selected
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message");

    const QString tooMany = QStringLiteral("添加自选股不能超过10支");
    const QString k11 = kDirectory[11];
    QTest::newRow("add 9 to 10") << 9 << true << k11 << kDirectory.mid(0, 9) + QStringList{k11}
                                 << QString();
    QTest::newRow("add to 10") << 10 << true << k11 << kDirectory.mid(0, 10) << tooMany;
    QTest::newRow("add a listed one to 10")
        << 10 << true << kDirectory[4] << kDirectory.mid(0, 10) << tooMany;
    QTest::newRow("add a listed one")
        << 5 << true << kDirectory[2] << kDirectory.mid(0, 5) << QString();
    QTest::newRow("add, nothing selected")
        << 5 << true << QString() << kDirectory.mid(0, 5) << QString();
    QTest::newRow("remove 2 to 1")
        << 2 << false << kDirectory[0] << kDirectory.mid(1, 1) << QString();
    QTest::newRow("remove the middle one")
        << 3 << false << kDirectory[1] << QStringList{kDirectory[0], kDirectory[2]} << QString();
    QTest::newRow("remove the last one") << 1 << false << kDirectory[0] << kDirectory.mid(0, 1)
                                         << QStringLiteral("至少应保留1支自选股");
    QTest::newRow("remove, nothing selected")
        << 3 << false << QString() << kDirectory.mid(0, 3) << QString();
}

void TestForm2::edit() {
    QFETCH(int, count);
    QFETCH(bool, adding);
    QFETCH(QString, pick);
    QFETCH(QStringList, after);
    QFETCH(QString, message);

    Fixture f(kDirectory.mid(0, count));
    const QByteArray original = readAll(f.env.watchListPath);
    Form2* window = f.open();
    if (!pick.isEmpty())
        QVERIFY(clickEntry(adding ? static_cast<QAbstractItemView*>(results(window))
                                  : watchListView(window),
                           pick));
    QTest::mouseClick(adding ? addButton(window) : removeButton(window), Qt::LeftButton);

    QCOMPARE(watchList(window), after);
    const bool changed = after != kDirectory.mid(0, count);
    QCOMPARE(readAll(f.env.watchListPath), changed ? windowForm(after) : original);
    QCOMPARE(f.hooks->messages, message.isEmpty() ? QStringList{} : QStringList{message});
    if (!adding) {
        // Nothing stays selected: a second click cannot take away the entry that moved up.
        QTest::mouseClick(removeButton(window), Qt::LeftButton);
        QCOMPARE(watchList(window), after);
    }
}

void TestForm2::keysAndDoubleClicks_data() {
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<Gesture>("gesture");
    QTest::addColumn<bool>("onResults"); // else on the watch list
    QTest::addColumn<QString>("pick");   // empty: the list reached by Tab, nothing selected
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("message");

    const QStringList three = kDirectory.mid(1, 3);
    const QString k11 = kDirectory[11];
    const auto row = [&](const char* tag, Gesture gesture, bool onResults, const QString& pick,
                         const QStringList& after, const QStringList& listed = {},
                         const QString& message = {}) {
        QTest::newRow(tag) << (listed.isEmpty() ? three : listed) << gesture << onResults << pick
                           << after << message;
    };
    row("Enter on a result", Gesture::Enter, true, k11, three + QStringList{k11});
    row("keypad Enter on a result", Gesture::KeypadEnter, true, k11, three + QStringList{k11});
    row("double-click on a result", Gesture::DoubleClick, true, k11, three + QStringList{k11});
    row("Enter on the results reached by Tab", Gesture::Enter, true, QString(),
        three + kDirectory.mid(0, 1));
    row("Delete on a result", Gesture::Delete, true, k11, three);
    row("Delete on an entry", Gesture::Delete, false, kDirectory[2],
        QStringList{kDirectory[1], kDirectory[3]});
    row("Delete held down takes one", Gesture::DeleteHeldDown, false, kDirectory[1],
        kDirectory.mid(2, 2));
    row("double-click on an entry", Gesture::DoubleClick, false, kDirectory[3],
        kDirectory.mid(1, 2));
    row("Delete on the watch list reached by Tab", Gesture::Delete, false, QString(),
        kDirectory.mid(2, 2));
    row("Enter on an entry", Gesture::Enter, false, kDirectory[2], three);
    row("double-click on the one entry left", Gesture::DoubleClick, false, kDirectory[0],
        kDirectory.mid(0, 1), kDirectory.mid(0, 1), QStringLiteral("至少应保留1支自选股"));
}

// As the buttons do, and only where they would.
void TestForm2::keysAndDoubleClicks() {
    QFETCH(QStringList, listed);
    QFETCH(Gesture, gesture);
    QFETCH(bool, onResults);
    QFETCH(QString, pick);
    QFETCH(QStringList, after);
    QFETCH(QString, message);

    Fixture f(listed);
    const QByteArray original = readAll(f.env.watchListPath);
    Form2* window = f.open();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QAbstractItemView* view =
        onResults ? static_cast<QAbstractItemView*>(results(window)) : watchListView(window);
    if (pick.isEmpty()) {
        child(window, before(window, view))->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), view);
    } else {
        QVERIFY(clickEntry(view, pick));
    }
    const QModelIndex picked = view->currentIndex();
    switch (gesture) {
    case Gesture::Enter:
        QTest::keyClick(view, Qt::Key_Return);
        break;
    case Gesture::KeypadEnter:
        QTest::keyClick(view, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    case Gesture::DoubleClick:
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(picked).center());
        break;
    case Gesture::Delete:
        QTest::keyClick(view, Qt::Key_Delete);
        break;
    case Gesture::DeleteHeldDown:
        for (int repeat = 0; repeat < 3; ++repeat)
            QTest::keyClick(view, Qt::Key_Delete);
        break;
    }
    QCOMPARE(watchList(window), after);
    QCOMPARE(readAll(f.env.watchListPath), after == listed ? original : windowForm(after));
    QCOMPARE(f.hooks->messages, message.isEmpty() ? QStringList{} : QStringList{message});
}

void TestForm2::tabOrder_data() {
    QTest::addColumn<bool>("forward");
    QTest::addColumn<bool>("undoOffered");
    QTest::addColumn<QStringList>("order");

    const QStringList lists{u"Text1"_qs,    u"List1"_qs,    u"Command1"_qs, u"Command2"_qs,
                            u"Command3"_qs, u"Command4"_qs, u"List2"_qs};
    const QStringList options{u"Combo1"_qs, u"Check1"_qs,     u"Check2"_qs,     u"Combo2"_qs,
                              u"Combo3"_qs, u"hotkeyEdit"_qs, u"hotkeyClear"_qs};
    QStringList backward = lists + options;
    std::reverse(backward.begin() + 1, backward.end());
    QTest::newRow("Tab") << true << false << lists + options;
    QTest::newRow("Shift+Tab") << false << false << backward;
    QTest::newRow("Tab with an undo offered")
        << true << true << lists + QStringList{u"undoRemoval"_qs} + options;
}

// From the search box round to it again, through every control as it stands on screen.
void TestForm2::tabOrder() {
    QFETCH(bool, forward);
    QFETCH(bool, undoOffered);
    Fixture f(kDirectory.mid(0, 3));
    Form2* window = f.open();
    if (undoOffered)
        window->showRemoval(kDirectory[5], true, false);
    QVERIFY(QTest::qWaitForWindowActive(window));
    QStringList walked;
    for (QWidget* focus = QApplication::focusWidget(); focus && walked.size() < 30;) {
        walked.append(focus->objectName());
        QTest::keyClick(focus, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                        forward ? Qt::NoModifier : Qt::ShiftModifier);
        focus = QApplication::focusWidget();
        if (focus == searchBox(window))
            break;
    }
    QTEST(walked, "order");
}

void TestForm2::failedRewrite_data() {
    QTest::addColumn<bool>("adding");
    QTest::newRow("add") << true;
    QTest::newRow("remove") << false;
}

void TestForm2::failedRewrite() {
    QFETCH(bool, adding);
    if (!FileSizeLimit::kSupported)
        QSKIP("no file size limit on this system");
    Fixture f(kDirectory.mid(0, 3));
    const QByteArray original = readAll(f.env.watchListPath);
    Form2* window = f.open();
    const QString pick = adding ? kDirectory[11] : kDirectory[1];
    QVERIFY(clickEntry(
        adding ? static_cast<QAbstractItemView*>(results(window)) : watchListView(window), pick));
    {
        const FileSizeLimit diskFull(8);
        QTest::mouseClick(adding ? addButton(window) : removeButton(window), Qt::LeftButton);
    }
    // List and file still agree, and the user was told.
    QCOMPARE(watchList(window), kDirectory.mid(0, 3));
    QCOMPARE(readAll(f.env.watchListPath), original);
    QCOMPARE(f.hooks->messages,
             QStringList{QStringLiteral("自选股列表无法保存，本次修改未生效。")});

    // The pick is still there: the same click goes through once the disk has room.
    QTest::mouseClick(adding ? addButton(window) : removeButton(window), Qt::LeftButton);
    QCOMPARE(watchList(window).contains(pick), adding);
    QCOMPARE(readAll(f.env.watchListPath), windowForm(watchList(window)));
}

void TestForm2::unusableListIsShownNotChanged_data() {
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<int>("shown"); // entries listed
    QTest::addColumn<QString>("reasonStart");
    // A lead byte without its trail byte: rewriting would turn it into "?" for good.
    QTest::newRow("a line that is not GBK") << false << 2 << QStringLiteral("自选股文件");
    QTest::newRow("a file that cannot be read")
        << true << 0 << QStringLiteral("无法读取自选股文件");
}

void TestForm2::unusableListIsShownNotChanged() {
    QFETCH(bool, unreadable);
    QFETCH(int, shown);
    QFETCH(QString, reasonStart);
    if (unreadable && !permissionBitsBind())
        QSKIP("permission bits do not stop this process from reading");
    Fixture f;
    QByteArray original =
        gbk(kDirectory[0]) + "\r\n" + gbk(QStringLiteral("坏")) + "\x81(sh600001)";
    QVERIFY(writeAll(f.env.watchListPath, original));
    if (unreadable)
        QVERIFY(QFile::setPermissions(f.env.watchListPath, QFile::WriteOwner));
    Form2* window = f.open();
    if (unreadable)
        QVERIFY(QFile::setPermissions(f.env.watchListPath, QFile::ReadOwner | QFile::WriteOwner));

    QCOMPARE(watchList(window).size(), shown);
    QVERIFY(!addButton(window)->isEnabled());
    QVERIFY(!removeButton(window)->isEnabled());
    // The reason stands in the window, not only in a tooltip.
    const auto* notice = child<QLabel>(window, "listNotice");
    QVERIFY(notice->isVisibleTo(window));
    QVERIFY2(notice->text().startsWith(reasonStart), qPrintable(notice->text()));
    QVERIFY(clickEntry(results(window), kDirectory[11]));
    QTest::mouseClick(addButton(window), Qt::LeftButton);
    QCOMPARE(readAll(f.env.watchListPath), original);
}

void TestForm2::search_data() {
    QTest::addColumn<bool>("builtIn");
    QTest::newRow("known directory") << false;
    QTest::newRow("built-in directory") << true;
}

void TestForm2::search() {
    QFETCH(bool, builtIn);
    Fixture f;
    Form2* window = f.open(builtIn);
    const QStringList directory =
        builtIn ? stockdirectory::shanghai() + stockdirectory::shenzhen() : kDirectory;
    if (directory.isEmpty())
        QSKIP("the built-in directory is empty");
    QCOMPARE(searchResults(window), directory);
    QTest::keyClicks(searchBox(window), QStringLiteral("sh60"));
    const QStringList found = searchResults(window);
    if (!builtIn)
        QCOMPARE(found, kDirectory.mid(0, 7) + kDirectory.mid(8, 2));
    QVERIFY(found.contains(QStringLiteral("中国石化(sh600028)")));
    for (const QString& entry : found)
        QVERIFY2(entry.contains(QStringLiteral("(sh60")), qUtf8Printable(entry));
    QTest::keyClick(searchBox(window), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(searchBox(window), QStringLiteral("SH60"));
    QCOMPARE(searchResults(window), QStringList{});
    QTest::keyClick(searchBox(window), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(searchBox(window), Qt::Key_Backspace);
    QCOMPARE(searchResults(window), directory);
}

void TestForm2::searchByInitials_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("first");
    QTest::newRow("zgsh") << QStringLiteral("zgsh") << QStringLiteral("中国石化(sh600028)");
    QTest::newRow("zsyh") << QStringLiteral("zsyh") << QStringLiteral("招商银行(sh600036)");
    // Text the plain filter finds keeps its own result.
    QTest::newRow("sh") << QStringLiteral("sh") << QStringLiteral("南山转债(sh110002)");
}

void TestForm2::searchByInitials() {
    QFETCH(QString, typed);
    QFETCH(QString, first);
    Fixture f;
    Form2* window = f.open(true);
    QTest::keyClicks(searchBox(window), typed);
    QVERIFY(!searchResults(window).isEmpty());
    QCOMPARE(searchResults(window).first(), first);
}

void TestForm2::lookUpByCode_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<FakeHttpServer::Response>("answer");
    QTest::addColumn<QStringList>("paths"); // what the service is asked
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("hint");

    const auto quote = [](const char* code, const QString& name) {
        return FakeHttpServer::Response{
            200, gbk(QStringLiteral("var hq_str_%1=\"%2,185.00,184.10,186.20,187.00,183.50\";")
                         .arg(QLatin1String(code), name))};
    };
    const QString found = QStringLiteral("来自行情服务");
    QTest::newRow("bare ChiNext code")
        << QStringLiteral("300750") << quote("sz300750", QStringLiteral("宁德时代"))
        << QStringList{QStringLiteral("/list=sz300750")}
        << QStringList{QStringLiteral("宁德时代(sz300750)")} << found;
    QTest::newRow("prefixed") << QStringLiteral("sz300750")
                              << quote("sz300750", QStringLiteral("宁德时代"))
                              << QStringList{QStringLiteral("/list=sz300750")}
                              << QStringList{QStringLiteral("宁德时代(sz300750)")} << found;
    QTest::newRow("Beijing") << QStringLiteral("bj430047")
                             << quote("bj430047", QStringLiteral("诺思兰德"))
                             << QStringList{QStringLiteral("/list=bj430047")}
                             << QStringList{QStringLiteral("诺思兰德(bj430047)")} << found;
    QTest::newRow("STAR market") << QStringLiteral("688981")
                                 << quote("sh688981", QStringLiteral("中芯国际"))
                                 << QStringList{QStringLiteral("/list=sh688981")}
                                 << QStringList{QStringLiteral("中芯国际(sh688981)")} << found;
    QTest::newRow("unknown code") << QStringLiteral("sz300999")
                                  << FakeHttpServer::Response{200, "var hq_str_sz300999=\"\";"}
                                  << QStringList{QStringLiteral("/list=sz300999")} << QStringList{}
                                  << QStringLiteral("未找到该代码");
    QTest::newRow("refused") << QStringLiteral("sz300750")
                             << FakeHttpServer::Response{403, "Forbidden"}
                             << QStringList{QStringLiteral("/list=sz300750")} << QStringList{}
                             << QStringLiteral("未找到该代码");
    QTest::newRow("a name that breaks the entry form")
        << QStringLiteral("sz300750") << quote("sz300750", QStringLiteral("宁德(时代)"))
        << QStringList{QStringLiteral("/list=sz300750")} << QStringList{}
        << QStringLiteral("未找到该代码");
    QTest::newRow("service failing")
        << QStringLiteral("sz300750") << FakeHttpServer::Response{503, "busy"}
        << QStringList{QStringLiteral("/list=sz300750")} << QStringList{}
        << QStringLiteral("无法连接行情服务，请稍后再试");
    // The directory answers these itself: nobody is asked.
    QTest::newRow("a directory code")
        << QStringLiteral("600028") << FakeHttpServer::Response{} << QStringList{}
        << QStringList{QStringLiteral("中国石化(sh600028)")} << QString();
    QTest::newRow("no market for the start")
        << QStringLiteral("990001") << FakeHttpServer::Response{} << QStringList{} << QStringList{}
        << QStringLiteral("请在代码前加上市场：sh、sz 或 bj");
    QTest::newRow("not a code") << QStringLiteral("sz30075") << FakeHttpServer::Response{}
                                << QStringList{} << QStringList{} << QString();
}

void TestForm2::lookUpByCode() {
    QFETCH(QString, typed);
    QFETCH(FakeHttpServer::Response, answer);
    QFETCH(QStringList, paths);
    QFETCH(QStringList, listed);
    QFETCH(QString, hint);

    FakeHttpServer server;
    server.setDefaultResponse(answer);
    Fixture f;
    f.env.quoteBaseUrl = server.baseUrl();
    Form2* window = f.open(true);
    const auto* hintLabel = child<QLabel>(window, "searchHint");
    QTest::keyClicks(searchBox(window), typed);
    if (!paths.isEmpty())
        QTRY_VERIFY(hintLabel->text() != QStringLiteral("正在向行情服务查询…"));
    QCOMPARE(server.requestPaths(), paths);
    QCOMPARE(searchResults(window), listed);
    QCOMPARE(hintLabel->text(), hint);
    QCOMPARE(hintLabel->isVisibleTo(window), !hint.isEmpty());
    QCOMPARE(results(window)->toolTip().isEmpty(), hint != QStringLiteral("来自行情服务"));
    QVERIFY(f.hooks->messages.isEmpty());
}

void TestForm2::lookUpFollowsTheService_data() {
    QTest::addColumn<QuoteSourceChoice>("choice");
    QTest::addColumn<int>("refusals"); // of the first service, reported by the feed before
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("listed");
    const QStringList found{QStringLiteral("宁德时代(sz300750)")};
    QTest::newRow("second chosen") << QuoteSourceChoice::Tencent << 0 << u"/q=sz300750"_qs << found;
    QTest::newRow("the feed switched")
        << QuoteSourceChoice::Auto << 2 << u"/q=sz300750"_qs << found;
    QTest::newRow("one refusal is no switch")
        << QuoteSourceChoice::Auto << 1 << u"/list=sz300750"_qs << QStringList{};
}

// The look-up asks whichever service the ticker asks, through the same switch.
void TestForm2::lookUpFollowsTheService() {
    QFETCH(QuoteSourceChoice, choice);
    QFETCH(int, refusals);
    FakeHttpServer first;
    first.setDefaultResponse({403, readReplyFile("refused-403-body.txt")});
    FakeHttpServer second;
    second.setResponse(u"/q=sz300750"_qs,
                       gbk(QString::fromUtf8(readAll(QStringLiteral(
                           TENCENT_REPLIES_DIR "/chinext_sz300750_2023-11-16_close.txt")))));
    Fixture f;
    f.env.quoteBaseUrl = first.baseUrl();
    f.env.secondQuoteBaseUrl = second.baseUrl();
    f.services->setChoice(choice);
    for (int i = 0; i < refusals; ++i)
        f.services->report(QuoteService::Sina, Refusal{QuoteFailure::HttpStatus, 403});
    Form2* window = f.open(true);
    QTest::keyClicks(searchBox(window), QStringLiteral("sz300750"));
    QFETCH(QString, path);
    QTRY_COMPARE(first.requestPaths() + second.requestPaths(), QStringList{path});
    QTRY_VERIFY(child<QLabel>(window, "searchHint")->text() != u"正在向行情服务查询…"_qs);
    QTEST(searchResults(window), "listed");
}

// Stored as soon as picked, and handed on for the feed to follow from its next request.
void TestForm2::quoteSource() {
    Fixture f(kDirectory.mid(0, 2));
    f.env.settings->setValue(SettingsStore::Key::Source, u"nonsense"_qs);
    Form2* window = f.open();
    QSignalSpy handed(window, &Form2::quoteSourcePicked);
    auto* combo = child<QComboBox>(window, "Combo3");
    QCOMPARE(combo->currentIndex(), 0); // an unknown value reads as auto
    QCOMPARE(child<QLabel>(window, "Label3")->text(), u"行情来源："_qs);
    QCOMPARE(combo->itemText(2), u"腾讯"_qs);
    for (const auto& [index, written] : {std::pair{2, u"tencent"}, {1, u"sina"}, {0, u"auto"}}) {
        combo->setFocus();
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        combo->view()->setCurrentIndex(combo->model()->index(index, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QCOMPARE(handed.last().at(0).value<QuoteSourceChoice>(), QuoteSourceChoice(index));
        QCOMPARE(f.setting(SettingsStore::Key::Source), QString::fromUtf16(written));
    }
}

void TestForm2::onlyTheLatestLookUpCounts() {
    FakeHttpServer server;
    server.setResponse(QStringLiteral("/list=sz300750"), {200, {}, "text/html", true});
    server.setResponse(
        QStringLiteral("/list=sh688981"),
        {200,
         gbk(QStringLiteral("var hq_str_sh688981=\"中芯国际,50.00,49.00,51.00,52.00,48.00\";"))});
    Fixture f;
    f.env.quoteBaseUrl = server.baseUrl();
    f.env.fetchTimeoutMs = 400;
    Form2* window = f.open(true);
    // The service hangs on the first code; typing goes on regardless.
    QTest::keyClicks(searchBox(window), QStringLiteral("sz300750"));
    QTRY_COMPARE(server.requestPaths(), QStringList{QStringLiteral("/list=sz300750")});
    searchBox(window)->clear();
    QTest::keyClicks(searchBox(window), QStringLiteral("sh688981"));
    QTRY_COMPARE(searchResults(window), QStringList{QStringLiteral("中芯国际(sh688981)")});
    // Then a directory code: the result is the directory's, and stays so.
    searchBox(window)->clear();
    QTest::keyClicks(searchBox(window), QStringLiteral("600028"));
    QCOMPARE(searchResults(window), QStringList{QStringLiteral("中国石化(sh600028)")});
    QTest::qWait(f.env.fetchTimeoutMs + 300); // past the hung request's own deadline
    QCOMPARE(searchResults(window), QStringList{QStringLiteral("中国石化(sh600028)")});
    QVERIFY(child<QLabel>(window, "searchHint")->isHidden());
}

void TestForm2::addLookedUpEntry() {
    FakeHttpServer server;
    server.setDefaultResponse(
        {200,
         gbk(QStringLiteral("var hq_str_bj430047=\"诺思兰德,10.00,9.90,10.10,10.30,9.80\";"))});
    Fixture f(kDirectory.mid(0, 2));
    f.env.quoteBaseUrl = server.baseUrl();
    Form2* window = f.open(true);
    QTest::keyClicks(searchBox(window), QStringLiteral("430047"));
    QTRY_COMPARE(searchResults(window), QStringList{QStringLiteral("诺思兰德(bj430047)")});
    QVERIFY(clickEntry(results(window), QStringLiteral("诺思兰德(bj430047)")));
    QTest::mouseClick(addButton(window), Qt::LeftButton);
    const QStringList after =
        kDirectory.mid(0, 2) + QStringList{QStringLiteral("诺思兰德(bj430047)")};
    QCOMPARE(watchList(window), after);
    QCOMPARE(readAll(f.env.watchListPath), windowForm(after));
}

namespace {

FakeHttpServer::Response quoteNaming(const char* code, const QString& name) {
    return {200, gbk(QStringLiteral("var hq_str_%1=\"%2,10.00,9.90,10.10,10.30,9.80\";")
                         .arg(QLatin1String(code), name))};
}

} // namespace

void TestForm2::searchOrder_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("first"); // empty: nothing listed
    QTest::addColumn<int>("count");     // -1: any number
    QTest::addColumn<QString>("hint");  // also the list's tooltip
    QTest::addColumn<bool>("asked");    // the service was asked about the code

    const QString listing = QStringLiteral("来自当前上市名录");
    const auto row = [](const char* tag, const char16_t* typed, const char16_t* first, int count,
                        const QString& hint = QString(), bool asked = false) {
        QTest::newRow(tag) << QString::fromUtf16(typed) << QString::fromUtf16(first) << count
                           << hint << asked;
    };
    row("in the directory", u"中国石化", u"中国石化(sh600028)", 1);
    row("only by the directory's initials", u"zgsh", u"中国石化(sh600028)", -1);
    row("only in today's listing", u"宁德时代", u"宁德时代(sz300750)", 1, listing);
    row("part of a name in the listing", u"中芯", u"中芯国际(sh688981)", 1, listing);
    row("only by the listing's initials", u"ndsd", u"宁德时代(sz300750)", -1, listing);
    row("ASCII for full-width", u"万科A", u"万科Ａ(sz000002)", 1, listing);
    row("full-width for ASCII", u"深物业Ａ", u"深物业A(sz000011)", 1, listing);
    row("padded as the exchanges write it", u"万 \u3000科Ａ", u"万科Ａ(sz000002)", 1, listing);
    row("case kept", u"万科a", u"", 0);
    row("a code the listing holds", u"300750", u"宁德时代(sz300750)", 1, listing);
    row("a code in neither", u"sz302999", u"新股(sz302999)", 1, QStringLiteral("来自行情服务"),
        true);
    row("nothing", u"宁德时代X", u"", 0);
    row("blanks", u"  ", u"", 0);
}

// The directory's filter, its initials, the listing's filter, its initials, then the
// service: each only when everything before it found nothing.
void TestForm2::searchOrder() {
    QFETCH(QString, typed);
    QFETCH(QString, first);
    QFETCH(int, count);
    QFETCH(QString, hint);
    QFETCH(bool, asked);

    FakeHttpServer server;
    server.setDefaultResponse(quoteNaming("sz302999", QStringLiteral("新股")));
    Fixture f;
    f.env.quoteBaseUrl = server.baseUrl();
    Form2* window = f.open(true, true);
    const auto* hintLabel = child<QLabel>(window, "searchHint");
    searchBox(window)->insert(typed); // as pasted: key clicks take Latin-1 only
    if (asked)
        QTRY_COMPARE(hintLabel->text(), hint);
    const QStringList found = searchResults(window);
    QCOMPARE(found.value(0), first);
    if (count >= 0)
        QCOMPARE(found.size(), count);
    QCOMPARE(hintLabel->text(), hint);
    QCOMPARE(hintLabel->isVisibleTo(window), !hint.isEmpty());
    QCOMPARE(results(window)->toolTip(), hint);
    QCOMPARE(!server.requestPaths().isEmpty(), asked);
}

void TestForm2::addFromListing_data() {
    QTest::addColumn<FakeHttpServer::Response>("answer");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");

    const QStringList two = kDirectory.mid(0, 2);
    const QString listed = QStringLiteral("宁德时代(sz300750)");
    const QString renamed = QStringLiteral("宁德新名(sz300750)");
    const auto current = quoteNaming("sz300750", QStringLiteral("宁德新名"));
    QTest::newRow("another name") << current << two << two + QStringList{renamed};
    QTest::newRow("not answering")
        << FakeHttpServer::Response{200, {}, "text/html", true} << two << two + QStringList{listed};
    QTest::newRow("refusing") << FakeHttpServer::Response{403, "Forbidden"} << two
                              << two + QStringList{listed};
    QTest::newRow("on the list under its current name")
        << current << two + QStringList{renamed} << two + QStringList{renamed};
}

void TestForm2::addFromListing() {
    QFETCH(FakeHttpServer::Response, answer);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);

    FakeHttpServer server;
    server.setDefaultResponse(answer);
    Fixture f(before);
    f.env.quoteBaseUrl = server.baseUrl();
    f.env.fetchTimeoutMs = 300;
    Form2* window = f.open(true, true);
    QTest::keyClicks(searchBox(window), QStringLiteral("ndsd"));
    const QString listed = QStringLiteral("宁德时代(sz300750)");
    QVERIFY(clickEntry(results(window), listed));
    QTest::mouseClick(addButton(window), Qt::LeftButton);
    // Added at once under the listing's name, whatever the service will say.
    QCOMPARE(watchList(window), before + QStringList{listed});
    // Then confirmed: only the window's own look-up for typed codes is left.
    QTRY_COMPARE(window->findChildren<CodeLookup*>().size(), 1);
    QCOMPARE(server.requestPaths(), QStringList{QStringLiteral("/list=sz300750")});
    QCOMPARE(watchList(window), after);
    QCOMPARE(readAll(f.env.watchListPath), windowForm(after));
    QVERIFY(f.hooks->messages.isEmpty());
}

void TestForm2::addFromDirectory_data() {
    QTest::addColumn<QString>("picked");      // from the directory
    QTest::addColumn<QStringList>("listing"); // none: the program's own directory and listing
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("stored"); // empty: nothing added

    const QString pingAn = QStringLiteral("平安银行(sz000001)");
    const QString old = QStringLiteral("深发展Ａ(sz000001)");
    const QStringList two = kDirectory.mid(0, 2);
    QTest::newRow("renamed since") << old << QStringList{pingAn, kDirectory[5]} << two << pingAn;
    QTest::newRow("the same name")
        << kDirectory[5] << QStringList{pingAn, kDirectory[5]} << two << kDirectory[5];
    QTest::newRow("not listed today")
        << kDirectory[4] << QStringList{pingAn} << two << kDirectory[4];
    QTest::newRow("the same digits on another market")
        << QStringLiteral("上证指数(sh000001)") << QStringList{pingAn} << two
        << QStringLiteral("上证指数(sh000001)");
    QTest::newRow("listed already under today's name")
        << old << QStringList{pingAn} << two + QStringList{pingAn} << QString();
    QTest::newRow("the program's own") << old << QStringList{} << two << pingAn;
}

// The directory names stocks as they were named in its day; today's listing renames them as
// they are added, and only then.
void TestForm2::addFromDirectory() {
    QFETCH(QString, picked);
    QFETCH(QStringList, listing);
    QFETCH(QStringList, before);
    QFETCH(QString, stored);

    Fixture f(before);
    const QStringList directory = listing.isEmpty()
                                      ? stockdirectory::shanghai() + stockdirectory::shenzhen()
                                      : kDirectory + QStringList{picked};
    Form2* window = f.openOver(directory, listing.isEmpty()
                                              ? todaysListing()
                                              : std::make_shared<stockdirectory::Search>(listing));
    QVERIFY(clickEntry(results(window), picked));
    QTest::mouseClick(addButton(window), Qt::LeftButton);
    const QStringList after = before + (stored.isEmpty() ? QStringList{} : QStringList{stored});
    QCOMPARE(watchList(window), after);
    QCOMPARE(searchResults(window), directory);
    QCOMPARE(window->findChildren<CodeLookup*>().size(), 1); // no name asked of the service
}

void TestForm2::transparency_data() {
    QTest::addColumn<QString>("typed"); // empty: pick from the list instead
    QTest::addColumn<int>("key"); // on the open list, or on the closed box when typed is empty
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("alpha");

    QTest::newRow("pick 90% from the list") << QString() << 0 << "90%" << 26;
    QTest::newRow("arrow down") << QString() << int(Qt::Key_Down) << "80%" << 51;
    QTest::newRow("type 45, no such item") << "45" << int(Qt::Key_Return) << "60%" << 255;
    QTest::newRow("type 100%, no such item") << "100%" << int(Qt::Key_Tab) << "60%" << 255;
}

void TestForm2::transparency() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, op);
    QFETCH(int, alpha);

    Fixture f;
    Form2* window = f.open();
    QComboBox* combo = child<QComboBox>(window, "Combo1");
    combo->setFocus();
    if (!typed.isEmpty()) {
        QVERIFY(!combo->isEditable());
        QTest::keyClicks(combo, typed);
        QTest::keyClick(combo, Qt::Key(key));
    } else if (key) {
        QTest::keyClick(combo, Qt::Key(key));
    } else {
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        combo->view()->setCurrentIndex(combo->model()->index(combo->findText(op), 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
    }
    QCOMPARE(f.picked.isEmpty() ? 255 : alphaFromTransparency(f.picked.last()), alpha);
    QCOMPARE(f.setting(SettingsStore::Key::Transparency), op);
    QCOMPARE(combo->count(), 5);
}

void TestForm2::showsTheStoredTransparency_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("90%") << QStringLiteral("90%") << 4;
    QTest::newRow("30%") << QStringLiteral("30%") << 1;
    QTest::newRow("0%") << QStringLiteral("0%") << 0;
    QTest::newRow("the default") << QStringLiteral("60%") << 2;
    QTest::newRow("a hand-edited value") << QStringLiteral("75%") << -1;
}

void TestForm2::showsTheStoredTransparency() {
    QFETCH(QString, stored);
    QFETCH(int, index);
    Fixture f(kDirectory.mid(0, 2));
    f.env.settings->setTransparency(stored);
    const Form2* window = f.open();
    const auto* combo = child<QComboBox>(window, "Combo1");
    QCOMPARE(combo->currentIndex(), index);
    QCOMPARE(index >= 0 ? combo->currentText() : combo->placeholderText(), stored);
    QVERIFY(f.picked.isEmpty()); // showing it is no pick
}

void TestForm2::upDownColours_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("picked");
    QTest::addColumn<QString>("written");
    QTest::newRow("default, pick green-up") << QString() << 0 << 1 << u"green-up"_qs;
    QTest::newRow("green-up, pick none") << u"green-up"_qs << 1 << 2 << u"none"_qs;
    QTest::newRow("unknown reads as red-up") << u"blue"_qs << 0 << 2 << u"none"_qs;
}

void TestForm2::upDownColours() {
    // Stored as soon as picked, and handed on for the ticker to take at once.
    QFETCH(QString, stored);
    QFETCH(int, picked);
    Fixture f(kDirectory.mid(0, 2));
    if (!stored.isNull())
        f.env.settings->setValue(SettingsStore::Key::Colours, stored);
    Form2* window = f.open();
    QSignalSpy handed(window, &Form2::upDownColoursPicked);
    auto* combo = child<QComboBox>(window, "Combo2");
    QTEST(combo->currentIndex(), "shown");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(child<QLabel>(window, "Label2")->text(), u"涨跌颜色："_qs);
    combo->setFocus();
    combo->showPopup();
    QTRY_VERIFY(combo->view()->isVisible());
    combo->view()->setCurrentIndex(combo->model()->index(picked, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QCOMPARE(handed.count(), 1);
    QCOMPARE(handed.first().at(0).value<UpDownColours>(), UpDownColours(picked));
    QTEST(f.setting(SettingsStore::Key::Colours), "written");
}

void TestForm2::hotkey_data() {
    QTest::addColumn<QList<QKeyCombination>>("typed"); // none: the clear button
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("picked");
    QTest::addColumn<QString>("status");

    const QString hint = u"在任何程序中按下此键，即可隐藏或重新显示全部窗口"_qs;
    const auto ctrlAlt = Qt::CTRL | Qt::ALT;
    QTest::newRow("a combination") << QList<QKeyCombination>{ctrlAlt | Qt::Key_F12}
                                   << u"Ctrl+Alt+F12"_qs << QStringList{u"Ctrl+Alt+F12"_qs} << hint;
    QTest::newRow("Meta and a letter") << QList<QKeyCombination>{Qt::META | Qt::Key_B}
                                       << u"Meta+B"_qs << QStringList{u"Meta+B"_qs} << hint;
    QTest::newRow("two combinations: the first")
        << QList<QKeyCombination>{ctrlAlt | Qt::Key_A, ctrlAlt | Qt::Key_B} << u"Ctrl+Alt+A"_qs
        << QStringList{u"Ctrl+Alt+A"_qs} << hint;
    QTest::newRow("no Ctrl, Alt or Meta: refused")
        << QList<QKeyCombination>{QKeyCombination(Qt::Key_F12)} << u"Ctrl+Alt+Z"_qs << QStringList{}
        << u"老板键须含 Ctrl、Alt 或 Meta 键"_qs;
    // As the boss key itself goes down while the field has the focus: its Ctrl empties the
    // field, then the windows go and the editing ends.
    QTest::newRow("a modifier alone") << QList<QKeyCombination>{Qt::CTRL | Qt::Key_Control}
                                      << u"Ctrl+Alt+Z"_qs << QStringList{} << hint;
    QTest::newRow("the one it has")
        << QList<QKeyCombination>{ctrlAlt | Qt::Key_Z} << u"Ctrl+Alt+Z"_qs << QStringList{} << hint;
    QTest::newRow("cleared") << QList<QKeyCombination>{} << QString() << QStringList{QString()}
                             << hint;
}

void TestForm2::hotkey() {
    QFETCH(QList<QKeyCombination>, typed);
    QFETCH(QString, stored);
    Fixture f(kDirectory.mid(0, 2));
    Form2* window = f.open();
    QStringList picked;
    connect(window, &Form2::hotkeyPicked, this, [&](const QString& keys) { picked << keys; });
    auto* edit = child<QKeySequenceEdit>(window, "hotkeyEdit");
    QCOMPARE(edit->keySequence(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z)); // the default
    QSignalSpy finished(edit, &QKeySequenceEdit::editingFinished);
    for (const QKeyCombination keys : typed)
        QTest::keyClick(edit, keys.key(), keys.keyboardModifiers());
    if (typed.isEmpty())
        child<QPushButton>(window, "hotkeyClear")->click();
    else
        QVERIFY(finished.wait(5000));

    QCOMPARE(f.env.settings->hotkey(), stored);
    QCOMPARE(edit->keySequence().toString(QKeySequence::PortableText), stored);
    QTEST(picked, "picked");
    QTEST(child<QLabel>(window, "hotkeyStatus")->text(), "status");
}

void TestForm2::openWithoutFile() {
    Fixture f;
    QFile::remove(f.env.watchListPath);
    f.env.settings->setTransparency(QStringLiteral("30%"));
    f.env.settings->setStartsAtLogon(true);
    Form2* window = f.open();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), searchBox(window));
    QCOMPARE(searchResults(window), kDirectory);
    QCOMPARE(watchList(window), QStringList{});
    QCOMPARE(child<QComboBox>(window, "Combo1")->currentText(), QStringLiteral("60%"));
    QVERIFY(!child<QCheckBox>(window, "Check1")->isChecked());
}

void TestForm2::close_data() {
    QTest::addColumn<QString>("st");
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("before"); // an entry left from before
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("entry");

    QTest::newRow("checked by the user") << "0" << true << false << "1" << true;
    QTest::newRow("unchecked by the user") << "1" << true << true << "0" << false;
    QTest::newRow("left checked") << "1" << false << true << "1" << true;
    QTest::newRow("never set") << "" << false << false << "" << false;
}

// The choice is taken when it is made, so that leaving from the ticker's menu with the
// window open keeps it; closing the window changes nothing.
void TestForm2::close() {
    QFETCH(QString, st);
    QFETCH(bool, click);
    QFETCH(bool, before);
    QFETCH(QString, stored);
    QFETCH(bool, entry);

    Fixture f(kDirectory.mid(0, 2));
    f.env.settings->setValue(SettingsStore::Key::StartAtLogon, st);
    f.env.executablePath = f.dir.path() + QStringLiteral("/my apps/tarnwel");
    const QString entryPath = f.dir.path() + QStringLiteral("/autostart/zizudar.desktop");
    if (before)
        f.env.autostart->set(f.env.executablePath);
    QPointer<Form2> window = f.open();
    QSignalSpy closed(window.data(), &Form2::closed);
    if (click)
        child<QCheckBox>(window, "Check1")->click();
    for (const bool closing : {false, true}) {
        if (closing)
            window->close();
        QCOMPARE(f.setting(SettingsStore::Key::StartAtLogon), stored);
        QCOMPARE(QFile::exists(entryPath), entry);
        if (entry)
            QVERIFY(readAll(entryPath).contains(
                QByteArray("\nExec=\"" + QFile::encodeName(f.env.executablePath) + "\"\n")));
    }
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
