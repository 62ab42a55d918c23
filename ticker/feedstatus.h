// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "net/quoteclient.h"
#include "quotes/quote.h"
#include "quotes/quotesource.h"

#include <QDateTime>
#include <QObject>
#include <QString>

namespace tarnwel {

// What the feed's stock turns came to: the raw material of the ticker's tooltip.
struct FeedOutcome {
    enum class Kind {
        Live,   // a good reply from the service, shown
        Stored, // the market is closed: a reply of after the close shown
        Failed, // nothing new on screen
    };
    Kind kind = Kind::Failed;
    QDateTime replyTime; // when the shown reply arrived (Live, Stored)
    QuoteFailure failure = QuoteFailure::None;
    int httpStatus = 0;
    QDateTime recordTime;                      // the record's own time; invalid when it has none
    QDateTime checkedAt;                       // when the turn ended
    bool inSession = false;                    // the market was trading then
    QString stockName;                         // whose turn it was
    std::optional<Quote> quote;                // the record shown (Live, Stored)
    QuoteService service = QuoteService::Sina; // who answered, or failed to
    // While the second service stands in for the first: why the first was left.
    std::optional<Refusal> firstRefused;
};

// The feed's state in a sentence for the user: connecting, fresh as of a time, closed
// with data of a time, or why the last turn failed and how old the prices on screen are.
class FeedStatus : public QObject {
    Q_OBJECT
public:
    explicit FeedStatus(QObject* parent = nullptr);

    void record(const FeedOutcome& outcome);
    QString text() const { return m_text; }

    // The reason a failure is shown with, in the user's words.
    static QString reasonText(QuoteFailure failure, int httpStatus);
    // The same in a few words, to follow a service's name: "拒绝请求 HTTP 403".
    static QString shortReasonText(QuoteFailure failure, int httpStatus);

Q_SIGNALS:
    void textChanged(const QString& text);

private:
    static QString sourceText(const FeedOutcome& outcome);
    QString shownTimeText(const QDateTime& now) const;

    QDateTime m_shownReplyTime;  // of the prices on screen; invalid before the first
    QDateTime m_shownRecordTime; // their record's own time, where it has one
    QString m_text;
};

} // namespace tarnwel

Q_DECLARE_METATYPE(tarnwel::FeedOutcome)
