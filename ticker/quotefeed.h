// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ticker/feedstatus.h"
#include "ticker/tickertexts.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwel {

struct QuoteAnswer;
class ServiceSwitch;

// The quote loop: walks the watch list one stock a turn, fetches both indices and the
// stock, cuts the reply fields and emits the ticker's texts; after the last stock it
// reads setup.ini again. Event-driven: each fetch is asynchronous and the pause between
// turns is a timer, so the rest of the program runs between its steps.
// Outside the market's sessions a code whose good reply arrived after the latest close
// is served from that reply instead of being asked again: the prices cannot have moved.
// Each answer comes from whichever quote service the switch names, as one Quote.
class QuoteFeed : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl baseUrl;            // requests go to base + "list=" + code
        QByteArray referer;      // empty: no Referer header
        QUrl secondBaseUrl = {}; // base + "q=" + code; empty: no second service
        // Which service is asked; empty: one of the feed's own, on "auto".
        std::shared_ptr<ServiceSwitch> services = {};
        QString watchListPath;          // setup.ini beside the program
        QString watchListUserPath = {}; // where the list moves when that cannot be written
        int turnPauseMs = 5000;
        int fetchTimeoutMs = 60000; // for each fetch as a whole
        // Trading sessions (MarketHours::parse); empty: every turn asks the service.
        QString marketHours = {};
        // The current time; empty: the system clock.
        std::function<QDateTime()> clock = {};
    };

    explicit QuoteFeed(Options options, QObject* parent = nullptr);
    ~QuoteFeed() override;

    // Starts the loop. It runs until the process ends; later calls do nothing.
    void RefreshQuotes();
    // While paused the feed sends nothing; going on starts a cycle afresh.
    void setPaused(bool paused);
    // The program is awake now and will be again in `nextInMs` (a window's keep-on-top
    // tick): a pause whose time is up ends now, and one that would end before that next
    // wake-up waits for it instead of waking the program once more. A pause never ends
    // before its time; without further wake-ups it ends on its own, at most a little late.
    void awake(int nextInMs);

    // What the latest turn gathered: the stock, its reply and the values cut from it.
    const QuoteValues& values() const;
    // The watch list of the running cycle.
    const QStringList& List3() const;
    // How the stock turns went, as the ticker's tooltip tells it.
    FeedStatus* status() const;
    // The listed stock of `code` is the next turn's, one turn put in before the rotation goes
    // on where it was. A code the cycle does not list is passed over.
    void showNext(const QString& code);
    // Stocks whose alerts or holdings want every turn: asked for together, in one request
    // beside each turn's stock, so that a crossing is seen within a turn, not a cycle.
    void setWatchedCodes(const QStringList& codes);

Q_SIGNALS:
    // A cycle has read the watch list into List3 (or found none) and is about to walk it.
    void cycleStarted();
    // A turn has set the stock's name and code in values() and is about to fetch.
    void turnStarted(int index);
    // The screen's texts, once a turn whose stock reply held a comma has cut its fields.
    void textsReady(const tarnwel::TickerTexts& texts);
    // A pause between turns has begun.
    void pauseStarted();
    // What the turn's stock fetch came to; emitted before turnFinished.
    void stockOutcome(const tarnwel::FeedOutcome& outcome);
    // A turn's fetches are done, with or without new texts; its pause follows.
    void turnFinished(int index);
    // A watched stock's record from the turn's request for all of them; `live` unless the
    // day is taken for a holiday.
    void watchedQuote(const QString& name, const tarnwel::Quote& quote, bool live,
                      const QDateTime& checkedAt);

private:
    enum class Fetch { ShIndex, SzIndex, Stock };

    void startCycle();
    void startTurn(qsizetype index);
    qsizetype takeInsertedTurn();
    void fetch(Fetch what, const QString& code);
    void fetchFinished(const QuoteAnswer& answer);
    void replied(const QuoteAnswer& answer, const QDateTime& arrived, bool stored);
    void indexReplied(const QuoteAnswer& answer, const QDateTime& arrived, bool keep);
    void stockReplied(const QuoteAnswer& answer, const QDateTime& arrived, bool stored, bool keep);
    void cutStock(const Quote& quote);
    void fetchWatched();
    void watchedReplied(const QuoteAnswer& answer);
    static void keepIfCut(QString& target, const std::optional<QString>& value);
    void forgetUnlistedReplies();
    void finishTurn();
    void nextTurn();
    void pauseThen(void (QuoteFeed::*next)());
    void endCycle();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tarnwel
