// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/globalshortcut.h"

#include <QStringList>

// A desktop's global shortcut as a test plays it: combinations listed in `taken` are
// another program's, and press() is the user pressing the one granted.
class FakeShortcut : public tarnwel::GlobalShortcut {
public:
    QStringList taken;
    bool supported = true;
    QString keys; // as last asked for, in portable text

    void setKeys(const QKeySequence& sequence) override {
        keys = sequence.toString(QKeySequence::PortableText);
        if (keys.isEmpty())
            setState(State::None);
        else if (!supported)
            setState(State::Unsupported);
        else
            setState(taken.contains(keys) ? State::Taken : State::Active);
    }
    void press() {
        if (state() == State::Active)
            Q_EMIT activated();
    }
};
