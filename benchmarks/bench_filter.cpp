// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/listing.h"
#include "watchlist/stockdirectory.h"

#include <QTest>

using namespace tarnwel;

// The search box searches the whole merged directory on every keystroke, so every prefix
// of a typed search is measured, not just the finished word. Texts the plain filter finds
// nowhere and that are lower-case letters ("xyz", "zgsh") go on to the pinyin initials;
// texts the directory finds nowhere go on to today's listing, by text and then by
// initials. "nowhere" walks all four.
class BenchFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyPrefix_data();
    void everyPrefix();
    void buildSearch();
    void buildListingSearch();

private:
    QStringList m_directory;
    stockdirectory::Search m_search;
    stockdirectory::Search m_listing;
};

void BenchFilter::initTestCase() {
    m_directory = stockdirectory::shanghai() + stockdirectory::shenzhen();
    QCOMPARE(m_directory.size(), 1824);
    m_search = stockdirectory::Search(m_directory);
    m_listing = stockdirectory::Search(listing::entries(), pinyin::table(),
                                       stockdirectory::Search::Match::Folded);
    QCOMPARE(m_listing.entries().size(), 5486);
}

void BenchFilter::everyPrefix_data() {
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    // Tags stay ASCII so that the results read the same in any console.
    const QList<std::pair<const char*, QString>> searches{
        {"sh6000", QStringLiteral("sh6000")},
        {"zhongguo", QStringLiteral("中国")},
        {"ST", QStringLiteral("ST")},
        {"zhuanzhai", QStringLiteral("转债")},
        {"sz0020", QStringLiteral("sz0020")},
        {"whole-entry", QStringLiteral("中国石化(sh600028)")},
        {"nowhere", QStringLiteral("xyz")},
        {"initials-zgsh", QStringLiteral("zgsh")},
        {"initials-zsyh", QStringLiteral("zsyh")},
        {"listing-ningdeshidai", QStringLiteral("宁德时代")},
        {"listing-sailisi", QStringLiteral("赛力斯")},
        {"listing-wankeA", QStringLiteral("万科A")},
        {"listing-code", QStringLiteral("bj920000")},
        {"listing-initials-ndsd", QStringLiteral("ndsd")},
        {"listing-initials-xqwz", QStringLiteral("xqwz")}};
    for (const auto& [label, search] : searches) {
        for (qsizetype length = 1; length <= search.size(); ++length)
            QTest::addRow("%s/%d", label, int(length)) << search.left(length);
    }
}

void BenchFilter::everyPrefix() {
    QFETCH(QString, text);
    QStringList result;
    QBENCHMARK {
        result = stockdirectory::find(m_search, m_listing, text).entries;
    }
    QVERIFY(result.size() <= std::max(m_directory.size(), m_listing.entries().size()));
}

// Working out every name's initials, once per directory.
void BenchFilter::buildSearch() {
    QBENCHMARK {
        const stockdirectory::Search search(m_directory);
        QCOMPARE(search.entries().size(), m_directory.size());
    }
}

// The same for today's listing, once, when the watch-list window is first opened.
void BenchFilter::buildListingSearch() {
    const QStringList entries = listing::entries();
    QBENCHMARK {
        const stockdirectory::Search search(entries, pinyin::table(),
                                            stockdirectory::Search::Match::Folded);
        QCOMPARE(search.entries().size(), entries.size());
    }
}

QTEST_GUILESS_MAIN(BenchFilter)
#include "bench_filter.moc"
