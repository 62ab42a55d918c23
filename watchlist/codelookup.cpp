// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/codelookup.h"

#include "base/logging.h"
#include "watchlist/securitycode.h"

namespace tarnwel {

namespace {

// The service was not there to ask, as opposed to answering without a name.
bool unreachable(const QuoteOutcome& outcome) {
    switch (outcome.failure) {
    case QuoteFailure::HostNotFound:
    case QuoteFailure::ConnectionRefused:
    case QuoteFailure::Timeout:
    case QuoteFailure::Network:
        return true;
    case QuoteFailure::HttpStatus:
        return outcome.httpStatus >= 500;
    default:
        return false;
    }
}

} // namespace

CodeLookup::CodeLookup(QuoteSource::Options options, std::shared_ptr<ServiceSwitch> services,
                       QObject* parent)
    : QObject(parent) {
    if (!options.log)
        options.log = &lcWatchList;
    if (!services)
        services = std::make_shared<ServiceSwitch>(!options.secondBaseUrl.isEmpty());
    m_source = new QuoteSource(std::move(options), std::move(services), this);
    connect(m_source, &QuoteSource::answered, this, &CodeLookup::answered);
}

void CodeLookup::answered(const QuoteAnswer& answer) {
    const QuoteOutcome& outcome = answer.outcome;
    if (answer.isQuote()) {
        const std::optional<QString>& serviceName = answer.parsed.quote.name;
        if (const std::optional<QString> name =
                serviceName ? securitycode::nameForEntry(*serviceName) : std::nullopt) {
            Q_EMIT finished(Result::Found, securitycode::entryFor(*name, outcome.code));
            return;
        }
    }
    if (outcome.ok())
        qCDebug(lcWatchList).noquote() << "no security name in the answer for" << outcome.code;
    Q_EMIT finished(unreachable(outcome) ? Result::Unreachable : Result::NotFound, QString());
}

void CodeLookup::lookUp(const QString& code) {
    m_source->fetch(code);
}

void CodeLookup::cancel() {
    m_source->abort();
}

bool CodeLookup::isBusy() const {
    return m_source->isBusy();
}

} // namespace tarnwel
