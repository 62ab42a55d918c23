// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/conductor.h"
#include "base/settingsstore.h"
#include "watchlist/watchliststore.h"

namespace tarnwel {

std::unique_ptr<Conductor> Main(Environment env, DesktopHooks hooks) {
    // A list that exists anywhere, readable or not, is left alone: only a missing one is
    // made. Without a GBK converter nothing is written at all.
    WatchListStore(env.watchListPath, env.watchListUserPath).createDefault();

    // The ticker turns the transparency into its opacity as it loads, so it must exist
    // by then.
    if (env.settings->transparency().isEmpty())
        env.settings->setTransparency(QStringLiteral("60%"));

    auto conductor = std::make_unique<Conductor>(std::move(env), std::move(hooks));
    if (!conductor->start())
        return nullptr;
    return conductor;
}

} // namespace tarnwel
