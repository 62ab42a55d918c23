// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsstore.h"

#include <QSettings>

namespace tarnwel {

namespace {

// Kept from the program's first releases, so existing settings carry over.
const QString kName = QStringLiteral("vevivudaz");

QString keyPath(SettingsStore::Key key) {
    switch (key) {
    case SettingsStore::Key::Transparency:
        return kName + QStringLiteral("/op");
    case SettingsStore::Key::StartAtLogon:
        return kName + QStringLiteral("/st");
    case SettingsStore::Key::Colours:
        return kName + QStringLiteral("/colors");
    }
    return {};
}

} // namespace

SettingsStore::SettingsStore()
#ifdef Q_OS_WIN
    // Where the platform's classic per-application settings live, so that the
    // settings of an earlier install carry over.
    : m_settings(std::make_unique<QSettings>(
          QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + kName,
          QSettings::NativeFormat))
#else
    : m_settings(
          std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kName, kName))
#endif
{
}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::value(Key key) const {
    m_settings->sync();
    return m_settings->value(keyPath(key)).toString();
}

void SettingsStore::setValue(Key key, const QString& value) {
    m_settings->setValue(keyPath(key), value);
    m_settings->sync();
}

bool SettingsStore::startsAtLogon() const {
    return value(Key::StartAtLogon).trimmed().toInt() == 1;
}

void SettingsStore::setStartsAtLogon(bool on) {
    setValue(Key::StartAtLogon, on ? QStringLiteral("1") : QStringLiteral("0"));
}

UpDownColours SettingsStore::upDownColours() const {
    const QString stored = value(Key::Colours);
    if (stored == u"green-up")
        return UpDownColours::GreenUp;
    if (stored == u"none")
        return UpDownColours::None;
    return UpDownColours::RedUp;
}

void SettingsStore::setUpDownColours(UpDownColours colours) {
    switch (colours) {
    case UpDownColours::RedUp:
        setValue(Key::Colours, QStringLiteral("red-up"));
        return;
    case UpDownColours::GreenUp:
        setValue(Key::Colours, QStringLiteral("green-up"));
        return;
    case UpDownColours::None:
        setValue(Key::Colours, QStringLiteral("none"));
        return;
    }
}

} // namespace tarnwel
