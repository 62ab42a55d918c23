// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace tarnwel {

// Holds the per-user lock that tells a second start of the program that one already
// runs. The lock of a crashed instance is recognised as stale and taken over.
class SingleInstance {
public:
    // The lock file in the per-user runtime directory (or the temporary directory).
    static QString defaultLockPath();

    explicit SingleInstance(const QString& lockPath);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process is the only instance (it now holds the lock).
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace tarnwel
