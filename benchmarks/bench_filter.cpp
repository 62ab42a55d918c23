#include "watchlist/stockdirectory.h"

#include <QTest>

using namespace tarnwel;

// The search box filters the whole merged directory on every keystroke, so every prefix
// of a typed search is measured, not just the finished word.
class BenchFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyPrefix_data();
    void everyPrefix();

private:
    QStringList m_directory;
};

void BenchFilter::initTestCase() {
    m_directory = stockdirectory::shanghai() + stockdirectory::shenzhen();
    QCOMPARE(m_directory.size(), 1824);
}

void BenchFilter::everyPrefix_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    // Tags stay ASCII so that the results read the same in any console.
    const QList<std::pair<const char*, QString>> searches{
        {"sh6000", QStringLiteral("sh6000")}, {"zhongguo", QStringLiteral("中国")},
        {"ST", QStringLiteral("ST")},         {"zhuanzhai", QStringLiteral("转债")},
        {"sz0020", QStringLiteral("sz0020")}, {"whole-entry", QStringLiteral("中国石化(sh600028)")},
        {"nowhere", QStringLiteral("xyz")}};
    for (const auto& [label, search] : searches) {
        for (qsizetype length = 1; length <= search.size(); ++length)
            QTest::addRow("%s/%d", label, int(length)) << search.left(length);
    }
}

void BenchFilter::everyPrefix() {
    QFETCH(QString, text);
    QStringList result;
    QBENCHMARK {
        result = stockdirectory::filter(m_directory, text);
    }
    QVERIFY(result.size() <= m_directory.size());
}

QTEST_GUILESS_MAIN(BenchFilter)
#include "bench_filter.moc"
