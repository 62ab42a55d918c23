// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

#include "app/conductor.h"
#include "base/settingsstore.h"
#include "base/singleinstance.h"
#include "watchlist/watchliststore.h"

#include <QDeadlineTimer>
#include <QTimer>

#include <cstdio>

namespace tarnwel {

namespace {

constexpr int kRetryMs = 100;
// Long enough for a lock that names no owner to pass its grace and be taken over.
constexpr int kPatienceMs = SingleInstance::kGraceMs + 2000;
const QString kToggle = QStringLiteral("toggle");

// Asks the instance that holds the lock to do what the boss key does. An instance that
// does not answer may be starting (the lock is taken just before it listens) or dead
// before it wrote its id; so it asks again, and takes the lock over itself once it can.
class ToggleAsker : public QObject {
public:
    ToggleAsker(std::unique_ptr<Conductor> program, std::function<void(int)> exit)
        : m_program(std::move(program))
        , m_exit(std::move(exit))
        , m_request(new InstanceRequest(m_program->environment().lockPath, this)) {
        connect(m_request, &InstanceRequest::finished, this, &ToggleAsker::answered);
        // From the event loop, where ending the process can take effect.
        QTimer::singleShot(0, this, [this] { m_request->send(kToggle); });
    }

private:
    void answered(bool heard) {
        if (heard) {
            m_exit(0);
        } else if (m_patience.hasExpired()) {
            std::fputs("tarnwel: the running instance does not answer\n", stderr);
            m_exit(1);
        } else {
            QTimer::singleShot(kRetryMs, this, [this] {
                if (!m_program->start())
                    m_request->send(kToggle);
            });
        }
    }

    std::unique_ptr<Conductor> m_program;
    std::function<void(int)> m_exit;
    InstanceRequest* m_request;
    QDeadlineTimer m_patience{kPatienceMs};
};

} // namespace

std::optional<Request> requestFrom(const QStringList& arguments) {
    if (arguments.isEmpty())
        return Request::Start;
    if (arguments == QStringList{QStringLiteral("--toggle")})
        return Request::Toggle;
    return std::nullopt;
}

const char* usage() {
    return "usage: tarnwel [--toggle]\n";
}

std::unique_ptr<QObject> Main(Environment env, DesktopHooks hooks, Request request) {
    // A list that exists anywhere, readable or not, is left alone: only a missing one is
    // made. Without a GBK converter nothing is written at all.
    WatchListStore(env.watchListPath, env.watchListUserPath).createDefault();

    // The ticker turns the transparency into its opacity as it loads, so it must exist
    // by then.
    if (env.settings->transparency().isEmpty())
        env.settings->setTransparency(QStringLiteral("60%"));

    std::function<void(int)> exit = env.exitProgram;
    auto conductor = std::make_unique<Conductor>(std::move(env), std::move(hooks));
    if (conductor->start())
        return conductor;
    if (request == Request::Start)
        return nullptr;
    return std::make_unique<ToggleAsker>(std::move(conductor), std::move(exit));
}

} // namespace tarnwel
