// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsstore.h"
#include "holdings/holdingdialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

namespace {

// As a user types it: Chinese comes through the input method.
void type(QLineEdit* edit, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
            continue;
        }
        QInputMethodEvent commit;
        commit.setCommitString(c);
        QApplication::sendEvent(edit, &commit);
    }
}

} // namespace

class TestHoldingDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void validation_data();
    void validation();
};

void TestHoldingDialog::validation_data() {
    QTest::addColumn<QString>("before"); // stored when the dialog opens
    QTest::addColumn<QString>("shares");
    QTest::addColumn<QString>("cost");
    QTest::addColumn<QString>("hint"); // empty: saved
    QTest::addColumn<QString>("stored");

    const auto row = [](const char* tag, const char* shares, const char* cost, const char* hint,
                        const char* stored, const char* before = "shares:500;cost:4.00") {
        QTest::newRow(tag) << QString::fromUtf8(before) << QString::fromUtf8(shares)
                           << QString::fromUtf8(cost) << QString::fromUtf8(hint)
                           << QString::fromUtf8(stored);
    };
    const char* kept = "shares:500;cost:4.00";
    row("saved", "1000", "5.12", "", "shares:1000;cost:5.12");
    row("blanks and zeros in front", " 01000 ", "05.120", "", "shares:1000;cost:5.120");
    row("zero cost", "100", "0", "", "shares:100;cost:0");
    row("the limits", "10000000000", "9999999.9999", "", "shares:10000000000;cost:9999999.9999");
    row("empty shares remove the holding, whatever the cost", "", "abc", "", "");
    row("an unreadable stored value is replaced", "200", "4", "", "shares:200;cost:4",
        "shares:1.5;cost:4");
    row("not a number", "1,000", "5", "持有股数：请输入数字", kept);
    row("a fraction of a share", "10.5", "5", "持有股数：应为整数股", kept);
    row("negative shares", "-100", "5", "持有股数：不能为负数", kept);
    row("no shares", "0", "5", "持有股数：应在 1 到 10000000000 之间", kept);
    row("over ten billion", "10000000001", "5", "持有股数：应在 1 到 10000000000 之间", kept);
    row("no cost", "100", "", "成本价：不能为空", kept);
    row("negative cost", "100", "-1", "成本价：不能为负数", kept);
    row("five decimals", "100", "5.12345", "成本价：最多四位小数", kept);
    row("cost in words", "100", "五元", "成本价：请输入数字", kept);
    row("cost too large", "100", "12345678", "成本价：数值过大", kept);
}

void TestHoldingDialog::validation() {
    QFETCH(QString, before);
    QFETCH(QString, shares);
    QFETCH(QString, cost);
    QFETCH(QString, hint);

    QTemporaryDir dir;
    const auto settings =
        std::make_shared<SettingsStore>(dir.filePath(QStringLiteral("settings.conf")));
    const QString code = QStringLiteral("sh600028");
    settings->setHolding(code, before);
    HoldingDialog dialog(settings, code, QStringLiteral("中国石化"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("持仓"));
    auto* sharesEdit = dialog.findChild<QLineEdit*>(QStringLiteral("shares"));
    auto* costEdit = dialog.findChild<QLineEdit*>(QStringLiteral("cost"));
    auto* shownHint = dialog.findChild<QLabel*>(QStringLiteral("hint"));
    const bool readable = before.startsWith(u"shares:500");
    QCOMPARE(sharesEdit->text(), readable ? QStringLiteral("500") : QString());
    QCOMPARE(shownHint->text().isEmpty(), readable);
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    QCOMPARE(ok->text(), QStringLiteral("确定"));
    const QRect okAt(ok->mapTo(&dialog, QPoint()), ok->size());

    for (const auto& [edit, text] : {std::pair{sharesEdit, shares}, {costEdit, cost}}) {
        edit->clear();
        type(edit, text);
    }
    QSignalSpy saved(&dialog, &HoldingDialog::saved);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(shownHint->text(), hint);
    QCOMPARE(dialog.isVisible(), !hint.isEmpty());
    QCOMPARE(saved.count(), hint.isEmpty() ? 1 : 0);
    QTEST(settings->holding(code), "stored");
    if (hint.isEmpty())
        return;
    // The hint has a place of its own: neither it nor its going moves the buttons.
    QApplication::processEvents();
    QCOMPARE(QRect(ok->mapTo(&dialog, QPoint()), ok->size()), okAt);
    QTest::keyClick(costEdit, Qt::Key_End);
    QTest::keyClicks(costEdit, QStringLiteral("0"));
    QVERIFY(shownHint->text().isEmpty());
    QApplication::processEvents();
    QCOMPARE(QRect(ok->mapTo(&dialog, QPoint()), ok->size()), okAt);
}

QTEST_MAIN(TestHoldingDialog)
#include "tst_holdingdialog.moc"
