// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertdialog.h"
#include "base/settingsstore.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

class TestAlertDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void validation_data();
    void validation();
};

void TestAlertDialog::validation_data() {
    QTest::addColumn<QStringList>("typed"); // 价格高于, 价格低于, 涨跌幅超过
    QTest::addColumn<QString>("hint");      // empty: saved
    QTest::addColumn<QString>("stored");

    const auto row = [](const char* tag, std::initializer_list<const char*> typed, const char* hint,
                        const char* stored) {
        QStringList fields;
        for (const char* text : typed)
            fields.append(QString::fromUtf8(text));
        QTest::newRow(tag) << fields << QString::fromUtf8(hint) << QString::fromUtf8(stored);
    };
    row("all three", {"5.50", "5.00", "3"}, "", "above:5.50;below:5.00;move:3");
    row("blanks around, one field", {" 5.5 ", "", ""}, "", "above:5.5");
    row("all empty removes", {"", "", ""}, "", "");
    row("not a number", {"5.5x", "", ""}, "价格高于：请输入数字", "below:4.00");
    row("negative", {"", "-1", ""}, "价格低于：不能为负数", "below:4.00");
    row("zero price", {"0", "", ""}, "价格高于：应大于 0", "below:4.00");
    row("percent of 0", {"", "", "0"}, "涨跌幅超过：应大于 0 且不超过 100", "below:4.00");
    row("percent over 100", {"", "", "100.5"}, "涨跌幅超过：应大于 0 且不超过 100", "below:4.00");
    row("percent with three decimals", {"", "", "1.125"}, "涨跌幅超过：最多两位小数", "below:4.00");
    row("the first bad field is named", {"abc", "-2", "0"}, "价格高于：请输入数字", "below:4.00");
}

void TestAlertDialog::validation() {
    QFETCH(QStringList, typed);
    QFETCH(QString, hint);
    QFETCH(QString, stored);

    QTemporaryDir dir;
    const auto settings =
        std::make_shared<SettingsStore>(dir.filePath(QStringLiteral("settings.conf")));
    settings->setAlerts(QStringLiteral("sh600028"), QStringLiteral("below:4.00"));
    AlertDialog dialog(settings, QStringLiteral("sh600028"), QStringLiteral("中国石化"));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("股价提醒"));
    auto* below = dialog.findChild<QLineEdit*>(QStringLiteral("below"));
    QCOMPARE(below->text(), QStringLiteral("4.00")); // the stored alerts, to edit
    auto* notify = dialog.findChild<QCheckBox*>(QStringLiteral("notify"));
    QCOMPARE(notify->text(), QStringLiteral("桌面通知"));
    QVERIFY(notify->isChecked());
    notify->setChecked(false);

    const char* names[] = {"above", "below", "move"};
    for (int i = 0; i < 3; ++i) {
        auto* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(names[i]));
        edit->clear();
        QTest::keyClicks(edit, typed[i]);
    }
    QSignalSpy saved(&dialog, &AlertDialog::saved);
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    // Where the OK button stands on screen, once the dialog has laid itself out.
    const auto okPlace = [&dialog, ok] {
        dialog.layout()->activate();
        return QRect(ok->mapToGlobal(QPoint()), ok->size());
    };
    const QRect okBefore = okPlace();
    QTest::mouseClick(ok, Qt::LeftButton);

    auto* shownHint = dialog.findChild<QLabel*>(QStringLiteral("hint"));
    QCOMPARE(shownHint->text(), hint);
    QCOMPARE(dialog.isVisible(), !hint.isEmpty());
    QCOMPARE(saved.count(), hint.isEmpty() ? 1 : 0);
    QCOMPARE(settings->alerts(QStringLiteral("sh600028")), stored);
    // The notification choice is saved with the alerts, or not at all.
    QCOMPARE(settings->notifies(), !hint.isEmpty());
    if (hint.isEmpty())
        return;
    // A second click after the correction lands on the button: it never moves, whether the
    // hint shows or goes.
    QCOMPARE(okPlace(), okBefore);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_End);
    QTest::keyClicks(dialog.focusWidget(), QStringLiteral("1"));
    QCOMPARE(shownHint->text(), QString());
    QCOMPARE(okPlace(), okBefore);
}

QTEST_MAIN(TestAlertDialog)
#include "tst_alertdialog.moc"
