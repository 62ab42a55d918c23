// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/qttexts.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tarnwel;

class TestQtTexts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void standardTexts_data();
    void standardTexts();
};

// Rows run in order: the translator, once installed, stays for the process.
void TestQtTexts::standardTexts_data() {
    QTest::addColumn<bool>("fromSystem");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("cancel");

    // Without Qt's translations the program still runs, in Qt's English.
    QTest::newRow("none to be found")
        << false << false << QStringLiteral("OK") << QStringLiteral("Cancel");
    QTest::newRow("the system's") << true << true << QStringLiteral("确定")
                                  << QStringLiteral("取消");
}

void TestQtTexts::standardTexts() {
    QFETCH(bool, fromSystem);
    QFETCH(bool, loaded);
    QFETCH(QString, ok);
    QFETCH(QString, cancel);

    // A machine whose own language is not Chinese.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir empty;
    QCOMPARE(useChineseQtTexts(fromSystem ? QString() : empty.path()), loaded);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("提示"), QStringLiteral("文字"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text().remove(u'&'), ok);
    QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(u'&'), cancel);
    QCOMPARE(QLocale().language(), QLocale::Chinese);
}

QTEST_MAIN(TestQtTexts)
#include "tst_qttexts.moc"
