// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/markethours.h"

#include <QDate>
#include <QDateTime>

namespace tarnwel {

// When prices cannot move, so that a good reply need not be asked for again: outside the
// sessions, and on a day the Shanghai index shows to be a holiday. A day that has shown an
// index record of its own is a trading day whatever a stale record says later; a day taken
// for a holiday asks the index again once a minute while a session would run, and trades
// again when the index is of today.
class QuietHours {
public:
    static constexpr qint64 kRecheckSecs = 60;

    QuietHours() = default; // always open
    explicit QuietHours(MarketHours hours);

    bool alwaysOpen() const { return m_hours.alwaysOpen(); }
    bool isOpen(const QDateTime& now) const { return m_hours.isOpen(now); }

    // A good reply that arrived at `arrived` still tells the prices at `now`.
    bool holds(const QDateTime& arrived, const QDateTime& now) const;
    // The Shanghai index's record time, as a live reply brings it at `now`.
    void noteIndex(const QDateTime& recordTime, const QDateTime& now);
    bool isClosedDay(const QDateTime& now) const;
    // On a closed day during the sessions' hours: whether the index is due to be asked
    // again. Asking is taken to happen now.
    bool recheckDue(const QDateTime& now);

private:
    MarketHours m_hours;
    QDate m_closedDay;       // a weekday the replies showed to be a holiday
    QDate m_tradingDay;      // a day with an index record of its own: never closed
    QDateTime m_lastRecheck; // the latest ask of the index on a closed day
};

} // namespace tarnwel
