// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QWidget>

// A window's control by its object name, as a user's tools would find it; null when the
// window has none of that name and type.
template <typename T = QWidget> T* child(const QObject* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// A member of a control array: the controls share the name and differ by "Index".
template <typename T = QWidget> T* member(const QObject* window, const char* name, int index) {
    const QList<T*> all = window->findChildren<T*>(QString::fromLatin1(name));
    for (T* control : all)
        if (control->property("Index").toInt() == index)
            return control;
    return nullptr;
}
