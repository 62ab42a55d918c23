// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// While alive, no file of this process may grow past `bytes`: a write beyond fails the
// way it does on a full disk, even for root, for whom permissions do not stop a write.
// Only POSIX has such a limit; elsewhere a test checks kSupported and skips.
class FileSizeLimit {
public:
#ifdef Q_OS_UNIX
    static constexpr bool kSupported = true;
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
#else
    static constexpr bool kSupported = false;
    explicit FileSizeLimit(qint64) {}
#endif
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

#ifdef Q_OS_UNIX
private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
#endif
};
