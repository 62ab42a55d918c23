// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"
#include "net/quoteclient.h"
#include "quotes/quoteparse.h"

#include <QDateTime>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

namespace tarnwel {

// A failure that says a service refuses or cannot be reached, with what it answered.
struct Refusal {
    QuoteFailure failure = QuoteFailure::None;
    int httpStatus = 0;
};

// Which service the next request goes to. In "auto", two refusals in a row of the first
// service hand the requests to the second; the first is tried again, with one request for
// the Shanghai index, once a minute, and takes over again as soon as it answers with a
// quote. One switch serves every part of the program that asks for quotes, so they all
// follow the same service.
class ServiceSwitch {
public:
    static constexpr int kRefusalsToSwitch = 2;
    static constexpr qint64 kRetrySecs = 60;

    // `hasSecond`: a second service is configured; without one, the first is always asked.
    explicit ServiceSwitch(bool hasSecond = true, std::function<QDateTime()> clock = {});

    void setChoice(QuoteSourceChoice choice);
    QuoteSourceChoice choice() const { return m_choice; }

    // The service the request for `code` goes to.
    QuoteService route(const QString& code);
    // What a request to `service` came to: a quote or an answer of no record (nullopt), or
    // the refusal it met. Failures that are no refusal are not reported.
    void report(QuoteService service, const std::optional<Refusal>& refusal);

    // Auto has handed the requests to the second service.
    bool onSecond() const { return m_onSecond; }
    // The first service's latest refusal.
    Refusal firstRefusal() const { return m_firstRefusal; }

private:
    QDateTime now() const;

    bool m_hasSecond;
    std::function<QDateTime()> m_clock;
    QuoteSourceChoice m_choice = QuoteSourceChoice::Auto;
    int m_refusals = 0; // of the first service, in a row
    bool m_onSecond = false;
    QDateTime m_lastTry; // the switch, then each retry of the first service
    Refusal m_firstRefusal;
};

// One code's answer: which service gave it, what the transfer came to and the record.
struct QuoteAnswer {
    QuoteService service = QuoteService::Sina;
    QuoteOutcome outcome; // the transfer; outcome.code is the code asked
    ParsedReply parsed;   // the record, when the transfer went well
    // For one request of several codes: each code's record, in the order asked.
    QList<ParsedReply> batch;
    bool isQuote() const { return outcome.ok() && parsed.kind == ReplyKind::Quote; }
    // What the answer means to the user: the transfer's failure, or NotQuoteData for an
    // answer that holds no quote.
    QuoteFailure failure() const;
};

// Asks for one code at a time, of the service the switch names, and cuts the answer into a
// Quote. Asking again supersedes the request in flight: its answer is never reported.
class QuoteSource : public QObject {
    Q_OBJECT
public:
    struct Options {
        QUrl firstBaseUrl;  // base + "list=" + code
        QByteArray referer; // sent to the first service unless empty
        QUrl secondBaseUrl; // base + "q=" + code; empty: no second service
        int timeoutMs = 60000;
        QuoteClient::Category log = nullptr; // nullptr: tarnwel.feed
    };

    QuoteSource(Options options, std::shared_ptr<ServiceSwitch> services,
                QObject* parent = nullptr);
    ~QuoteSource() override;

    void fetch(const QString& code);
    // One request for several codes; the answer's batch holds their records.
    void fetchMany(const QStringList& codes);
    void abort();
    bool isBusy() const;

    // Whether a failed transfer of the first service says it refuses or cannot be reached.
    static bool isRefusal(const QuoteOutcome& outcome);

Q_SIGNALS:
    void answered(const tarnwel::QuoteAnswer& answer);

private:
    void finished(QuoteService service, const QuoteOutcome& outcome);
    void parse(QuoteAnswer& answer) const;

    std::shared_ptr<ServiceSwitch> m_services;
    QStringList m_batch; // the codes of the request for several in flight
    QuoteClient* m_first = nullptr;
    QuoteClient* m_second = nullptr;
};

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::QuoteAnswer)
