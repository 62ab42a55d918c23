#include "app/startup.h"

#include "app/settingsstore.h"
#include "app/watchliststore.h"
#include "ticker/form1.h"

namespace tarnwel {

std::unique_ptr<Form1> Main(Environment env) {
    // A list that exists anywhere, readable or not, is left alone: only a missing one is
    // made. Without a GBK converter nothing is written at all.
    WatchListStore(env.watchListPath, env.watchListUserPath).createDefault();

    // The ticker turns "op" into its opacity as it loads, so it must exist by then.
    if (env.settings && env.settings->value(QStringLiteral("op")).isEmpty())
        env.settings->setValue(QStringLiteral("op"), QStringLiteral("60%"));

    auto ticker = std::make_unique<Form1>(std::move(env));
    if (!ticker->Form_Load())
        return nullptr;
    ticker->show();
    return ticker;
}

} // namespace tarnwel
