#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace tarnwel {

// The per-user store of the program's two settings, "op" (transparency) and "st"
// (start at logon), kept under application and section "vevivudaz". A key that was
// never written reads as the empty string.
class SettingsStore {
public:
    // The platform's own store: on Linux $XDG_CONFIG_HOME/vevivudaz/vevivudaz.conf.
    SettingsStore();
    // An INI file at the given path, for tests and tools.
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString value(const QString& key) const;
    // Written through at once, so a pick survives however the program ends.
    void setValue(const QString& key, const QString& value);

    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace tarnwel
