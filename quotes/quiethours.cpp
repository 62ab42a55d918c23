// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/quiethours.h"

#include "base/logging.h"

#include <QTime>

namespace tarnwel {

namespace {

// The opening call auction is over; from here on the index has today's date.
const QTime kAuctionOver(9, 26);

} // namespace

QuietHours::QuietHours(MarketHours hours)
    : m_hours(std::move(hours)) {}

bool QuietHours::holds(const QDateTime& arrived, const QDateTime& now) const {
    if (m_hours.alwaysOpen())
        return false;
    // On a holiday every reply of the day holds, as does any since the last close.
    if (isClosedDay(now))
        return arrived > m_hours.lastClose(now) ||
               MarketHours::exchangeDate(arrived) == m_closedDay;
    return !m_hours.isOpen(now) && arrived > m_hours.lastClose(now);
}

void QuietHours::noteIndex(const QDateTime& recordTime, const QDateTime& now) {
    if (!recordTime.isValid() || m_hours.alwaysOpen() || !m_hours.isOpen(now))
        return;
    const QDateTime exchangeNow = now.toTimeZone(MarketHours::exchangeZone());
    const QDate today = exchangeNow.date();
    if (MarketHours::exchangeDate(recordTime) >= today) {
        // A record of today: the exchanges trade, whatever a stale answer said before.
        if (m_closedDay == today)
            qCInfo(lcFeed) << "the Shanghai index is of today after all - trading";
        m_tradingDay = today;
        m_closedDay = {};
        return;
    }
    // Once the opening auction is over, a session that still gets the Shanghai index of an
    // earlier day, and has seen none of today, is no trading day: a holiday.
    if (exchangeNow.time() < kAuctionOver || m_tradingDay == today)
        return;
    if (m_closedDay != today) {
        qCInfo(lcFeed).noquote() << "the Shanghai index is of"
                                 << MarketHours::exchangeDate(recordTime).toString(Qt::ISODate)
                                 << "- no trading today";
        m_lastRecheck = now;
    }
    m_closedDay = today;
}

bool QuietHours::isClosedDay(const QDateTime& now) const {
    return m_closedDay.isValid() && MarketHours::exchangeDate(now) == m_closedDay;
}

bool QuietHours::recheckDue(const QDateTime& now) {
    if (!isClosedDay(now) || !m_hours.isOpen(now))
        return false;
    if (m_lastRecheck.isValid() && m_lastRecheck.secsTo(now) < kRecheckSecs)
        return false;
    m_lastRecheck = now;
    return true;
}

} // namespace tarnwel
