// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/markethours.h"

#include <QString>

namespace tarnwel {

namespace {

bool isWeekday(const QDate& date) {
    return date.dayOfWeek() <= 5;
}

} // namespace

QTimeZone MarketHours::exchangeZone() {
    // China has kept UTC+8 without daylight saving since 1991: the fixed offset serves
    // where the time-zone database lacks the name.
    const QTimeZone shanghai("Asia/Shanghai");
    return shanghai.isValid() ? shanghai : QTimeZone(8 * 3600);
}

QDate MarketHours::exchangeDate(const QDateTime& instant) {
    return instant.toTimeZone(exchangeZone()).date();
}

std::optional<MarketHours> MarketHours::parse(QStringView setting) {
    MarketHours hours;
    if (setting.trimmed().isEmpty())
        return hours;
    QTime previousEnd(0, 0);
    for (QStringView part : setting.split(u',')) {
        const QList<QStringView> ends = part.trimmed().split(u'-');
        if (ends.size() != 2)
            return std::nullopt;
        const QTime start = QTime::fromString(ends[0].trimmed().toString(), u"HH:mm");
        const QTime end = QTime::fromString(ends[1].trimmed().toString(), u"HH:mm");
        if (!start.isValid() || !end.isValid() || start >= end || start < previousEnd)
            return std::nullopt;
        hours.m_sessions.append({start, end});
        previousEnd = end;
    }
    return hours;
}

bool MarketHours::isOpen(const QDateTime& instant) const {
    if (alwaysOpen())
        return true;
    const QDateTime local = instant.toTimeZone(exchangeZone());
    if (!isWeekday(local.date()))
        return false;
    const QTime time = local.time();
    for (const Session& session : m_sessions) {
        if (time >= session.start && time < session.end)
            return true;
    }
    return false;
}

QDateTime MarketHours::lastClose(const QDateTime& instant) const {
    if (alwaysOpen())
        return {};
    const QTimeZone zone = exchangeZone();
    const QDate today = exchangeDate(instant);
    // A weekday lies within the last three days; a week covers any set of sessions.
    for (int back = 0; back <= 7; ++back) {
        const QDate date = today.addDays(-back);
        if (!isWeekday(date))
            continue;
        for (qsizetype i = m_sessions.size() - 1; i >= 0; --i) {
            const QDateTime end(date, m_sessions[i].end, zone);
            if (end <= instant)
                return end;
        }
    }
    return {};
}

} // namespace tarnwel
