// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/quote.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace tarnwel {

class SettingsStore;

// Watches the feed's stock turns against the stored alerts. A condition fires when a
// check finds it true and the check before found it false (or there was none that day),
// so a price that stays beyond a value is told once. Only live, good replies of a traded
// price and of today count. What held at each condition's last check, and what fired,
// is kept for the day in a state file, so a restart does not tell it again.
class AlertMonitor : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::shared_ptr<SettingsStore> settings; // where the alerts are read, each check
        QString statePath;                       // the day's state, an INI file
        std::function<QDateTime()> clock = {};   // empty: the system clock
    };

    explicit AlertMonitor(Options options, QObject* parent = nullptr);
    ~AlertMonitor() override;

    // A quote of the stock `name`, as the feed had it at `checkedAt`: `live` when the
    // service gave it just now, not served from store while the market is closed.
    void check(const QString& name, const Quote& quote, bool live, const QDateTime& checkedAt);
    // Today's alerts, earliest first, e.g. "14:02:31 中国石化 5.50 ≥ 5.50".
    QStringList firedToday() const;

Q_SIGNALS:
    void fired(const QString& code, const QString& line);
    void firedTodayChanged(const QStringList& lines);

private:
    void startDay(const QDate& day);
    void loadState();
    void saveState() const;

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace tarnwel
