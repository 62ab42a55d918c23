// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/quotesource.h"

#include "base/logging.h"
#include "base/stockcode.h"

namespace tarnwel {

namespace {

QString reasonForLog(const Refusal& refusal) {
    QString text = QString::fromLatin1(describe(refusal.failure));
    if (refusal.failure == QuoteFailure::HttpStatus)
        text += u' ' + QString::number(refusal.httpStatus);
    return text;
}

} // namespace

QString serviceName(QuoteService service) {
    return service == QuoteService::Sina ? QStringLiteral("新浪") : QStringLiteral("腾讯");
}

ServiceSwitch::ServiceSwitch(bool hasSecond, std::function<QDateTime()> clock)
    : m_hasSecond(hasSecond)
    , m_clock(std::move(clock)) {}

QDateTime ServiceSwitch::now() const {
    return m_clock ? m_clock() : QDateTime::currentDateTimeUtc();
}

void ServiceSwitch::setChoice(QuoteSourceChoice choice) {
    if (choice == m_choice)
        return;
    // A choice starts afresh: the first service's record belongs to the old one.
    m_choice = choice;
    m_refusals = 0;
    m_onSecond = false;
    m_firstRefusal = {};
}

QuoteService ServiceSwitch::route(const QString& code) {
    if (!m_hasSecond || m_choice == QuoteSourceChoice::Sina)
        return QuoteService::Sina;
    if (m_choice == QuoteSourceChoice::Tencent)
        return QuoteService::Tencent;
    if (!m_onSecond)
        return QuoteService::Sina;
    const QDateTime time = now();
    if (code == QStringView(kShanghaiIndexCode) && m_lastTry.secsTo(time) >= kRetrySecs) {
        m_lastTry = time;
        qCInfo(lcFeed) << "asking the first quote service again";
        return QuoteService::Sina;
    }
    return QuoteService::Tencent;
}

void ServiceSwitch::report(QuoteService service, const std::optional<Refusal>& refusal) {
    if (service != QuoteService::Sina)
        return;
    if (!refusal) {
        m_refusals = 0;
        if (m_onSecond) {
            m_onSecond = false;
            qCInfo(lcFeed) << "the first quote service answers again: back to it";
        }
        return;
    }
    m_firstRefusal = *refusal;
    ++m_refusals;
    if (m_onSecond || m_choice != QuoteSourceChoice::Auto || !m_hasSecond ||
        m_refusals < kRefusalsToSwitch)
        return;
    m_onSecond = true;
    m_lastTry = now();
    qCInfo(lcFeed).noquote() << u"the first quote service refuses (" + reasonForLog(*refusal) +
                                    u"): switching to the second";
}

QuoteFailure QuoteAnswer::failure() const {
    if (!outcome.ok())
        return outcome.failure;
    return parsed.kind == ReplyKind::Quote ? QuoteFailure::None : QuoteFailure::NotQuoteData;
}

QuoteSource::QuoteSource(Options options, std::shared_ptr<ServiceSwitch> services, QObject* parent)
    : QObject(parent)
    , m_services(std::move(services)) {
    m_first = new QuoteClient(
        {options.firstBaseUrl, options.referer, options.timeoutMs, options.log}, this);
    // The second service wants no Referer.
    m_second = new QuoteClient(
        {options.secondBaseUrl, {}, options.timeoutMs, options.log, QStringLiteral("q=")}, this);
    connect(m_first, &QuoteClient::finished, this,
            [this](const QuoteOutcome& outcome) { finished(QuoteService::Sina, outcome); });
    connect(m_second, &QuoteClient::finished, this,
            [this](const QuoteOutcome& outcome) { finished(QuoteService::Tencent, outcome); });
}

QuoteSource::~QuoteSource() {
    abort();
}

void QuoteSource::fetch(const QString& code) {
    abort();
    m_batch.clear();
    const QuoteService service = m_services->route(code);
    (service == QuoteService::Sina ? m_first : m_second)->fetch(code);
}

void QuoteSource::fetchMany(const QStringList& codes) {
    abort();
    m_batch = codes;
    // The Shanghai index leads a batch, so a due try of the first service takes it.
    const QuoteService service = m_services->route(codes.value(0));
    (service == QuoteService::Sina ? m_first : m_second)->fetchMany(codes);
}

void QuoteSource::abort() {
    m_first->abort();
    m_second->abort();
}

bool QuoteSource::isBusy() const {
    return m_first->isBusy() || m_second->isBusy();
}

// One code's record, or a batch's: the batch counts as a quote when any of its lines does,
// and as an empty record when none does but one says the service knows nothing of its code.
void QuoteSource::parse(QuoteAnswer& answer) const {
    const QString& text = answer.outcome.text;
    if (m_batch.isEmpty()) {
        answer.parsed = parseReply(answer.service, text, answer.outcome.code);
        return;
    }
    answer.batch = parseReplies(answer.service, text, m_batch);
    answer.parsed.kind = ReplyKind::NotQuote;
    for (const ParsedReply& record : std::as_const(answer.batch)) {
        if (record.kind == ReplyKind::Quote) {
            answer.parsed = record;
            return;
        }
        if (record.kind == ReplyKind::NoRecord)
            answer.parsed.kind = ReplyKind::NoRecord;
    }
}

bool QuoteSource::isRefusal(const QuoteOutcome& outcome) {
    switch (outcome.failure) {
    case QuoteFailure::HostNotFound:
    case QuoteFailure::ConnectionRefused:
    case QuoteFailure::Timeout:
    case QuoteFailure::Network:
    case QuoteFailure::TooLarge:
    case QuoteFailure::NotQuoteData:
        return true;
    case QuoteFailure::HttpStatus:
        return outcome.httpStatus == 403 || outcome.httpStatus >= 500;
    case QuoteFailure::None:
    case QuoteFailure::CodeTooLong:
    case QuoteFailure::RedirectRefused:
    case QuoteFailure::TooManyRedirects:
        break;
    }
    return false;
}

void QuoteSource::finished(QuoteService service, const QuoteOutcome& outcome) {
    QuoteAnswer answer;
    answer.service = service;
    answer.outcome = outcome;
    if (outcome.ok())
        parse(answer);
    const QuoteFailure failure = answer.failure();
    if (failure == QuoteFailure::None || answer.parsed.kind == ReplyKind::NoRecord)
        m_services->report(service, std::nullopt);
    else if (failure == QuoteFailure::NotQuoteData || isRefusal(outcome))
        m_services->report(service, Refusal{failure, outcome.httpStatus});
    Q_EMIT answered(answer);
}

} // namespace tarnwel
