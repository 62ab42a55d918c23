// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/market.h"

#include "base/stockcode.h"
#include "charts/chartaddress.h"
#include "quotes/markethours.h"
#include "watchlist/entry.h"
#include "watchlist/listing.h"
#include "watchlist/stockdirectory.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QStringEncoder>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tarnwel::demo {

namespace {

// Steps a walk takes before the market opens to the viewer, so that today's chart and
// the day's high and low are not empty at the first request.
constexpr int kHistorySteps = 90;
// Longest catch-up at once: a code nobody asked for in an hour does not replay it all.
constexpr qint64 kMaxCatchUp = 600;
constexpr double kLimit = 0.10;

// FNV-1a over the code's UTF-16 units: the same base price on every platform and run.
quint64 stableHash(const QString& text) {
    quint64 hash = 1469598103934665603ULL;
    for (const QChar c : text) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

double gaussian(QRandomGenerator& random) {
    // Box–Muller; the first uniform is kept away from 0 for the logarithm.
    const double u = 1.0 - random.generateDouble();
    const double v = random.generateDouble();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(2.0 * M_PI * v);
}

double roundTo(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace

std::optional<Period> periodFromName(const QString& name) {
    if (name == u"daily")
        return Period::Daily;
    if (name == u"weekly")
        return Period::Weekly;
    if (name == u"monthly")
        return Period::Monthly;
    if (name == u"min")
        return Period::Intraday;
    return std::nullopt;
}

Market::Market(Clock clock, int stepMs)
    : m_clock(std::move(clock))
    , m_stepMs(std::max(1, stepMs)) {
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
    m_start = m_clock();
    // Every code of the directory and of today's listing, under today's name where it has one.
    for (const QStringList& market :
         {stockdirectory::shanghai(), stockdirectory::shenzhen(), listing::entries()}) {
        for (const QString& entry : market) {
            const std::optional<QString> code = entryCode(entry);
            const std::optional<QString> name = entryName(entry);
            if (code && name)
                m_names.insert(*code, *name);
        }
    }
    m_names.insert(QString::fromUtf16(kShanghaiIndexCode), QStringLiteral("上证指数"));
    m_names.insert(QString::fromUtf16(kShenzhenIndexCode), QStringLiteral("深证成指"));
}

bool Market::knows(const QString& code) const {
    return m_names.contains(code);
}

QString Market::name(const QString& code) const {
    return m_names.value(code);
}

bool Market::isIndex(const QString& code) const {
    return code == QStringView(kShanghaiIndexCode) || code == QStringView(kShenzhenIndexCode);
}

int Market::decimals(const QString& code) const {
    return isIndex(code) ? 3 : 2;
}

Market::Walk& Market::walk(const QString& code) {
    auto it = m_walks.find(code);
    const bool index = isIndex(code);
    if (it == m_walks.end()) {
        Walk w{QRandomGenerator(static_cast<quint32>(stableHash(code) ^ (stableHash(code) >> 32))),
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               {}};
        if (code == QStringView(kShanghaiIndexCode))
            w.base = 3150.0;
        else if (code == QStringView(kShenzhenIndexCode))
            w.base = 10400.0;
        else // 2.5 to 80 yuan, spread evenly on a log scale
            w.base = 2.5 * std::exp(w.random.generateDouble() * std::log(32.0));
        const int places = decimals(code);
        w.prevClose = roundTo(w.base * (1.0 + 0.02 * gaussian(w.random)), places);
        w.open =
            roundTo(w.prevClose * (1.0 + (index ? 0.004 : 0.012) * gaussian(w.random)), places);
        w.high = w.low = w.last = w.open;
        w.today.append(Bar{w.open, w.open, w.open, w.open, 0});
        it = m_walks.insert(code, std::move(w));
        for (int i = 0; i < kHistorySteps; ++i)
            step(*it, index);
    }
    const qint64 due = (m_clock() - m_start) / m_stepMs;
    const qint64 steps = std::min(due - it->stepsTaken, kMaxCatchUp);
    for (qint64 i = 0; i < steps; ++i)
        step(*it, index);
    it->stepsTaken = std::max(it->stepsTaken, due);
    return *it;
}

void Market::step(Walk& w, bool index) {
    const double sigma = index ? 0.0006 : 0.0018;
    // A slight pull back towards the open keeps a long demo from drifting to the limit.
    const double pull = 0.02 * (w.open - w.last) / w.open;
    double next = w.last * (1.0 + pull + sigma * gaussian(w.random));
    next = std::clamp(next, w.prevClose * (1.0 - kLimit), w.prevClose * (1.0 + kLimit));
    next = roundTo(next, index ? 3 : 2);
    const double lots = std::floor((index ? 2.0e6 : 400.0) * (0.3 + w.random.generateDouble()));
    const double shares = lots * 100.0;
    w.high = std::max(w.high, next);
    w.low = std::min(w.low, next);
    w.volume += shares;
    // An index's points are no price: its turnover is reckoned at ten yuan a share.
    w.amount += shares * (index ? 10.0 : (w.last + next) / 2.0);
    w.today.append(Bar{w.last, std::max(w.last, next), std::min(w.last, next), next, shares});
    w.last = next;
}

QByteArray Market::quoteReply(const QString& code) {
    const QByteArray prefix = "var hq_str_" + code.toLatin1() + "=\"";
    if (!knows(code))
        return prefix + "\";\n";
    const Walk& w = walk(code);
    const int places = decimals(code);
    const double tick = std::pow(10.0, -places);
    QStringList fields{name(code),
                       number(w.open, places),
                       number(w.prevClose, places),
                       number(w.last, places),
                       number(w.high, places),
                       number(w.low, places),
                       number(w.last - tick, places),
                       number(w.last, places),
                       QString::number(w.volume, 'f', 0),
                       number(w.amount, 3)};
    // Five bid and five ask levels: size, price.
    for (int side = 0; side < 2; ++side) {
        for (int level = 1; level <= 5; ++level) {
            const double price = side == 0 ? w.last - level * tick : w.last + (level - 1) * tick;
            fields << QString::number(100 * (level * 37 % 50 + 1)) << number(price, places);
        }
    }
    // The exchange's clock, whatever the machine's zone.
    const QDateTime now = QDateTime::currentDateTime().toTimeZone(MarketHours::exchangeZone());
    fields << now.toString(u"yyyy-MM-dd") << now.toString(u"HH:mm:ss") << QStringLiteral("00");
    QStringEncoder gbk("GBK");
    return prefix + QByteArray(gbk.encode(fields.join(u','))) + "\";\n";
}

QByteArray Market::secondServiceReply(const QString& code) {
    if (!knows(code))
        return QByteArrayLiteral("v_pv_none_match=\"1\";\n");
    const Walk& w = walk(code);
    const double tick = 0.01;
    const double lots = std::round(w.volume / 100.0);
    // 88 fields, as the service writes them in 2026; prices with two decimals.
    QStringList f(88);
    const QString market = code.left(2);
    f[0] = market == u"sh"   ? QStringLiteral("1")
           : market == u"sz" ? QStringLiteral("51")
                             : QStringLiteral("62");
    f[1] = name(code);
    f[2] = code.mid(2);
    f[3] = number(w.last, 2);
    f[4] = number(w.prevClose, 2);
    f[5] = number(w.open, 2);
    f[6] = f[36] = QString::number(lots, 'f', 0);
    f[7] = f[8] = QString::number(std::round(lots / 2), 'f', 0);
    for (int level = 0; level < 5; ++level) {
        f[9 + 2 * level] = number(w.last - (level + 1) * tick, 2);
        f[20 + 2 * level] = number(w.last + level * tick, 2);
        f[10 + 2 * level] = f[21 + 2 * level] = QString::number(level * 37 % 50 + 1);
    }
    const QDateTime now = QDateTime::currentDateTime().toTimeZone(MarketHours::exchangeZone());
    f[30] = now.toString(u"yyyyMMddHHmmss");
    f[31] = number(w.last - w.prevClose, 2);
    f[32] = number(100.0 * (w.last - w.prevClose) / w.prevClose, 2);
    f[33] = f[41] = number(w.high, 2);
    f[34] = f[42] = number(w.low, 2);
    f[35] = f[3] + u'/' + f[6] + u'/' + QString::number(w.amount, 'f', 0);
    f[37] = number(w.amount / 1e4, 0);
    f[61] = isIndex(code) ? QStringLiteral("ZS") : QStringLiteral("GP-A");
    QStringEncoder gbk("GBK");
    return "v_" + code.toLatin1() + "=\"" + QByteArray(gbk.encode(f.join(u'~'))) + "\";\n";
}

QList<Bar> Market::intraday(const QString& code) {
    return walk(code).today;
}

double Market::previousClose(const QString& code) {
    return walk(code).prevClose;
}

QList<Bar> Market::bars(const QString& code, Period period) {
    Walk& w = walk(code);
    if (period == Period::Intraday)
        return w.today;
    const int count = 60;
    const double sigma = (isIndex(code) ? 0.4 : 1.0) * (period == Period::Daily    ? 0.02
                                                        : period == Period::Weekly ? 0.045
                                                                                   : 0.09);
    // The past is drawn from its own generator, so it stays the same whenever it is asked.
    QRandomGenerator past(static_cast<quint32>(stableHash(code)) + static_cast<quint32>(period));
    const double floorPrice = w.base * 0.2;
    QList<Bar> history(count - 1);
    double close = w.prevClose;
    for (int i = count - 2; i >= 0; --i) {
        const double open = std::max(floorPrice, close * (1.0 - sigma * gaussian(past)));
        const double spread = std::abs(sigma * 0.6 * gaussian(past));
        const double volume = (isIndex(code) ? 1.5e10 : 4.0e6) * (0.4 + past.generateDouble());
        history[i] = Bar{open, std::max(open, close) * (1.0 + spread),
                         std::min(open, close) * (1.0 - spread), close, volume};
        close = std::max(floorPrice, open * (1.0 + 0.3 * sigma * gaussian(past)));
    }
    history.append(Bar{w.open, w.high, w.low, w.last, w.volume});
    return history;
}

} // namespace tarnwel::demo
