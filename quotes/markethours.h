// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QStringView>
#include <QTime>
#include <QTimeZone>

#include <optional>

namespace tarnwel {

// The exchanges' trading sessions, Monday to Friday in China Standard Time whatever the
// user's own time zone: while a session runs prices move, outside them they cannot.
// Public holidays are not known here; the quote feed learns them from the index's date.
class MarketHours {
public:
    struct Session {
        QTime start; // open from here …
        QTime end;   // … until just before here
    };

    // Always open.
    MarketHours() = default;
    // "09:15-11:30,13:00-15:00"; empty: always open. Nothing for a malformed setting.
    static std::optional<MarketHours> parse(QStringView setting);

    bool alwaysOpen() const { return m_sessions.isEmpty(); }
    bool isOpen(const QDateTime& instant) const;
    // The latest session end at or before `instant`; invalid when always open.
    QDateTime lastClose(const QDateTime& instant) const;

    static QTimeZone exchangeZone();
    // The day `instant` falls on at the exchange.
    static QDate exchangeDate(const QDateTime& instant);

private:
    QList<Session> m_sessions; // in order, not overlapping
};

} // namespace tarnwel
