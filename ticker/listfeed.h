// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/quote.h"
#include "ticker/feedstatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwel {

struct QuoteAnswer;
class ServiceSwitch;

// One line of the list face: an index or a stock of the watch list, with its latest good
// record.
struct ListRow {
    QString code;
    QString name; // "沪综指", "深成指", or the watch-list entry's name
    bool index = false;
    std::optional<Quote> quote; // none before the first good record
};

// What one row shows, worked from its record.
struct ListRowTexts {
    QString name;
    QString price;   // the price shown, or empty where there is none
    QString change;  // "+0.050", or the word for a price that is not a traded one
    QString percent; // "+0.97%"
    int direction = 0;
};
ListRowTexts listRowTexts(const ListRow& row);

// The whole watch list at once: every five seconds one request for the two indices and
// every listed stock (base + "list=" + the codes joined by ","), each line cut into the
// row of its code. A line that is missing or does not cut leaves its row as it was. The
// watch list is read again when told and at least once a minute. Quiet hours and the
// switch between the services are the ticker's own.
class ListFeed : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl baseUrl;
        QByteArray referer;
        QUrl secondBaseUrl = {};
        std::shared_ptr<ServiceSwitch> services = {};
        QString watchListPath;
        QString watchListUserPath = {};
        int refreshMs = 5000;
        int fetchTimeoutMs = 60000;
        QString marketHours = {};
        std::function<QDateTime()> clock = {};
    };

    explicit ListFeed(Options options, QObject* parent = nullptr);
    ~ListFeed() override;

    // Refreshes at once and then every few seconds, until stop().
    void start();
    // Sends nothing more; the request in flight is dropped.
    void stop();
    // The watch list changed: read it before the next refresh.
    void reloadWatchList();

    const QList<ListRow>& rows() const;
    FeedStatus* status() const;

Q_SIGNALS:
    // The rows after a refresh, whether any changed or not.
    void rowsChanged();
    // Each stock's record of a refresh; `live` unless served while the market is closed.
    void quoteReceived(const QString& name, const tarnwel::Quote& quote, bool live,
                       const QDateTime& checkedAt);

private:
    void refresh();
    void readWatchList();
    bool servesStored(const QDateTime& now);
    void answered(const QuoteAnswer& answer);
    void takeRecord(ListRow& row, const Quote& quote, const QDateTime& now, bool live);
    void finishRefresh(const FeedOutcome& outcome);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tarnwel
