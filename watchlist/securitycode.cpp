// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/securitycode.h"

#include <QList>

#include <algorithm>

namespace tarnwel::securitycode {

namespace {

constexpr qsizetype kDigits = 6;
constexpr qsizetype kLongestName = 16;

bool allDigits(QStringView text) {
    // ASCII only: QChar::isDigit would also take full-width and other scripts' digits.
    return std::all_of(text.begin(), text.end(),
                       [](QChar unit) { return unit >= u'0' && unit <= u'9'; });
}

bool breaksEntry(char32_t c) {
    if (c == U'(' || c == U')')
        return true;
    // Control characters (C0, DEL, C1) and the line and paragraph separators.
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029)
        return true;
    return false;
}

// The service pads some three-character names with ASCII spaces ("新 希 望"); a space
// between two letters of a Latin name stays.
bool isPadding(QChar c) {
    return c == u' ' || c == QChar(0x3000);
}

// The services pad some names with spaces, ASCII or full-width ("新 希 望", "万  科Ａ"); a
// space between two letters of a Latin name stays.
QString unpadded(QStringView name) {
    const QStringView trimmed = name.trimmed();
    QString out;
    out.reserve(trimmed.size());
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (!isPadding(trimmed[i])) {
            out += trimmed[i];
            continue;
        }
        qsizetype next = i;
        while (next < trimmed.size() && isPadding(trimmed[next]))
            ++next;
        const bool between = trimmed[i - 1].unicode() > 0x7f && trimmed[next].unicode() > 0x7f;
        if (!between)
            out += trimmed.sliced(i, next - i);
        i = next - 1;
    }
    return out;
}

} // namespace

QString marketOf(QStringView digits) {
    if (digits.size() < 2)
        return {};
    const QStringView start = digits.first(2);
    static const char16_t* const shanghai[] = {u"60", u"68", u"90", u"50", u"51",
                                               u"52", u"56", u"58", u"11"};
    static const char16_t* const shenzhen[] = {u"00", u"30", u"20", u"15", u"16", u"18", u"12"};
    static const char16_t* const beijing[] = {u"43", u"83", u"87", u"92"};
    const auto among = [&](const auto& starts) {
        return std::any_of(std::begin(starts), std::end(starts),
                           [&](const char16_t* s) { return start == QStringView(s); });
    };
    if (among(shanghai))
        return QStringLiteral("sh");
    if (among(shenzhen))
        return QStringLiteral("sz");
    if (among(beijing))
        return QStringLiteral("bj");
    return {};
}

Recognised recognise(QStringView text) {
    if (text.size() == 2 + kDigits) {
        const QStringView prefix = text.first(2);
        const bool market = prefix == u"sh" || prefix == u"sz" || prefix == u"bj";
        if (market && allDigits(text.sliced(2)))
            return {CodeKind::Code, text.toString()};
        return {};
    }
    if (text.size() == kDigits && allDigits(text)) {
        const QString market = marketOf(text);
        if (market.isEmpty())
            return {CodeKind::NeedsMarket, text.toString()};
        return {CodeKind::Code, market + text};
    }
    return {};
}

std::optional<QString> nameForEntry(QStringView serviceName) {
    const QString name = unpadded(serviceName);
    if (name.isEmpty())
        return std::nullopt;
    const QList<uint> characters = name.toUcs4();
    if (characters.size() > kLongestName)
        return std::nullopt;
    if (std::any_of(characters.begin(), characters.end(),
                    [](uint c) { return breaksEntry(char32_t(c)); }))
        return std::nullopt;
    return name;
}

QString entryFor(const QString& name, const QString& code) {
    return name + u'(' + code + u')';
}

} // namespace tarnwel::securitycode
