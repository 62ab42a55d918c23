// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tarnwel {

// Who keeps a floating window above the others. Two 500 ms timers do it: the ticker's
// and the stealth line's. Window events switch them; this is the one place that says
// how. A switch does not look at the other timer or at what is visible, except when
// the chart window closes.
class KeepOnTop {
public:
    enum class Event {
        TickerLoaded,
        WatchListOpened,
        WatchListClosed,
        StealthEntered,
        StealthLeft,
        ChartLoaded,      // a new chart window, not a re-targeted one
        ChartFromStealth, // after a launch from the stealth line
        ChartClosed,
    };

    // What is on screen when the chart window closes; no other event looks at it.
    struct Visible {
        bool ticker;
        bool stealth;
    };

    void handle(Event event, Visible visible = {});

    bool tickerTimer() const { return m_ticker; }
    bool stealthTimer() const { return m_stealth; }

private:
    bool m_ticker = false;
    bool m_stealth = false;
};

} // namespace tarnwel
