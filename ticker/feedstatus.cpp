// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/feedstatus.h"

#include "quotes/markethours.h"

namespace tarnwel {

namespace {

// Prices lagging the clock by more than this during a session are called stale.
constexpr qint64 kStaleSecs = 5 * 60;

QString clockText(const QDateTime& time) {
    return time.toLocalTime().toString(u"HH:mm:ss");
}

// The market's own time of a record, with its date unless it is of today there.
QString marketTimeText(const QDateTime& record, const QDateTime& now) {
    const QDateTime there = record.toTimeZone(MarketHours::exchangeZone());
    const bool today = !now.isValid() || there.date() == MarketHours::exchangeDate(now);
    return there.toString(today ? u"HH:mm:ss" : u"yyyy-MM-dd HH:mm:ss");
}

QString ageText(qint64 secs) {
    const qint64 minutes = secs / 60;
    if (minutes < 60)
        return QStringLiteral("%1 分钟").arg(minutes);
    return QStringLiteral("%1 小时 %2 分钟").arg(minutes / 60).arg(minutes % 60);
}

} // namespace

FeedStatus::FeedStatus(QObject* parent)
    : QObject(parent)
    , m_text(QStringLiteral("正在连接行情服务…")) {}

QString FeedStatus::reasonText(QuoteFailure failure, int httpStatus) {
    switch (failure) {
    case QuoteFailure::HostNotFound:
        return QStringLiteral("无法连接行情服务：找不到主机");
    case QuoteFailure::ConnectionRefused:
        return QStringLiteral("无法连接行情服务：连接被拒绝");
    case QuoteFailure::Network:
        return QStringLiteral("无法连接行情服务：网络错误");
    case QuoteFailure::Timeout:
        return QStringLiteral("连接超时");
    case QuoteFailure::HttpStatus:
        return QStringLiteral("行情服务拒绝请求（HTTP %1）").arg(httpStatus);
    case QuoteFailure::RedirectRefused:
        return QStringLiteral("行情服务把请求转往别处，已拒绝");
    case QuoteFailure::TooManyRedirects:
        return QStringLiteral("行情服务转向次数过多");
    case QuoteFailure::TooLarge:
        return QStringLiteral("应答过大，不是行情数据");
    case QuoteFailure::CodeTooLong:
        return QStringLiteral("股票代码无效，未请求行情");
    case QuoteFailure::NotQuoteData:
    case QuoteFailure::None:
        break;
    }
    return QStringLiteral("应答不是行情数据");
}

QString FeedStatus::shortReasonText(QuoteFailure failure, int httpStatus) {
    switch (failure) {
    case QuoteFailure::HostNotFound:
        return QStringLiteral("找不到主机");
    case QuoteFailure::ConnectionRefused:
        return QStringLiteral("连接被拒绝");
    case QuoteFailure::Network:
        return QStringLiteral("网络错误");
    case QuoteFailure::Timeout:
        return QStringLiteral("连接超时");
    case QuoteFailure::HttpStatus:
        return QStringLiteral("拒绝请求 HTTP %1").arg(httpStatus);
    case QuoteFailure::TooLarge:
        return QStringLiteral("应答过大");
    default:
        break;
    }
    return reasonText(failure, httpStatus);
}

QString FeedStatus::sourceText(const FeedOutcome& outcome) {
    if (outcome.service == QuoteService::Sina)
        return {};
    QString text = u"\n行情来源：" + serviceName(outcome.service);
    if (outcome.firstRefused)
        text += u"（" + serviceName(QuoteService::Sina) + u"：" +
                shortReasonText(outcome.firstRefused->failure, outcome.firstRefused->httpStatus) +
                u"）";
    return text;
}

QString FeedStatus::shownTimeText(const QDateTime& now) const {
    return m_shownRecordTime.isValid() ? marketTimeText(m_shownRecordTime, now)
                                       : clockText(m_shownReplyTime);
}

void FeedStatus::record(const FeedOutcome& outcome) {
    if (outcome.kind != FeedOutcome::Kind::Failed) {
        m_shownReplyTime = outcome.replyTime;
        m_shownRecordTime = outcome.recordTime;
    }
    const QString shown = shownTimeText(outcome.checkedAt);
    QString text;
    switch (outcome.kind) {
    case FeedOutcome::Kind::Live:
        text = u"行情更新于 " + shown;
        if (outcome.inSession && outcome.recordTime.isValid() &&
            outcome.recordTime.secsTo(outcome.checkedAt) > kStaleSecs)
            text +=
                u"\n行情已 " + ageText(outcome.recordTime.secsTo(outcome.checkedAt)) + u"未更新";
        break;
    case FeedOutcome::Kind::Stored:
        text = u"休市中 · 行情为 " + shown + u" 的数据";
        break;
    case FeedOutcome::Kind::Failed:
        // Said of the stock it befell, which is not the one still on screen.
        text = reasonText(outcome.failure, outcome.httpStatus);
        if (!outcome.stockName.isEmpty())
            text = outcome.stockName + u"：" + text;
        // The screen keeps the last prices it had; say how old they are.
        if (m_shownReplyTime.isValid())
            text += u"\n显示的行情更新于 " + shown;
        break;
    }
    // Which service answered, where it is not the first; after a failure, both reasons.
    text += sourceText(outcome);
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}

} // namespace tarnwel
