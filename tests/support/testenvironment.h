#pragma once

#include "app/environment.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

// What the program would have shown or done through the environment's hooks.
struct RecordedHooks {
    QStringList messages;
    QList<int> exits;
    QList<QUrl> openedUrls;
};

// An environment that keeps everything inside `dir`: setup.ini, the settings file, the
// autostart directory; no single-instance lock; short pauses; hooks that record.
tarnwel::Environment makeTestEnvironment(const QString& dir,
                                         const std::shared_ptr<RecordedHooks>& hooks);
