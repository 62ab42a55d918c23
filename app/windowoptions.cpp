// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowoptions.h"

namespace tarnwel {

QuoteFeed::Options feedOptions(const Environment& env, std::shared_ptr<ServiceSwitch> services) {
    QuoteFeed::Options options;
    options.baseUrl = env.quoteBaseUrl;
    options.referer = env.quoteReferer;
    options.secondBaseUrl = env.secondQuoteBaseUrl;
    options.services = std::move(services);
    options.watchListPath = env.watchListPath;
    options.watchListUserPath = env.watchListUserPath;
    options.turnPauseMs = env.turnPauseMs;
    options.fetchTimeoutMs = env.fetchTimeoutMs;
    options.marketHours = env.marketHours;
    return options;
}

ListFeed::Options listFeedOptions(const Environment& env, std::shared_ptr<ServiceSwitch> services) {
    ListFeed::Options options;
    options.baseUrl = env.quoteBaseUrl;
    options.referer = env.quoteReferer;
    options.secondBaseUrl = env.secondQuoteBaseUrl;
    options.services = std::move(services);
    options.watchListPath = env.watchListPath;
    options.watchListUserPath = env.watchListUserPath;
    options.refreshMs = env.turnPauseMs;
    options.fetchTimeoutMs = env.fetchTimeoutMs;
    options.marketHours = env.marketHours;
    return options;
}

Form2::Options watchListWindowOptions(const Environment& env,
                                      std::shared_ptr<ServiceSwitch> services) {
    Form2::Options options;
    options.lookup.firstBaseUrl = env.quoteBaseUrl;
    options.lookup.referer = env.quoteReferer;
    options.lookup.secondBaseUrl = env.secondQuoteBaseUrl;
    options.lookup.timeoutMs = env.fetchTimeoutMs;
    options.services = std::move(services);
    options.settings = env.settings;
    options.autostart = env.autostart;
    options.executablePath = env.executablePath;
    options.watchListPath = env.watchListPath;
    options.watchListUserPath = env.watchListUserPath;
    return options;
}

Form3::Options chartWindowOptions(const Environment& env) {
    return {env.chartBaseUrl, env.fetchTimeoutMs, env.chartCacheDir};
}

} // namespace tarnwel
