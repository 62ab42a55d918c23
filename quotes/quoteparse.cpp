// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/quoteparse.h"

#include "base/numbertext.h"
#include "quotes/markethours.h"
#include "quotes/quoterecord.h"
#include "quotes/quotereply.h"

#include <QRegularExpression>

namespace tarnwel {

namespace {

// ---- The first service: "var hq_str_sh600028=\"中国石化,5.20,5.18,…\";" ----

namespace sina {

constexpr int kOpen = 1;
constexpr int kPrevClose = 2;
constexpr int kPrice = 3;
constexpr int kHigh = 4;
constexpr int kLow = 5;
constexpr int kVolume = 8;
constexpr int kBid1 = 11;
constexpr int kDate = 30;
constexpr int kTime = 31;
constexpr int kStatus = 32;

// The fields that reach the screen: a reply with one of them unfit to show is no quote.
constexpr int kShown[] = {kOpen, kPrevClose, kPrice, kHigh, kLow, kVolume};

// A trailing field: the record's last one is closed by its quote, not a comma.
QString tailField(QStringView reply, int k) {
    if (std::optional<QString> value = quotereply::field(reply, k))
        return *value;
    std::optional<QString> last = quotereply::field(QString(reply.toString() + u','), k);
    if (!last)
        return {};
    const qsizetype quote = last->indexOf(u'"');
    return quote < 0 ? *last : last->left(quote);
}

QDateTime recordTime(QStringView reply) {
    const QDate date = QDate::fromString(tailField(reply, kDate).trimmed(), u"yyyy-MM-dd");
    const QTime time = QTime::fromString(tailField(reply, kTime).trimmed(), u"HH:mm:ss");
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, MarketHours::exchangeZone());
}

TradingStatus statusOf(const QString& text) {
    if (text == u"03")
        return TradingStatus::Suspended;
    if (text == u"-3")
        return TradingStatus::Delisted;
    if (text == u"-2")
        return TradingStatus::NotListed;
    return TradingStatus::Normal;
}

// The name: the quoted text up to the first comma, in a record whose quote is closed.
std::optional<QString> nameOf(QStringView reply) {
    const qsizetype open = reply.indexOf(u'"');
    const qsizetype comma = reply.indexOf(u',');
    if (open < 0 || comma < open || reply.indexOf(u'"', comma) < 0)
        return std::nullopt;
    return reply.sliced(open + 1, comma - open - 1).toString();
}

// The service's answer for a code it does not know: var hq_str_sz300999="";
bool isEmptyRecord(QStringView reply) {
    static const QRegularExpression empty(QStringLiteral(R"(^\s*var hq_str_\w+="";\s*$)"));
    return empty.match(reply.toString()).hasMatch();
}

ParsedReply parse(QStringView reply, const QString& code) {
    ParsedReply parsed;
    if (!reply.contains(u',')) {
        parsed.kind = isEmptyRecord(reply) ? ReplyKind::NoRecord : ReplyKind::NotQuote;
        return parsed;
    }
    for (const int k : kShown) {
        const std::optional<QString> value = quotereply::field(reply, k);
        if (value && !quotereply::isClean(*value))
            return parsed;
    }
    Quote& q = parsed.quote;
    q.service = QuoteService::Sina;
    q.code = code;
    q.name = nameOf(reply);
    q.open = quotereply::field(reply, kOpen);
    q.prevClose = quotereply::field(reply, kPrevClose);
    q.price = quotereply::field(reply, kPrice);
    q.high = quotereply::field(reply, kHigh);
    q.low = quotereply::field(reply, kLow);
    q.bid1 = quotereply::field(reply, kBid1);
    if (const std::optional<QString> volume = quotereply::field(reply, kVolume))
        q.volumeLots = quotereply::volumeLots(*volume);
    q.time = recordTime(reply);
    q.statusText = tailField(reply, kStatus).trimmed();
    // The status explains a missing price; beside a traded one it has never meant a halt.
    if (quoterecord::readsNoPrice(q.price.value_or(QString())))
        q.status = statusOf(q.statusText);
    parsed.kind = ReplyKind::Quote;
    return parsed;
}

// The line of `code` in a reply to several codes.
QStringView lineOf(QStringView text, const QString& code) {
    const QString start = u"var hq_str_" + code + u'=';
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        if (line.trimmed().startsWith(start))
            return line;
    }
    return {};
}

} // namespace sina

// ---- The second service: "v_sh600028=\"1~中国石化~600028~5.23~5.18~…\";" ----

namespace tencent {

constexpr int kName = 1;
constexpr int kPrice = 3;
constexpr int kPrevClose = 4;
constexpr int kOpen = 5;
constexpr int kVolume = 6;
constexpr int kBid1 = 9;
constexpr int kTimestamp = 30;
constexpr int kHigh = 33;
constexpr int kLow = 34;
constexpr int kStatus = 40;
constexpr int kType = 61;

constexpr int kShown[] = {kPrice, kPrevClose, kOpen, kVolume, kHigh, kLow};

// The payload between v_<code>=" and the next quote; nothing when the reply has no record of
// the code.
std::optional<QStringView> payloadOf(QStringView text, const QString& code) {
    const QString start = u"v_" + code + u"=\"";
    qsizetype at = text.indexOf(start);
    // A longer key that ends in this one ("v_s_sh600028") is another record.
    while (at > 0 && (text[at - 1].isLetterOrNumber() || text[at - 1] == u'_'))
        at = text.indexOf(start, at + 1);
    if (at < 0)
        return std::nullopt;
    const qsizetype begin = at + start.size();
    const qsizetype end = text.indexOf(u'"', begin);
    if (end < 0)
        return std::nullopt;
    return text.sliced(begin, end - begin);
}

// "20260914161438" on the exchange's clock.
QDateTime timestampOf(QStringView field) {
    static const QRegularExpression digits(QStringLiteral(R"(^\d{14}$)"));
    if (!digits.match(field.toString()).hasMatch())
        return {};
    const QDateTime local = QDateTime::fromString(field.toString(), u"yyyyMMddHHmmss");
    if (!local.isValid())
        return {};
    return QDateTime(local.date(), local.time(), MarketHours::exchangeZone());
}

// The STAR market writes its volume in shares, every other board in lots.
bool volumeInShares(const QString& code) {
    const QStringView digits = QStringView(code).sliced(std::min<qsizetype>(2, code.size()));
    return digits.startsWith(u"688") || digits.startsWith(u"689");
}

std::optional<double> lotsOf(const QString& field, const QString& code) {
    if (volumeInShares(code))
        return quotereply::volumeLots(field);
    const double lots = leadingNumber(field);
    if (!std::isfinite(lots))
        return std::nullopt;
    return lots == 0.0 ? 0.0 : std::round(lots);
}

// "S": suspended today. "D": halted for long, or on its way out, which the name's "退"
// tells.
TradingStatus statusOf(const QString& text, const QString& name) {
    if (text == u"S")
        return TradingStatus::Suspended;
    if (text == u"D")
        return name.endsWith(u'退') ? TradingStatus::Delisted : TradingStatus::Suspended;
    return TradingStatus::Normal;
}

void fill(Quote& q, const QStringList& f) {
    const bool index = isIndexCode(q.code) || (f.size() > kType && f[kType] == u"ZS");
    const auto price = [&](int k) { return index ? f[k] : padToThreeDecimals(f[k]); };
    q.name = f[kName];
    q.price = price(kPrice);
    q.prevClose = price(kPrevClose);
    q.open = price(kOpen);
    q.high = price(kHigh);
    q.low = price(kLow);
    q.bid1 = price(kBid1);
    q.volumeLots = lotsOf(f[kVolume], q.code);
    q.time = timestampOf(f[kTimestamp]);
    q.statusText = f.size() > kStatus ? f[kStatus].trimmed() : QString();
    q.status = statusOf(q.statusText, f[kName]);
}

ParsedReply parse(QStringView text, const QString& code) {
    ParsedReply parsed;
    const std::optional<QStringView> payload = payloadOf(text, code);
    if (!payload) {
        if (text.contains(u"v_pv_none_match="))
            parsed.kind = ReplyKind::NoRecord;
        return parsed;
    }
    const QStringList f = payload->toString().split(u'~');
    if (f.size() <= kLow || !timestampOf(f[kTimestamp]).isValid())
        return parsed;
    for (const int k : kShown) {
        if (!quotereply::isClean(f[k]))
            return parsed;
    }
    parsed.quote.service = QuoteService::Tencent;
    parsed.quote.code = code;
    fill(parsed.quote, f);
    parsed.kind = ReplyKind::Quote;
    return parsed;
}

} // namespace tencent

} // namespace

bool isIndexCode(QStringView code) {
    return code.size() == 8 &&
           (code.startsWith(u"sh000") || code.startsWith(u"sz399") || code.startsWith(u"bj899"));
}

QString padToThreeDecimals(const QString& price) {
    static const QRegularExpression plain(QStringLiteral(R"(^-?\d+(\.\d{0,2})?$)"));
    if (!plain.match(price).hasMatch())
        return price;
    const qsizetype point = price.indexOf(u'.');
    if (point < 0)
        return price + u".000";
    return price + QString(3 - (price.size() - point - 1), u'0');
}

ParsedReply parseReply(QuoteService service, QStringView text, const QString& code) {
    return service == QuoteService::Sina ? sina::parse(text, code) : tencent::parse(text, code);
}

QList<ParsedReply> parseReplies(QuoteService service, QStringView text, const QStringList& codes) {
    QList<ParsedReply> out;
    out.reserve(codes.size());
    for (const QString& code : codes) {
        if (service == QuoteService::Tencent) {
            out.append(tencent::parse(text, code));
            continue;
        }
        const QStringView line = sina::lineOf(text, code);
        out.append(line.isNull() ? ParsedReply{} : sina::parse(line, code));
    }
    return out;
}

} // namespace tarnwel
