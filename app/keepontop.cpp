// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/keepontop.h"

namespace tarnwel {

void KeepOnTop::handle(Event event, Visible visible) {
    switch (event) {
    case Event::TickerLoaded:
    case Event::WatchListClosed:
        m_ticker = true;
        break;
    case Event::WatchListOpened:
    case Event::ChartLoaded:
        // The other window must be able to come above the ticker.
        m_ticker = false;
        break;
    case Event::StealthEntered:
        m_ticker = false;
        m_stealth = true;
        break;
    case Event::StealthLeft:
        m_ticker = true;
        m_stealth = false;
        break;
    case Event::ChartFromStealth:
        m_stealth = false;
        break;
    case Event::ChartClosed:
        // Only the floating window that is on screen resumes.
        if (visible.ticker)
            m_ticker = true;
        else if (visible.stealth)
            m_stealth = true;
        break;
    }
}

} // namespace tarnwel
