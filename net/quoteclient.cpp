// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/quoteclient.h"

#include "base/logging.h"
#include "base/stockcode.h"
#include "base/textcodec.h"

#include <QNetworkReply>
#include <QTimer>

namespace tarnwel {

namespace {

QuoteFailure failureOf(QNetworkReply::NetworkError error) {
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        return QuoteFailure::HostNotFound;
    case QNetworkReply::ConnectionRefusedError:
        return QuoteFailure::ConnectionRefused;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError: // the transfer time-out
        return QuoteFailure::Timeout;
    case QNetworkReply::InsecureRedirectError:
        return QuoteFailure::RedirectRefused;
    case QNetworkReply::TooManyRedirectsError:
        return QuoteFailure::TooManyRedirects;
    default:
        return QuoteFailure::Network;
    }
}

} // namespace

const char* describe(QuoteFailure failure) {
    switch (failure) {
    case QuoteFailure::None:
        return "ok";
    case QuoteFailure::CodeTooLong:
        return "code too long, not requested";
    case QuoteFailure::HostNotFound:
        return "host not found";
    case QuoteFailure::ConnectionRefused:
        return "connection refused";
    case QuoteFailure::Timeout:
        return "timed out";
    case QuoteFailure::HttpStatus:
        return "HTTP status";
    case QuoteFailure::RedirectRefused:
        return "redirect to another origin refused";
    case QuoteFailure::TooManyRedirects:
        return "too many redirects";
    case QuoteFailure::TooLarge:
        return "reply too large";
    case QuoteFailure::NotQuoteData:
        return "not quote data";
    case QuoteFailure::Network:
        return "network error";
    }
    return "unknown";
}

struct QuoteClient::Private {
    Options options;
    HttpGet* http = nullptr;
    QString code;
    quint64 generation = 0; // a newer request makes older reports stale
};

QuoteClient::QuoteClient(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->options = std::move(options);
    if (!d->options.log)
        d->options.log = &lcFeed;
    // Asked on this thread: a quote every few seconds then wakes the program once.
    d->http = new HttpGet(
        {kMaxReplyBytes, d->options.timeoutMs, d->options.referer, d->options.log}, this);
    connect(d->http, &HttpGet::finished, this,
            [this](const HttpReply& reply) { report(outcomeOf(d->code, reply)); });
}

QuoteClient::~QuoteClient() {
    abort();
}

std::optional<QUrl> QuoteClient::requestUrl(const QUrl& base, const QString& code,
                                            const QString& key) {
    return requestUrl(base, QStringList{code}, key);
}

std::optional<QUrl> QuoteClient::requestUrl(const QUrl& base, const QStringList& codes,
                                            const QString& key) {
    if (codes.isEmpty())
        return std::nullopt;
    QStringList encoded;
    for (const QString& code : codes) {
        if (code.size() > kMaxCodeLength)
            return std::nullopt;
        encoded.append(QString::fromLatin1(codeForPath(code)));
    }
    QUrl url = base;
    // Built in encoded form so that nothing in a code is decoded back into a path
    // separator, a query, a fragment or a dot segment; only the commas between codes
    // stay plain.
    url.setPath(base.path(QUrl::FullyEncoded) + key + encoded.join(u','), QUrl::StrictMode);
    return url;
}

bool QuoteClient::isBusy() const {
    return d->http->isBusy();
}

void QuoteClient::abort() {
    ++d->generation;
    d->http->abort();
}

void QuoteClient::fetch(const QString& code) {
    request(code, requestUrl(d->options.baseUrl, code, d->options.key));
}

void QuoteClient::fetchMany(const QStringList& codes) {
    request(codes.join(u','), requestUrl(d->options.baseUrl, codes, d->options.key));
}

void QuoteClient::request(const QString& code, const std::optional<QUrl>& url) {
    abort();
    d->code = code;
    if (url) {
        d->http->get(*url);
        return;
    }
    qCDebug(d->options.log) << "not requested: code of" << code.size() << "characters";
    // Reported like any answer: after the caller has returned.
    QTimer::singleShot(0, this, [this, generation = d->generation, code] {
        if (generation != d->generation)
            return;
        QuoteOutcome outcome;
        outcome.code = code;
        outcome.failure = QuoteFailure::CodeTooLong;
        report(std::move(outcome));
    });
}

QuoteOutcome QuoteClient::outcomeOf(const QString& code, const HttpReply& reply) {
    QuoteOutcome outcome;
    outcome.code = code;
    outcome.httpStatus = reply.httpStatus;
    const bool redirect = reply.error == QNetworkReply::InsecureRedirectError ||
                          reply.error == QNetworkReply::TooManyRedirectsError;
    if (!reply.body) {
        outcome.failure = QuoteFailure::TooLarge;
    } else if (reply.timedOut) {
        outcome.failure = QuoteFailure::Timeout;
    } else if (redirect) {
        outcome.failure = failureOf(reply.error);
        outcome.detail = reply.errorString;
    } else if (reply.httpStatus != 0 && (reply.httpStatus < 200 || reply.httpStatus >= 300)) {
        // An error page is never a quote, however many commas it holds.
        outcome.failure = QuoteFailure::HttpStatus;
    } else if (reply.error != QNetworkReply::NoError) {
        outcome.failure = failureOf(reply.error);
        outcome.detail = reply.errorString;
    } else {
        decodeInto(outcome, *reply.body);
    }
    return outcome;
}

void QuoteClient::decodeInto(QuoteOutcome& outcome, const QByteArray& body) {
    const TextCodec gbk = TextCodec::gbk();
    if (std::optional<QString> text = gbk.decodeExact(body)) {
        outcome.text = std::move(*text);
        outcome.body = body;
        return;
    }
    outcome.failure = QuoteFailure::NotQuoteData;
    outcome.detail =
        gbk.isAvailable() ? QStringLiteral("not GBK text") : QStringLiteral("no GBK decoder");
}

void QuoteClient::report(QuoteOutcome outcome) {
    if (!outcome.ok())
        qCDebug(d->options.log).noquote()
            << "failed:" << outcome.code << "-" << describe(outcome.failure) << outcome.httpStatus
            << outcome.detail;
    Q_EMIT finished(outcome);
}

} // namespace tarnwel
