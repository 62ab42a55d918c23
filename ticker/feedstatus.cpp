#include "ticker/feedstatus.h"

namespace tarnwel {

namespace {

QString clockText(const QDateTime& time) {
    return time.toLocalTime().toString(u"HH:mm:ss");
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

void FeedStatus::record(const FeedOutcome& outcome) {
    QString text;
    switch (outcome.kind) {
    case FeedOutcome::Kind::Live:
        m_shownReplyTime = outcome.replyTime;
        text = u"行情更新于 " + clockText(outcome.replyTime);
        break;
    case FeedOutcome::Kind::Stored:
        m_shownReplyTime = outcome.replyTime;
        text = u"休市中 · 行情为 " + clockText(outcome.replyTime) + u" 的数据";
        break;
    case FeedOutcome::Kind::Failed:
        text = reasonText(outcome.failure, outcome.httpStatus);
        // The screen keeps the last prices it had; say how old they are.
        if (m_shownReplyTime.isValid())
            text += u"\n显示的行情更新于 " + clockText(m_shownReplyTime);
        break;
    }
    if (text == m_text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}

} // namespace tarnwel
