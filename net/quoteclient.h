// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "net/httpget.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <optional>

namespace tarnwel {

// Why a quote request gave no usable answer.
enum class QuoteFailure {
    None,
    CodeTooLong,       // not requested at all
    HostNotFound,      // the service's name does not resolve
    ConnectionRefused, // nothing listens at the service's address
    Timeout,           // no whole answer within the time allowed
    HttpStatus,        // an answer other than 2xx
    RedirectRefused,   // sent on to another origin
    TooManyRedirects,  // sent on more often than we follow
    TooLarge,          // more than a quote could ever be
    NotQuoteData,      // an answer, but not one the caller can use
    Network,           // any other transport fault
};

// A few plain words for the log.
const char* describe(QuoteFailure failure);

// The outcome of one request: the decoded body, or a failure with its reason.
struct QuoteOutcome {
    QString code;
    QuoteFailure failure = QuoteFailure::None;
    int httpStatus = 0; // as answered; 0 when no answer came
    QString text;       // the body as GBK text, when ok()
    QByteArray body;    // the body as received, when ok()
    QString detail;     // the transport's own words, for the log

    bool ok() const { return failure == QuoteFailure::None; }
};

// Sends one quote request at a time to a quote service: base + "list=" + code (or the
// service's own key instead of "list="), with the Referer the service wants, a size cap, a deadline
// for the whole transfer and redirects kept to the service's own origin. Asking again supersedes
// the request in flight: its answer is never reported. Every request reports exactly once, always
// after fetch() has returned.
class QuoteClient : public QObject {
    Q_OBJECT
public:
    // A quote is one short line; anything bigger is not an answer from the service.
    static constexpr qint64 kMaxReplyBytes = 64 * 1024;
    using Category = HttpGet::Category;

    struct Options {
        QUrl baseUrl;       // requests go to base + key + code
        QByteArray referer; // empty: no Referer header
        int timeoutMs = 60000;
        Category log = nullptr; // where requests are logged; nullptr: tarnwel.feed
        QString key = QStringLiteral("list=");
    };

    explicit QuoteClient(Options options, QObject* parent = nullptr);
    ~QuoteClient() override;

    void fetch(const QString& code);
    // One request for several codes, joined by ",": the service answers one line a code.
    // The outcome's code is the joined list.
    void fetchMany(const QStringList& codes);
    // Drops the request in flight without a report.
    void abort();
    bool isBusy() const;

    // base + key + code, the code as codeForPath() puts it, so that every request stays
    // under its key. Nothing for a code longer than kMaxCodeLength.
    static std::optional<QUrl> requestUrl(const QUrl& base, const QString& code,
                                          const QString& key = QStringLiteral("list="));
    // base + key + the codes, each as codeForPath() puts it, joined by ",". Nothing when
    // there are none or one is longer than kMaxCodeLength.
    static std::optional<QUrl> requestUrl(const QUrl& base, const QStringList& codes,
                                          const QString& key);

Q_SIGNALS:
    void finished(const tarnwel::QuoteOutcome& outcome);

private:
    void request(const QString& code, const std::optional<QUrl>& url);
    static QuoteOutcome outcomeOf(const QString& code, const HttpReply& reply);
    static void decodeInto(QuoteOutcome& outcome, const QByteArray& body);
    void report(QuoteOutcome outcome);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::QuoteOutcome)
