#include "net/quoteclient.h"

#include "base/logging.h"
#include "base/stockcode.h"
#include "base/textcodec.h"
#include "net/cappedreader.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
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
    QNetworkAccessManager* network = nullptr;
    QPointer<QNetworkReply> reply;
    CappedReader* reader = nullptr;
    QString code;
    QUrl url;
    QElapsedTimer clock;
    QTimer* deadline = nullptr;
    bool timedOut = false;
    quint64 generation = 0; // a newer request makes older reports stale
};

QuoteClient::QuoteClient(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->options = std::move(options);
    if (!d->options.log)
        d->options.log = &lcFeed;
    d->network = new QNetworkAccessManager(this);
    d->deadline = new QTimer(this);
    d->deadline->setSingleShot(true);
    // The whole transfer, however slowly its bytes trickle in.
    connect(d->deadline, &QTimer::timeout, this, [this] {
        if (!d->reply)
            return;
        d->timedOut = true;
        d->reply->abort();
    });
}

QuoteClient::~QuoteClient() {
    abort();
}

std::optional<QUrl> QuoteClient::requestUrl(const QUrl& base, const QString& code) {
    if (code.size() > kMaxCodeLength)
        return std::nullopt;
    QUrl url = base;
    // Built in encoded form so that nothing in the code is decoded back into a path
    // separator, a query, a fragment or a dot segment.
    url.setPath(base.path(QUrl::FullyEncoded) + u"list=" + QString::fromLatin1(codeForPath(code)),
                QUrl::StrictMode);
    return url;
}

bool QuoteClient::isBusy() const {
    return d->reply != nullptr;
}

void QuoteClient::abort() {
    ++d->generation;
    d->deadline->stop();
    if (QNetworkReply* reply = d->reply) {
        d->reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void QuoteClient::fetch(const QString& code) {
    abort();
    const quint64 generation = d->generation;
    d->code = code;

    const std::optional<QUrl> url = requestUrl(d->options.baseUrl, code);
    if (!url) {
        qCDebug(d->options.log) << "not requested: code of" << code.size() << "characters";
        // Reported like any answer: after the caller has returned.
        QTimer::singleShot(0, this, [this, generation, code] {
            if (generation != d->generation)
                return;
            QuoteOutcome outcome;
            outcome.code = code;
            outcome.failure = QuoteFailure::CodeTooLong;
            report(std::move(outcome));
        });
        return;
    }

    d->url = *url;
    QNetworkRequest request(*url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    restrictRedirects(request);
    // The service answers only requests that name the page they come from.
    if (!d->options.referer.isEmpty())
        request.setRawHeader("Referer", d->options.referer);

    qCDebug(d->options.log).noquote() << "GET" << url->toString(QUrl::FullyEncoded);
    d->clock.start();
    d->timedOut = false;
    QNetworkReply* reply = d->network->get(request);
    d->reply = reply;
    d->reader = new CappedReader(reply, kMaxReplyBytes);
    connect(d->reader, &CappedReader::tooLarge, reply, &QNetworkReply::abort);
    connect(reply, &QNetworkReply::finished, this, [this, reply, generation] {
        if (generation != d->generation || reply != d->reply)
            return;
        d->deadline->stop();
        d->reply = nullptr;
        reply->deleteLater();

        QuoteOutcome outcome;
        outcome.code = d->code;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        outcome.httpStatus = status.isValid() ? status.toInt() : 0;
        const std::optional<QByteArray> body = d->reader->takeBody();
        if (!body) {
            outcome.failure = QuoteFailure::TooLarge;
        } else if (d->timedOut) {
            outcome.failure = QuoteFailure::Timeout;
        } else if (reply->error() == QNetworkReply::InsecureRedirectError ||
                   reply->error() == QNetworkReply::TooManyRedirectsError) {
            outcome.failure = failureOf(reply->error());
            outcome.detail = reply->errorString();
        } else if (status.isValid() && (outcome.httpStatus < 200 || outcome.httpStatus >= 300)) {
            // An error page is never a quote, however many commas it holds.
            outcome.failure = QuoteFailure::HttpStatus;
        } else if (reply->error() != QNetworkReply::NoError) {
            outcome.failure = failureOf(reply->error());
            outcome.detail = reply->errorString();
        } else {
            const TextCodec gbk = TextCodec::gbk();
            if (std::optional<QString> text = gbk.decodeExact(*body)) {
                outcome.text = std::move(*text);
                outcome.body = *body;
            } else {
                outcome.failure = QuoteFailure::NotQuoteData;
                outcome.detail = gbk.isAvailable() ? QStringLiteral("not GBK text")
                                                   : QStringLiteral("no GBK decoder");
            }
        }
        qCDebug(d->options.log).noquote()
            << "status" << outcome.httpStatus << "size" << (body ? body->size() : -1) << "bytes in"
            << d->clock.elapsed() << "ms from" << d->url.toString(QUrl::FullyEncoded);
        report(std::move(outcome));
    });
    d->deadline->start(d->options.timeoutMs);
}

void QuoteClient::report(QuoteOutcome outcome) {
    if (!outcome.ok())
        qCDebug(d->options.log).noquote()
            << "failed:" << outcome.code << "-" << describe(outcome.failure) << outcome.httpStatus
            << outcome.detail;
    Q_EMIT finished(outcome);
}

} // namespace tarnwel
