// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace tarnwel {

class Autostart;
class SettingsStore;

// Everything the windows and the quote feed take from outside: service addresses,
// file locations, the pauses, the stores and how the program ends. Always complete:
// forProgram() gives the program's own values, and tests replace what they need, so
// nobody checks for a missing part.
struct Environment {
    QUrl quoteBaseUrl;       // ends in "/"; requests go to base + "list=" + code
    QByteArray quoteReferer; // sent as Referer with every quote request unless empty
    QUrl secondQuoteBaseUrl; // ends in "/"; base + "q=" + code; empty: no second service
    QUrl chartBaseUrl;       // ends in "/"
    QUrl helpUrl;            // the help page: a web address or the local file
    int turnPauseMs = 5000;
    int fetchTimeoutMs = 60000;
    QString marketHours;       // trading sessions; empty: the quote feed asks every turn
    QString watchListPath;     // setup.ini beside the program
    QString watchListUserPath; // where setup.ini moves when that cannot be written; empty: nowhere
    QString executablePath;    // what the start-at-logon entry starts
    QString lockPath;          // the single-instance lock
    std::shared_ptr<SettingsStore> settings;
    std::shared_ptr<Autostart> autostart;
    QString chartCacheDir;  // empty: no disk cache
    QString alertStatePath; // which alerts held and fired today
    // Ends the program with a status; the program's own leaves the event loop.
    std::function<void(int status)> exitProgram;

    // The service addresses a build is made with.
    struct Addresses {
        QString quoteBaseUrl;
        QByteArray quoteReferer;
        QString chartBaseUrl;
        QString helpUrl; // empty: the help page installed beside the program
        QString marketHours;
        QString secondQuoteBaseUrl; // empty: no second service
    };

    // The program's own: the given addresses, setup.ini beside the program with the
    // per-user data directory to fall back on, the platform's settings store and
    // start-at-logon entry.
    static Environment forProgram(const Addresses& addresses);
};

} // namespace tarnwel
