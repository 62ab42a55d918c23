// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

namespace tarnwel {

// Debug lines for whoever needs to see what goes over the network. Off unless switched
// on with QT_LOGGING_RULES, e.g. "tarnwel.*=true"; warnings always pass.
Q_DECLARE_LOGGING_CATEGORY(lcFeed)      // tarnwel.feed: quote requests and the feed's turns
Q_DECLARE_LOGGING_CATEGORY(lcChart)     // tarnwel.chart: chart image loads
Q_DECLARE_LOGGING_CATEGORY(lcWatchList) // tarnwel.watchlist: look-ups from the watch-list window
Q_DECLARE_LOGGING_CATEGORY(lcAlerts)    // tarnwel.alerts: stored alerts, firings, notifications
Q_DECLARE_LOGGING_CATEGORY(lcBossKey)   // tarnwel.bosskey: the global key, hiding and showing
Q_DECLARE_LOGGING_CATEGORY(lcHoldings)  // tarnwel.holdings: stored holdings that do not read
Q_DECLARE_LOGGING_CATEGORY(lcSettings)  // tarnwel.settings: settings that could not be saved

} // namespace tarnwel
