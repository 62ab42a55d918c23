#include "app/settingsstore.h"

#include <QSettings>

namespace tarnwel {

namespace {
const QString kName = QStringLiteral("vevivudaz");
}

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

QString SettingsStore::value(const QString& key) const {
    m_settings->sync();
    return m_settings->value(kName + u'/' + key).toString();
}

void SettingsStore::setValue(const QString& key, const QString& value) {
    m_settings->setValue(kName + u'/' + key, value);
    m_settings->sync();
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

} // namespace tarnwel
