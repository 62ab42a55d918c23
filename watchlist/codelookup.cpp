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

CodeLookup::CodeLookup(QuoteClient::Options options, QObject* parent)
    : QObject(parent) {
    if (!options.log)
        options.log = &lcWatchList;
    m_client = new QuoteClient(options, this);
    connect(m_client, &QuoteClient::finished, this, [this](const QuoteOutcome& outcome) {
        if (outcome.ok()) {
            if (const std::optional<QString> name = securitycode::nameFromReply(outcome.body)) {
                Q_EMIT finished(Result::Found, securitycode::entryFor(*name, outcome.code));
                return;
            }
            qCDebug(lcWatchList).noquote() << "no security name in the answer for" << outcome.code;
        }
        Q_EMIT finished(unreachable(outcome) ? Result::Unreachable : Result::NotFound, QString());
    });
}

void CodeLookup::lookUp(const QString& code) {
    m_client->fetch(code);
}

void CodeLookup::cancel() {
    m_client->abort();
}

bool CodeLookup::isBusy() const {
    return m_client->isBusy();
}

} // namespace tarnwel
