// SPDX-License-Identifier: GPL-3.0-or-later
// The stealth line re-shapes itself on every new quote: render, key, set the shape.
#include "stealth/colourkey.h"
#include "stealth/form4.h"

#include <QTest>

using namespace tarnwel;

class BenchColourKey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void keyRenderedLine();
    void keyToLogicalGrid_data();
    void keyToLogicalGrid();
    void newCaption();
};

void BenchColourKey::keyRenderedLine() {
    Form4 window;
    const QImage line = window.renderLine();
    QRegion region;
    QBENCHMARK {
        region = colourKeyRegion(line);
    }
    QVERIFY(!region.isEmpty());
}

void BenchColourKey::keyToLogicalGrid_data() {
    QTest::addColumn<qreal>("ratio");
    for (const qreal ratio : {1.0, 1.5, 2.0, 3.0})
        QTest::addRow("%g", ratio) << ratio;
}

// Snapping a device-resolution line to the logical grid and redrawing it, per quote.
void BenchColourKey::keyToLogicalGrid() {
    QFETCH(qreal, ratio);
    Form4 window;
    const QImage line = window.renderLine(ratio);
    KeyedLine keyed;
    QBENCHMARK {
        keyed = tarnwel::keyToLogicalGrid(line, window.size(), qRgb(0, 0, 0));
    }
    QVERIFY(!keyed.shape.isEmpty());
}

void BenchColourKey::newCaption() {
    Form4 window;
    Form4* line = &window;
    line->show();
    const QString tip = QStringLiteral("中国石化(最高:5.30 最低:5.15 成交:123457)沪综指:3061.789 "
                                       "深成指:10234.567");
    int turn = 0;
    QBENCHMARK {
        line->setQuoteTexts(
            (++turn % 2) ? QStringLiteral("600028(12.34)") : QStringLiteral("600028(12.35)"), tip);
    }
}

QTEST_MAIN(BenchColourKey)
#include "bench_colourkey.moc"
