#include "app/autostart.h"
#include "app/settingsstore.h"
#include "filesizelimit.h"
#include "testenvironment.h"
#include "testfiles.h"
#include "ticker/form1.h"
#include "watchlist/form2.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>
#include <unistd.h>

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

// The ticker over a known directory, its files in a temporary directory, and the
// watch-list window opened as the ticker's menu opens it.
struct Fixture {
    QTemporaryDir dir;
    std::shared_ptr<RecordedHooks> hooks = std::make_shared<RecordedHooks>();
    Environment env = makeTestEnvironment(dir.path(), hooks);
    std::optional<Form1> ticker;

    // `entries` as a hand-written file (no final empty line), so that any rewrite shows.
    explicit Fixture(const QStringList& entries = {}) {
        QFile file(env.watchListPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(gbk(entries.join(QStringLiteral("\r\n"))));
        env.settings->setValue(QStringLiteral("op"), QStringLiteral("60%"));
    }
    QString setting(const char* key) const { return env.settings->value(QString::fromLatin1(key)); }
    // `builtIn`: the program's own directory, merged by the ticker's load.
    Form2* open(bool builtIn = false) {
        ticker.emplace(env);
        if (builtIn) {
            ticker->Form_Load();
            ticker->Timer1->stop(); // no quote feed
        } else {
            ticker->List1 = kDirectory;
        }
        ticker->Timer2->stop();
        auto* window = new Form2(&*ticker);
        ticker->watchListWindow = window;
        window->Form_Load();
        window->show();
        return window;
    }
};

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

class TestForm2 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void edit_data();
    void edit();
    void failedRewrite_data();
    void failedRewrite();
    void unreadableFileIsNotOverwritten();
    void search_data();
    void search();
    void transparency_data();
    void transparency();
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
        QVERIFY(clickEntry(adding ? window->List1 : static_cast<QAbstractItemView*>(window->List2),
                           pick));
    QTest::mouseClick(adding ? window->Command1 : window->Command2, Qt::LeftButton);

    QCOMPARE(window->watchList(), after);
    const bool changed = after != kDirectory.mid(0, count);
    QCOMPARE(readAll(f.env.watchListPath), changed ? windowForm(after) : original);
    QCOMPARE(f.hooks->messages, message.isEmpty() ? QStringList{} : QStringList{message});
    if (!adding) {
        // Nothing stays selected: a second click cannot take away the entry that moved up.
        QTest::mouseClick(window->Command2, Qt::LeftButton);
        QCOMPARE(window->watchList(), after);
    }
}

void TestForm2::failedRewrite_data() {
    QTest::addColumn<bool>("adding");
    QTest::newRow("add") << true;
    QTest::newRow("remove") << false;
}

void TestForm2::failedRewrite() {
    QFETCH(bool, adding);
    Fixture f(kDirectory.mid(0, 3));
    const QByteArray original = readAll(f.env.watchListPath);
    Form2* window = f.open();
    const QString pick = adding ? kDirectory[11] : kDirectory[1];
    QVERIFY(
        clickEntry(adding ? window->List1 : static_cast<QAbstractItemView*>(window->List2), pick));
    {
        const FileSizeLimit diskFull(8);
        QTest::mouseClick(adding ? window->Command1 : window->Command2, Qt::LeftButton);
    }
    // List and file still agree, and the user was told.
    QCOMPARE(window->watchList(), kDirectory.mid(0, 3));
    QCOMPARE(readAll(f.env.watchListPath), original);
    QCOMPARE(f.hooks->messages,
             QStringList{QStringLiteral("自选股列表无法保存，本次修改未生效。")});

    // The pick is still there: the same click goes through once the disk has room.
    QTest::mouseClick(adding ? window->Command1 : window->Command2, Qt::LeftButton);
    QCOMPARE(window->watchList().contains(pick), adding);
    QCOMPARE(readAll(f.env.watchListPath), windowForm(window->watchList()));
}

void TestForm2::unreadableFileIsNotOverwritten() {
    if (geteuid() == 0)
        QSKIP("permissions do not stop root from reading");
    Fixture f(kDirectory.mid(0, 3));
    const QByteArray original = readAll(f.env.watchListPath);
    QVERIFY(QFile::setPermissions(f.env.watchListPath, QFile::WriteOwner));
    Form2* window = f.open();
    QVERIFY(clickEntry(window->List1, kDirectory[11]));
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    QVERIFY(QFile::setPermissions(f.env.watchListPath, QFile::ReadOwner | QFile::WriteOwner));
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
    const QStringList directory = f.ticker->List1;
    if (directory.isEmpty())
        QSKIP("the built-in directory is empty");
    QCOMPARE(window->searchResults(), directory);
    QTest::keyClicks(window->Text1, QStringLiteral("sh60"));
    const QStringList found = window->searchResults();
    if (!builtIn)
        QCOMPARE(found, kDirectory.mid(0, 7) + kDirectory.mid(8, 2));
    QVERIFY(found.contains(QStringLiteral("中国石化(sh600028)")));
    for (const QString& entry : found)
        QVERIFY2(entry.contains(QStringLiteral("(sh60")), qUtf8Printable(entry));
    QTest::keyClick(window->Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(window->Text1, QStringLiteral("SH60"));
    QCOMPARE(window->searchResults(), QStringList{});
    QTest::keyClick(window->Text1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window->Text1, Qt::Key_Backspace);
    QCOMPARE(window->searchResults(), directory);
}

void TestForm2::transparency_data() {
    QTest::addColumn<QString>("typed"); // empty: pick from the list instead
    QTest::addColumn<int>("key"); // on the open list, or on the closed box when typed is empty
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("alpha");

    QTest::newRow("pick 90% from the list") << QString() << 0 << "90%" << 26;
    QTest::newRow("arrow down") << QString() << int(Qt::Key_Down) << "80%" << 51;
    QTest::newRow("type 75%") << "75%" << int(Qt::Key_Return) << "60%" << 255;
    QTest::newRow("type an item's text") << "90%" << int(Qt::Key_Return) << "60%" << 255;
    QTest::newRow("type, then leave") << "30%" << int(Qt::Key_Tab) << "60%" << 255;
}

void TestForm2::transparency() {
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, op);
    QFETCH(int, alpha);

    Fixture f;
    Form2* window = f.open();
    QComboBox* combo = window->Combo1;
    combo->setFocus();
    if (!typed.isEmpty()) {
        combo->lineEdit()->selectAll();
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
    QCOMPARE(f.ticker->alpha(), alpha);
    QCOMPARE(f.setting("op"), op);
    QCOMPARE(combo->count(), 5);
}

void TestForm2::openWithoutFile() {
    Fixture f;
    QFile::remove(f.env.watchListPath);
    f.env.settings->setValue(QStringLiteral("op"), QStringLiteral("30%"));
    f.env.settings->setValue(QStringLiteral("st"), QStringLiteral("1"));
    Form2* window = f.open();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(QApplication::focusWidget(), window->Text1);
    QCOMPARE(window->searchResults(), kDirectory);
    QCOMPARE(window->watchList(), QStringList{});
    QCOMPARE(window->Combo1->currentText(), QStringLiteral("60%"));
    QVERIFY(!window->Check1->isChecked());
}

void TestForm2::close_data() {
    QTest::addColumn<QString>("st");
    QTest::addColumn<bool>("click");
    QTest::addColumn<bool>("entry");

    QTest::newRow("checked by the user") << "0" << true << true;
    QTest::newRow("left checked") << "1" << false << true;
    QTest::newRow("unchecked by the user") << "1" << true << false;
    QTest::newRow("never set") << "" << false << false;
}

void TestForm2::close() {
    QFETCH(QString, st);
    QFETCH(bool, click);
    QFETCH(bool, entry);

    Fixture f(kDirectory.mid(0, 2));
    f.env.settings->setValue(QStringLiteral("st"), st);
    f.env.executablePath = f.dir.path() + QStringLiteral("/my apps/tarnwel");
    const QString entryPath = f.dir.path() + QStringLiteral("/autostart/zizudar.desktop");
    QPointer<Form2> window = f.open();
    if (click)
        window->Check1->click();
    if (!entry) // an entry left from before goes
        f.env.autostart->set(f.env.executablePath);
    QVERIFY(!f.ticker->Timer2->isActive());

    window->close();
    QVERIFY(f.ticker->Timer2->isActive());
    QCOMPARE(f.setting("st"), entry ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(QFile::exists(entryPath), entry);
    if (entry)
        QVERIFY(readAll(entryPath).contains(
            QByteArray("\nExec=\"" + QFile::encodeName(f.env.executablePath) + "\"\n")));
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
