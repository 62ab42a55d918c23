#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

namespace tarnwel {

// The eight texts one successful turn puts on screen, in the order they are written.
struct TickerTexts {
    QString label4;         // 最高 / 最低
    QString label3;         // 昨收 / 今开 / 成交
    QString label2;         // the price, large
    QString label5;         // 沪综指
    QString label6;         // 深成指
    QString label1;         // the stock's name
    QString stealthCaption; // code digits + "(" + price + ")"
    QString stealthTooltip; // the whole quote on one line
};

// The quote loop: walks the watch list one stock a turn, fetches both indices and the
// stock, cuts the reply fields and emits the ticker's texts; after the last stock it
// reads setup.ini again. Event-driven: each fetch is asynchronous and the pause between
// turns is a timer, so the rest of the program runs between its steps.
class QuoteFeed : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl baseUrl;          // requests go to base + "list=" + code
        QByteArray referer;    // empty: no Referer header
        QString watchListPath; // setup.ini
        int turnPauseMs = 5000;
        int fetchTimeoutMs = 60000; // for each fetch as a whole
    };

    explicit QuoteFeed(Options options, QObject* parent = nullptr);
    ~QuoteFeed() override;

    // Starts the loop. It runs until the process ends; later calls do nothing.
    void RefreshQuotes();
    bool isRunning() const;

    // The shared values, visible to every window.
    const QString& CurrentStockName() const;
    const QString& CurrentStockCode() const;
    const QString& QuoteReply() const;
    const QString& ShIndexValue() const;
    const QString& SzIndexValue() const;
    const QString& OpenPrice() const;
    const QString& PrevClose() const;
    const QString& LastPrice() const;
    const QString& HighPrice() const;
    const QString& LowPrice() const;
    double VolumeLots() const;
    // The watch list of the running cycle.
    const QStringList& List3() const;

Q_SIGNALS:
    // A cycle has read the watch list into List3 (or found none) and is about to walk it.
    void cycleStarted();
    // A turn has set CurrentStockName and CurrentStockCode and is about to fetch.
    void turnStarted(int index);
    // The screen's texts, once a turn whose stock reply held a comma has cut its fields.
    void textsReady(const tarnwel::TickerTexts& texts);
    // A turn's fetches are done, with or without new texts; its pause follows.
    void turnFinished(int index);

private:
    enum class Fetch { ShIndex, SzIndex, Stock };

    void startCycle();
    void startTurn();
    void fetch(Fetch what, const QString& code);
    void fetchFinished();
    void finishTurn();
    void nextTurn();
    void pauseThen(void (QuoteFeed::*next)());
    void endCycle();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::TickerTexts)
