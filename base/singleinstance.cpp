// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/singleinstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace tarnwel {

QString SingleInstance::defaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/tarnwel.lock");
}

SingleInstance::SingleInstance(const QString& lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath)) {
    // Only a dead owner makes the lock stale, never its age: the ticker runs for days.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::acquire() {
    return m_lock->isLocked() || m_lock->tryLock(0);
}

} // namespace tarnwel
