// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdings/holding.h"

#include "base/settingsstore.h"
#include "base/stockcode.h"

#include <algorithm>

namespace tarnwel {

namespace {

constexpr int kMaxCostDecimals = 4;
constexpr int kMaxCostIntegerDigits = 7; // what the price arithmetic takes

// A plain decimal number: digits with at most one point, at least one digit.
struct Plain {
    QStringView integer; // without leading zeros; empty for zero
    QStringView fraction;
};

std::optional<Plain> plainNumber(QStringView text) {
    const qsizetype point = text.indexOf(u'.');
    QStringView integer = point < 0 ? text : text.left(point);
    const QStringView fraction = point < 0 ? QStringView() : text.sliced(point + 1);
    if (integer.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    for (const QStringView part : {integer, fraction}) {
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
    }
    while (integer.startsWith(u'0'))
        integer = integer.sliced(1);
    return Plain{integer, fraction};
}

bool allZeros(QStringView digits) {
    return std::all_of(digits.begin(), digits.end(), [](QChar c) { return c == u'0'; });
}

// Why the text is not a number at all; empty when it is a plain one.
QString numberProblem(QStringView value) {
    if (value.startsWith(u'-') && plainNumber(value.sliced(1)))
        return QStringLiteral("不能为负数");
    if (!plainNumber(value))
        return QStringLiteral("请输入数字");
    return {};
}

QString sharesProblem(QStringView value) {
    const Plain n = *plainNumber(value);
    if (!allZeros(n.fraction))
        return QStringLiteral("应为整数股");
    if (n.integer.isEmpty() || n.integer.size() > 11 || n.integer.toLongLong() > kMaxShares)
        return QStringLiteral("应在 1 到 10000000000 之间");
    return {};
}

QString costProblem(QStringView value) {
    const Plain n = *plainNumber(value);
    if (n.fraction.size() > kMaxCostDecimals)
        return QStringLiteral("最多四位小数");
    if (n.integer.size() > kMaxCostIntegerDigits)
        return QStringLiteral("数值过大");
    return {};
}

QString plainCost(QStringView value) {
    const Plain n = *plainNumber(value);
    const QString integer = n.integer.isEmpty() ? QStringLiteral("0") : n.integer.toString();
    return n.fraction.isEmpty() ? integer : integer + u'.' + n.fraction;
}

} // namespace

QString holdingValueProblem(HoldingField field, const QString& text) {
    const QString value = text.trimmed();
    if (value.isEmpty())
        return field == HoldingField::Cost ? QStringLiteral("不能为空") : QString();
    if (QString problem = numberProblem(value); !problem.isEmpty())
        return problem;
    return field == HoldingField::Shares ? sharesProblem(value) : costProblem(value);
}

std::optional<Holding> holdingFromFields(const QString& shares, const QString& cost) {
    if (shares.trimmed().isEmpty() ||
        !holdingValueProblem(HoldingField::Shares, shares).isEmpty() ||
        !holdingValueProblem(HoldingField::Cost, cost).isEmpty())
        return std::nullopt;
    return Holding{plainNumber(shares.trimmed())->integer.toLongLong(), plainCost(cost.trimmed())};
}

std::optional<Holding> parseHolding(QStringView stored) {
    std::optional<QString> shares, cost;
    for (const QStringView piece : stored.split(u';')) {
        const QStringView item = piece.trimmed();
        if (item.isEmpty())
            continue; // a trailing ";"
        const qsizetype colon = item.indexOf(u':');
        const QStringView name = item.left(std::max<qsizetype>(colon, 0)).trimmed();
        std::optional<QString>* slot = name == u"shares" ? &shares
                                       : name == u"cost" ? &cost
                                                         : nullptr;
        if (colon < 0 || !slot || *slot)
            return std::nullopt;
        *slot = item.sliced(colon + 1).trimmed().toString();
    }
    if (!shares || !cost)
        return std::nullopt;
    return holdingFromFields(*shares, *cost);
}

QString storedHolding(const Holding& holding) {
    return u"shares:" + QString::number(holding.shares) + u";cost:" + holding.cost;
}

QStringList heldCodes(const SettingsStore& settings, const QStringList& codes) {
    QStringList held;
    for (const QString& code : codes) {
        if (isKeyCode(code) && parseHolding(settings.holding(code)))
            held.append(code);
    }
    return held;
}

void removeUnlistedHoldings(SettingsStore& settings, const QStringList& codes) {
    QStringList gone;
    for (const QString& code : settings.holdingCodes()) {
        if (!codes.contains(code))
            gone.append(code);
    }
    settings.removeKeys(kHoldingsSection, gone);
}

} // namespace tarnwel
