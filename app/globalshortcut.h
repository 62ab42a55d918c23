// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QObject>

#include <memory>

namespace tarnwel {

// A key combination that reaches the program wherever the keyboard focus is. Each
// desktop grants one its own way; the conductor sees only this.
class GlobalShortcut : public QObject {
    Q_OBJECT
public:
    enum class State {
        None,        // no combination asked for
        Active,      // pressing it reaches the program
        Taken,       // another program holds it
        Unusable,    // this keyboard cannot type it
        Unsupported, // the desktop grants no global shortcut
    };
    Q_ENUM(State)

    using QObject::QObject;

    // Asks for the first combination of `keys` (empty: none), letting go of the one
    // before. The outcome comes through stateChanged(), at once or later.
    virtual void setKeys(const QKeySequence& keys) = 0;
    State state() const { return m_state; }

Q_SIGNALS:
    void activated();
    void stateChanged(tarnwel::GlobalShortcut::State state);

protected:
    void setState(State state);

private:
    State m_state = State::None;
};

// Where the desktop grants no global shortcut at all.
class NoGlobalShortcut : public GlobalShortcut {
public:
    using GlobalShortcut::GlobalShortcut;
    void setKeys(const QKeySequence& keys) override;
};

// The desktop's own: the desktop portal in a Wayland session, a grab on X11, and
// otherwise none.
std::unique_ptr<GlobalShortcut> platformShortcut();

} // namespace tarnwel
