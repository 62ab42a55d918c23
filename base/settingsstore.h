// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/plainini.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace tarnwel {

// How the ticker colours a price against its previous close.
enum class UpDownColours {
    RedUp,   // "red-up": up red, down green, the Chinese markets' convention
    GreenUp, // "green-up": up green, down red
    None,    // "none": everything white
};

// The per-user store of the program's settings: the transparency, the start-at-logon
// choice, the up/down colours and the desktop-notification choice, kept under application
// and section "vevivudaz", and the price alerts in section "alerts". A setting that was
// never written reads as the empty string.
class SettingsStore {
public:
    enum class Key { Transparency, StartAtLogon, Colours, Notify };

    // The platform's own store: on Linux $XDG_CONFIG_HOME/vevivudaz/vevivudaz.conf.
    SettingsStore();
    // An INI file at the given path, for tests and tools. Each change is one whole write of
    // the file, through `write` when given, else an atomic replacement.
    explicit SettingsStore(const QString& iniPath, FileWriter write = {});
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text as it stands, e.g. "60%" or "1".
    QString value(Key key) const;
    // Written through at once, so a pick survives however the program ends.
    void setValue(Key key, const QString& value);

    QString transparency() const { return value(Key::Transparency); }
    void setTransparency(const QString& text) { setValue(Key::Transparency, text); }
    // Stored as "1" or "0"; anything that does not read as the number 1 is off.
    bool startsAtLogon() const;
    void setStartsAtLogon(bool on);
    // Stored as "red-up", "green-up" or "none"; a missing or unknown value reads as red-up.
    UpDownColours upDownColours() const;
    void setUpDownColours(UpDownColours colours);
    // Stored as "1" or "0"; missing reads as on.
    bool notifies() const;
    void setNotifies(bool on);

    // The alerts of one stock as stored, e.g. "above:5.50;below:5.00;move:3", by its code;
    // empty where it has none. Setting the empty text removes the key.
    QString alerts(const QString& code) const;
    void setAlerts(const QString& code, const QString& text);
    // The codes that have an alerts key.
    QStringList alertCodes() const;
    // Removes the alerts of every code not among `codes`, in one write however many go.
    void keepAlertsOf(const QStringList& codes);

    class Backend;

private:
    std::unique_ptr<Backend> m_backend;
};

} // namespace tarnwel
