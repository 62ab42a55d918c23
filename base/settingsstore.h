// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/plainini.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>

namespace tarnwel {

// How the ticker colours a price against its previous close.
enum class UpDownColours {
    RedUp,   // "red-up": up red, down green, the Chinese markets' convention
    GreenUp, // "green-up": up green, down red
    None,    // "none": everything white
};

// Which quote service the program asks.
enum class QuoteSourceChoice {
    Auto,    // "auto": the first service, the second while the first refuses
    Sina,    // "sina": the first service only
    Tencent, // "tencent": the second service only
};

// The section of the holdings: one key per stock code.
inline constexpr QStringView kHoldingsSection = u"holdings";

// The per-user store of the program's settings: the transparency, the start-at-logon
// choice, the up/down colours, the desktop-notification choice, the quote service, the face
// shown and the key that hides the windows, kept under application and section "vevivudaz",
// and the price alerts in section "alerts". A setting that was never written reads as the
// empty string.
class SettingsStore {
public:
    enum class Key { Transparency, StartAtLogon, Colours, Notify, Source, View, Hotkey };

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
    // Stored as "auto", "sina" or "tencent"; a missing or unknown value reads as auto.
    QuoteSourceChoice quoteSource() const;
    void setQuoteSource(QuoteSourceChoice choice);
    // The face shown: stored as "ticker" or "list"; anything else reads as the ticker.
    bool showsList() const;
    void setShowsList(bool list);
    // The key combination that hides and shows the windows, in Qt's portable text
    // ("Ctrl+Alt+Z"); empty for none. Missing reads as Ctrl+Alt+Z.
    QString hotkey() const;
    void setHotkey(const QString& keys) { setValue(Key::Hotkey, keys); }

    // The alerts of one stock as stored, e.g. "above:5.50;below:5.00;move:3", by its code;
    // empty where it has none. Setting the empty text removes the key.
    QString alerts(const QString& code) const;
    void setAlerts(const QString& code, const QString& text);
    // The codes that have an alerts key.
    QStringList alertCodes() const;
    // Removes the alerts of every code not among `codes`, in one write however many go.
    void keepAlertsOf(const QStringList& codes);

    class Backend;

    // "隐藏金额", kept as "hideamounts" beside the others: "1" or "0"; missing reads as off.
    bool hidesAmounts() const;
    void setHidesAmounts(bool on);
    // The holding of one stock as stored, e.g. "shares:1000;cost:5.12", by its code; empty
    // where it has none. Setting the empty text removes the key.
    QString holding(const QString& code) const;
    void setHolding(const QString& code, const QString& text);
    // The codes that have a holdings key.
    QStringList holdingCodes() const;
    // Removes these keys of `section`, all in one write of the file.
    void removeKeys(QStringView section, const QStringList& keys);

private:
    std::unique_ptr<Backend> m_backend;
};

} // namespace tarnwel
