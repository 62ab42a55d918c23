// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwel::desktopsession {

// The variables of the process environment that decide which windowing system the
// program talks to.
struct Session {
    QString qpaPlatform;    // QT_QPA_PLATFORM: the user's own choice when set
    QString waylandDisplay; // WAYLAND_DISPLAY
    QString sessionType;    // XDG_SESSION_TYPE
    QString display;        // DISPLAY: an X server (XWayland in a Wayland session)

    static Session fromProcess();
};

// A Wayland session, whatever platform the program itself runs on.
bool waylandSession(const Session& session);

// The Qt platform the program asks for, or nothing to leave Qt's own choice. The ticker
// places itself at absolute positions, stays above other windows and cuts the stealth
// line out of the desktop; a Wayland compositor grants none of that to a client, so in a
// Wayland session that also offers an X server the program runs on X11. The user's own
// QT_QPA_PLATFORM always wins.
std::optional<QByteArray> qtPlatform(const Session& session);

// Sets QT_QPA_PLATFORM for the process when qtPlatform() asks for one. Must run before
// the application object is made.
void choosePlatform();

// The help page: the file beside the program (a build tree), else the one in the data
// directory `dataDirFromProgram`, relative to the program's directory (an installed
// tree). When neither exists, the path beside the program.
QString helpPagePath(const QString& programDir, const QString& dataDirFromProgram);

// The same, with the data directory the program was installed with.
QString helpPagePath(const QString& programDir);

} // namespace tarnwel::desktopsession
