#include "app/startup.h"

#include "app/conductor.h"
#include "app/settingsstore.h"
#include "app/watchlistfile.h"

namespace tarnwel {

std::unique_ptr<Conductor> Main(Environment env, DesktopHooks hooks) {
    // A file that exists but cannot be read is left alone: only a missing one is made.
    const WatchListFile watchList(env.watchListPath);
    if (!watchList.exists())
        watchList.writeDefault();

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
