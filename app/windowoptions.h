// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/environment.h"
#include "charts/form3.h"
#include "ticker/listfeed.h"
#include "ticker/quotefeed.h"
#include "watchlist/form2.h"

namespace tarnwel {

// What each part takes from the program's environment.
// `services`: the one switch between the quote services that every part asking follows.
QuoteFeed::Options feedOptions(const Environment& env, std::shared_ptr<ServiceSwitch> services);
ListFeed::Options listFeedOptions(const Environment& env, std::shared_ptr<ServiceSwitch> services);
Form2::Options watchListWindowOptions(const Environment& env,
                                      std::shared_ptr<ServiceSwitch> services);
Form3::Options chartWindowOptions(const Environment& env);

} // namespace tarnwel
