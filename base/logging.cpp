// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/logging.h"

namespace tarnwel {

Q_LOGGING_CATEGORY(lcFeed, "tarnwel.feed", QtInfoMsg)
Q_LOGGING_CATEGORY(lcChart, "tarnwel.chart", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWatchList, "tarnwel.watchlist", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAlerts, "tarnwel.alerts", QtInfoMsg)
Q_LOGGING_CATEGORY(lcBossKey, "tarnwel.bosskey", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHoldings, "tarnwel.holdings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "tarnwel.settings", QtInfoMsg)

} // namespace tarnwel
