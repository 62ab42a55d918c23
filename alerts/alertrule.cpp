// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertrule.h"

#include "base/settingsstore.h"
#include "base/stockcode.h"
#include "quotes/pricechange.h"

#include <QStringList>

namespace tarnwel {

namespace {

constexpr int kPriceDecimals = 3;
constexpr int kPercentDecimals = 2;
constexpr int kMaxIntegerDigits = 7; // what the decimal arithmetic takes

const char16_t* const kNames[] = {u"above", u"below", u"move"};

// Digits with at most one ".", and how many decimals; nothing for anything else.
std::optional<int> plainDecimals(QStringView text) {
    const qsizetype point = text.indexOf(u'.');
    if ((point < 0 ? text.size() : point) > kMaxIntegerDigits || text.size() > 16)
        return std::nullopt;
    int digits = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == point)
            continue;
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return point < 0 ? 0 : int(text.size() - point - 1);
}

QString AlertRule::*member(AlertField field) {
    switch (field) {
    case AlertField::Above:
        return &AlertRule::above;
    case AlertField::Below:
        return &AlertRule::below;
    case AlertField::Move:
        break;
    }
    return &AlertRule::move;
}

} // namespace

QString alertValueProblem(AlertField field, const QString& text) {
    const QString value = text.trimmed();
    if (value.isEmpty())
        return {};
    const bool percent = field == AlertField::Move;
    if (value.startsWith(u'-') && plainDecimals(QStringView(value).sliced(1)))
        return QStringLiteral("不能为负数");
    const std::optional<int> decimals = plainDecimals(value);
    if (!decimals)
        return QStringLiteral("请输入数字");
    if (*decimals > (percent ? kPercentDecimals : kPriceDecimals))
        return percent ? QStringLiteral("最多两位小数") : QStringLiteral("最多三位小数");
    const bool zero = *compareDecimals(value, u"0") <= 0;
    if (percent && (zero || *compareDecimals(value, u"100") > 0))
        return QStringLiteral("应大于 0 且不超过 100");
    if (zero)
        return QStringLiteral("应大于 0");
    return {};
}

std::optional<AlertRule> parseAlertRule(QStringView stored) {
    AlertRule rule;
    for (const QStringView piece : stored.split(u';')) {
        const QStringView item = piece.trimmed();
        if (item.isEmpty())
            continue; // a trailing ";"
        const qsizetype colon = item.indexOf(u':');
        if (colon < 0)
            return std::nullopt;
        const QStringView name = item.left(colon).trimmed();
        const QString value = item.sliced(colon + 1).trimmed().toString();
        bool known = false;
        for (int f = 0; f < 3; ++f) {
            if (name != QStringView(kNames[f]))
                continue;
            known = true;
            QString& slot = rule.*member(AlertField(f));
            if (!slot.isEmpty() || value.isEmpty() ||
                !alertValueProblem(AlertField(f), value).isEmpty())
                return std::nullopt;
            slot = value;
        }
        if (!known)
            return std::nullopt;
    }
    return rule;
}

QString storedAlertRule(const AlertRule& rule) {
    QStringList parts;
    for (int f = 0; f < 3; ++f) {
        const QString& value = rule.*member(AlertField(f));
        if (!value.isEmpty())
            parts.append(QString::fromUtf16(kNames[f]) + u':' + value);
    }
    return parts.join(u';');
}

bool isAlertCode(const QString& code) {
    if (code.isEmpty() || code.size() > kMaxCodeLength)
        return false;
    for (const QChar c : code) {
        if (c.unicode() > 0x7f || !c.isLetterOrNumber())
            return false;
    }
    return true;
}

QStringList alertedCodes(const SettingsStore& settings, const QStringList& codes) {
    QStringList alerted;
    for (const QString& code : codes) {
        if (!isAlertCode(code))
            continue;
        const std::optional<AlertRule> rule = parseAlertRule(settings.alerts(code));
        if (rule && !rule->isEmpty())
            alerted.append(code);
    }
    return alerted;
}

void removeUnlistedAlerts(SettingsStore& settings, const QStringList& codes) {
    settings.keepAlertsOf(codes);
}

} // namespace tarnwel
