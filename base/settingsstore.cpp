// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsstore.h"

#include "base/plainini.h"

#include <QSettings>

#include <utility>

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
    case SettingsStore::Key::Notify:
        return kName + QStringLiteral("/notify");
    case SettingsStore::Key::Source:
        return kName + QStringLiteral("/source");
    case SettingsStore::Key::View:
        return kName + QStringLiteral("/view");
    case SettingsStore::Key::Hotkey:
        return kName + QStringLiteral("/hotkey");
    }
    return {};
}

const QString kAlerts = QStringLiteral("alerts");
const QString kHideAmounts = kName + QStringLiteral("/hideamounts");

} // namespace

SettingsStore::SettingsStore()
#ifdef Q_OS_WIN
    // Where the platform's classic per-application settings live, so that the
    // settings of an earlier install carry over.
    : m_settings(std::make_unique<QSettings>(
          QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + kName,
          QSettings::NativeFormat))
#else
    // The same file as Qt's native format, read and written without its quoting rules.
    : m_settings(std::make_unique<QSettings>(plainIniFormat(), QSettings::UserScope, kName, kName))
#endif
{
}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, plainIniFormat())) {}

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

bool SettingsStore::notifies() const {
    return value(Key::Notify).trimmed() != u"0";
}

void SettingsStore::setNotifies(bool on) {
    setValue(Key::Notify, on ? QStringLiteral("1") : QStringLiteral("0"));
}

namespace {

constexpr std::pair<QuoteSourceChoice, const char16_t*> kSources[] = {
    {QuoteSourceChoice::Auto, u"auto"},
    {QuoteSourceChoice::Sina, u"sina"},
    {QuoteSourceChoice::Tencent, u"tencent"},
};

} // namespace

QuoteSourceChoice SettingsStore::quoteSource() const {
    const QString stored = value(Key::Source).trimmed();
    for (const auto& [choice, text] : kSources) {
        if (stored == QStringView(text))
            return choice;
    }
    return QuoteSourceChoice::Auto;
}

void SettingsStore::setQuoteSource(QuoteSourceChoice choice) {
    for (const auto& [known, text] : kSources) {
        if (known == choice)
            setValue(Key::Source, QString::fromUtf16(text));
    }
}

bool SettingsStore::showsList() const {
    return value(Key::View).trimmed() == u"list";
}

void SettingsStore::setShowsList(bool list) {
    setValue(Key::View, list ? QStringLiteral("list") : QStringLiteral("ticker"));
}

QString SettingsStore::hotkey() const {
    m_settings->sync();
    // An empty value is the user's choice of no key; only a missing one means the default.
    const QString path = keyPath(Key::Hotkey);
    return m_settings->contains(path) ? m_settings->value(path).toString()
                                      : QStringLiteral("Ctrl+Alt+Z");
}

QString SettingsStore::alerts(const QString& code) const {
    m_settings->sync();
    return m_settings->value(kAlerts + u'/' + code).toString();
}

void SettingsStore::setAlerts(const QString& code, const QString& text) {
    if (text.isEmpty())
        m_settings->remove(kAlerts + u'/' + code);
    else
        m_settings->setValue(kAlerts + u'/' + code, text);
    m_settings->sync();
}

QStringList SettingsStore::alertCodes() const {
    m_settings->sync();
    m_settings->beginGroup(kAlerts);
    const QStringList codes = m_settings->childKeys();
    m_settings->endGroup();
    return codes;
}

bool SettingsStore::hidesAmounts() const {
    m_settings->sync();
    return m_settings->value(kHideAmounts).toString().trimmed() == u"1";
}

void SettingsStore::setHidesAmounts(bool on) {
    m_settings->setValue(kHideAmounts, on ? QStringLiteral("1") : QStringLiteral("0"));
    m_settings->sync();
}

QString SettingsStore::holding(const QString& code) const {
    m_settings->sync();
    return m_settings->value(kHoldingsSection + u'/' + code).toString();
}

void SettingsStore::setHolding(const QString& code, const QString& text) {
    if (text.isEmpty())
        m_settings->remove(kHoldingsSection + u'/' + code);
    else
        m_settings->setValue(kHoldingsSection + u'/' + code, text);
    m_settings->sync();
}

QStringList SettingsStore::holdingCodes() const {
    m_settings->sync();
    m_settings->beginGroup(kHoldingsSection.toString());
    const QStringList codes = m_settings->childKeys();
    m_settings->endGroup();
    return codes;
}

void SettingsStore::removeKeys(QStringView section, const QStringList& keys) {
    if (keys.isEmpty())
        return;
    for (const QString& key : keys)
        m_settings->remove(section + u'/' + key);
    m_settings->sync();
}

} // namespace tarnwel
