// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/quotesource.h"

#include <QObject>
#include <QString>

#include <memory>

namespace tarnwel {

// Asks the quote service about a security the directory does not hold, by its code, and
// turns the answer into a watch-list entry. One question at a time: a new one, or
// cancel(), drops the one in flight, whose answer is then never reported. It asks whichever
// service the switch names, as the ticker does.
class CodeLookup : public QObject {
    Q_OBJECT
public:
    enum class Result {
        Found,       // the service named the security
        NotFound,    // an answer, but no usable name: unknown code, refusal, garbage
        Unreachable, // no answer: the service could not be reached in time
    };
    Q_ENUM(Result)

    CodeLookup(QuoteSource::Options options, std::shared_ptr<ServiceSwitch> services,
               QObject* parent = nullptr);

    // `code` as the quote service knows it, e.g. "sz300750".
    void lookUp(const QString& code);
    void cancel();
    bool isBusy() const;

Q_SIGNALS:
    // `entry` is "宁德时代(sz300750)" when found, empty otherwise.
    void finished(tarnwel::CodeLookup::Result result, const QString& entry);

private:
    void answered(const QuoteAnswer& answer);

    QuoteSource* m_source;
};

} // namespace tarnwel
