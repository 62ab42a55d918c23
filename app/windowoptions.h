// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/environment.h"
#include "charts/form3.h"
#include "ticker/quotefeed.h"
#include "watchlist/form2.h"

namespace tarnwel {

// What each part takes from the program's environment.
QuoteFeed::Options feedOptions(const Environment& env);
Form2::Options watchListWindowOptions(const Environment& env);
Form3::Options chartWindowOptions(const Environment& env);

} // namespace tarnwel
