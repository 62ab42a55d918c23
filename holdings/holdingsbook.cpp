// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdings/holdingsbook.h"

#include "base/logging.h"
#include "base/settingsstore.h"
#include "base/stockcode.h"
#include "quotes/markethours.h"
#include "quotes/pricechange.h"
#include "quotes/quoterecord.h"

namespace tarnwel {

namespace {

// Every price and cost is worked in millionths of a yuan: the finest the texts can be.
constexpr int kMicroDecimals = 6;
constexpr qint64 kMicroPerCent = 10'000;
// A cost shows with at least the three decimals of a price.
constexpr int kCostDecimals = 3;

qint64 power10(int n) {
    qint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

std::optional<qint64> micro(QStringView text) {
    const std::optional<Decimal> d = parseDecimal(text);
    if (!d)
        return std::nullopt;
    return d->units * power10(kMicroDecimals - d->decimals);
}

QString signPrefix(int sign) {
    return sign > 0 ? QStringLiteral("+") : sign < 0 ? QStringLiteral("-") : QString();
}

QString costText(const QString& cost) {
    const qsizetype point = cost.indexOf(u'.');
    const qsizetype decimals = point < 0 ? 0 : cost.size() - point - 1;
    if (decimals >= kCostDecimals)
        return cost;
    return (point < 0 ? cost + u'.' : cost) + QString(kCostDecimals - decimals, u'0');
}

const QString kHidden = QStringLiteral("***");

void appendAmount(SignedLine& line, const std::optional<WideInt>& micro, bool hide) {
    if (!micro)
        line.append({QStringLiteral("--")});
    else if (hide)
        line.append({kHidden});
    else
        line.append({amountText(*micro), micro->sign()});
}

void appendReturn(SignedLine& line, const HoldingFigures& figures) {
    if (!figures.total)
        return;
    if (const std::optional<QString> text = returnText(*figures.total, figures.basis)) {
        line.append({QStringLiteral(" (")});
        line.append({*text, figures.total->sign()});
        line.append({QStringLiteral(")")});
    }
}

// "今日 +50.00  累计 +110.00 (+2.15%)"
void appendFigures(SignedLine& line, const HoldingFigures& figures, bool hide) {
    line.append({QStringLiteral("今日 ")});
    appendAmount(line, figures.today, hide);
    line.append({QStringLiteral("  累计 ")});
    appendAmount(line, figures.total, hide);
    appendReturn(line, figures);
}

} // namespace

HoldingFigures holdingFigures(const Holding& holding, const Quote& quote, bool ofToday) {
    HoldingFigures figures;
    const std::optional<qint64> cost = micro(holding.cost);
    const std::optional<qint64> price = micro(quoterecord::shownPrice(quote).price);
    if (!cost)
        return figures;
    figures.basis = WideInt::product(holding.shares, *cost);
    if (!price || *price <= 0)
        return figures;
    figures.total = WideInt::product(holding.shares, *price - *cost);
    const std::optional<qint64> close = micro(quote.prevClose.value_or(QString()));
    if (ofToday && close && *close > 0)
        figures.today = WideInt::product(holding.shares, *price - *close);
    return figures;
}

QString amountText(const WideInt& micro) {
    return signPrefix(micro.sign()) + micro.roundedDiv(kMicroPerCent).magnitudeText(2);
}

std::optional<QString> returnText(const WideInt& gain, const WideInt& basis) {
    if (basis.sign() <= 0)
        return std::nullopt;
    // Hundredths of a percent: gain × 10000 ÷ basis.
    const WideInt hundredths = gain.times(10'000).roundedDiv(basis);
    return signPrefix(gain.sign()) + hundredths.magnitudeText(2) + u'%';
}

QString plainText(const SignedLine& line) {
    QString text;
    for (const SignedPiece& piece : line)
        text += piece.text;
    return text;
}

void HoldingsBook::load(const SettingsStore& settings, const QStringList& codes) {
    m_codes = codes;
    m_holdings.clear();
    for (const QString& code : codes) {
        const QString stored = isKeyCode(code) ? settings.holding(code) : QString();
        if (stored.isEmpty())
            continue;
        if (const std::optional<Holding> holding = parseHolding(stored)) {
            m_holdings.insert(code, *holding);
        } else if (!m_reported.contains(code + u'=' + stored)) {
            m_reported.insert(code + u'=' + stored);
            qCWarning(lcHoldings).noquote()
                << "holding of" << code << "does not read, ignored:" << stored;
        }
    }
    // A stock that left the list counts no more, even with today's quote.
    m_quotes.removeIf([&](const auto& it) { return !codes.contains(it.key()); });
}

void HoldingsBook::record(const Quote& quote, bool live, const QDateTime& checkedAt) {
    m_today = MarketHours::exchangeDate(checkedAt);
    // A record without a time is of today only when it came from the service just now.
    const QDate day = quote.time.isValid() ? MarketHours::exchangeDate(quote.time)
                      : live               ? m_today
                                           : QDate();
    m_quotes.insert(quote.code, {quote, day});
}

std::optional<HoldingFigures> HoldingsBook::figures(const QString& code) const {
    const auto holding = m_holdings.constFind(code);
    const auto latest = m_quotes.constFind(code);
    if (holding == m_holdings.cend() || latest == m_quotes.cend())
        return std::nullopt;
    return holdingFigures(*holding, latest->quote, latest->day == m_today);
}

std::optional<HoldingFigures> HoldingsBook::totals() const {
    std::optional<HoldingFigures> sums;
    for (auto it = m_holdings.cbegin(); it != m_holdings.cend(); ++it) {
        const std::optional<HoldingFigures> one = figures(it.key());
        if (!one || !one->today || !one->total)
            continue;
        if (!sums)
            sums = HoldingFigures{WideInt(), WideInt(), WideInt()};
        *sums->today += *one->today;
        *sums->total += *one->total;
        sums->basis += one->basis;
    }
    return sums;
}

SignedLine HoldingsBook::stockLine(const QString& code, bool hideAmounts) const {
    const auto holding = m_holdings.constFind(code);
    if (holding == m_holdings.cend())
        return {};
    const QString shares = hideAmounts ? kHidden : QString::number(holding->shares);
    SignedLine line{{u"持仓 " + shares + u" 股 成本 " + costText(holding->cost) + u"  "}};
    appendFigures(line, figures(code).value_or(HoldingFigures{}), hideAmounts);
    return line;
}

SignedLine HoldingsBook::totalLine(bool hideAmounts) const {
    const std::optional<HoldingFigures> sums = totals();
    if (!sums)
        return {};
    SignedLine line{{QStringLiteral("合计 ")}};
    appendFigures(line, *sums, hideAmounts);
    return line;
}

} // namespace tarnwel
