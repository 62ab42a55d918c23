// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/desktophooks.h"
#include "app/environment.h"
#include "fakeshortcut.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

// What the program would have shown or done through its hooks.
struct RecordedHooks {
    QStringList messages;
    QList<int> exits;
    QList<QUrl> openedUrls;
    QStringList notifications;       // title, a line break, the text
    QPointer<FakeShortcut> shortcut; // the boss key the program asked for
    QStringList takenKeys;           // combinations another program holds
};

// An environment that keeps everything inside `dir`: setup.ini, the settings file, the
// autostart directory, the single-instance lock, the alert state; short pauses; an exit that
// records.
tarnwel::Environment makeTestEnvironment(const QString& dir,
                                         const std::shared_ptr<RecordedHooks>& hooks);

// Messages and opened addresses recorded instead of shown; a fake global shortcut.
tarnwel::DesktopHooks makeTestHooks(const std::shared_ptr<RecordedHooks>& hooks);
