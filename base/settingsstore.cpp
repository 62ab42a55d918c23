// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/settingsstore.h"

#include "base/logging.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStandardPaths>

#include <functional>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

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

// Where the settings are kept: "section/key" to its text.
class SettingsStore::Backend {
public:
    virtual ~Backend() = default;
    // Empty where there is none.
    virtual QString value(const QString& key) = 0;
    virtual bool contains(const QString& key) = 0;
    virtual QStringList keys(const QString& section) = 0;
    // Removes every key that `goes` picks and sets every key of `set`, in one write.
    using Picker = std::function<bool(const QString& key)>;
    virtual void change(const IniValues& set, const Picker& goes = {}) = 0;
};

namespace {

// A plain INI file, read again only when it changed on disk since it was last read (a
// hand edit takes effect), and written whole with each change.
class FileBackend final : public SettingsStore::Backend {
public:
    FileBackend(QString path, FileWriter write)
        : m_path(std::move(path))
        , m_write(std::move(write)) {}

    QString value(const QString& key) override { return current().value(key); }
    bool contains(const QString& key) override { return current().contains(key); }

    QStringList keys(const QString& section) override {
        const QString prefix = section + u'/';
        const IniValues& values = current();
        QStringList keys;
        for (auto it = values.lowerBound(prefix);
             it != values.cend() && it.key().startsWith(prefix); ++it)
            keys.append(it.key().sliced(prefix.size()));
        return keys;
    }

    void change(const IniValues& set, const Picker& goes) override {
        IniValues& values = current();
        // One pass over the keys, however many go.
        bool changed = goes && values.removeIf([&goes](auto it) { return goes(it.key()); }) > 0;
        for (auto it = set.cbegin(); it != set.cend(); ++it) {
            if (const auto old = values.constFind(it.key());
                old == values.cend() || old.value() != it.value()) {
                values.insert(it.key(), it.value());
                changed = true;
            }
        }
        if (!changed)
            return;
        if (!writePlainIniFile(m_path, values, m_write)) {
            qCWarning(lcSettings).noquote() << "settings not saved to" << m_path;
            m_stamp = kUnread; // the file, left as it was, is read again
            return;
        }
        m_stamp = stamp();
    }

private:
    // Size and time of the file as last read; none for a missing file.
    using Stamp = std::pair<qint64, qint64>;

    static constexpr Stamp kMissing{-1, 0};
    static constexpr Stamp kUnread{-2, 0};

    Stamp stamp() const {
        const QFileInfo info(m_path);
        if (!info.exists())
            return kMissing;
        return {info.size(), info.lastModified().toMSecsSinceEpoch()};
    }

    IniValues& current() {
        if (const Stamp now = stamp(); now != m_stamp) {
            m_values = readPlainIniFile(m_path);
            m_stamp = now;
        }
        return m_values;
    }

    QString m_path;
    FileWriter m_write;
    IniValues m_values;
    Stamp m_stamp = kMissing;
};

#ifdef Q_OS_WIN
// Where the platform's classic per-application settings live, so that the settings of an
// earlier install carry over.
class RegistryBackend final : public SettingsStore::Backend {
public:
    RegistryBackend()
        : m_settings(QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
                         kName,
                     QSettings::NativeFormat) {}

    QString value(const QString& key) override { return m_settings.value(key).toString(); }
    bool contains(const QString& key) override { return m_settings.contains(key); }

    QStringList keys(const QString& section) override {
        m_settings.beginGroup(section);
        const QStringList keys = m_settings.childKeys();
        m_settings.endGroup();
        return keys;
    }

    void change(const IniValues& set, const Picker& goes) override {
        if (goes) {
            for (const QString& key : m_settings.allKeys()) {
                if (goes(key))
                    m_settings.remove(key);
            }
        }
        for (auto it = set.cbegin(); it != set.cend(); ++it)
            m_settings.setValue(it.key(), it.value());
        m_settings.sync();
    }

private:
    QSettings m_settings;
};
#endif

} // namespace

SettingsStore::SettingsStore()
#ifdef Q_OS_WIN
    : m_backend(std::make_unique<RegistryBackend>())
#else
    // Where Qt's settings of organisation and application "vevivudaz" have always been.
    : SettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
                    kName + u'/' + kName + QStringLiteral(".conf"))
#endif
{
}

SettingsStore::SettingsStore(const QString& iniPath, FileWriter write)
    : m_backend(std::make_unique<FileBackend>(iniPath, std::move(write))) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::value(Key key) const {
    return m_backend->value(keyPath(key));
}

void SettingsStore::setValue(Key key, const QString& value) {
    m_backend->change({{keyPath(key), value}});
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
    // An empty value is the user's choice of no key; only a missing one means the default.
    const QString path = keyPath(Key::Hotkey);
    return m_backend->contains(path) ? m_backend->value(path) : QStringLiteral("Ctrl+Alt+Z");
}

QString SettingsStore::alerts(const QString& code) const {
    return m_backend->value(kAlerts + u'/' + code);
}

void SettingsStore::setAlerts(const QString& code, const QString& text) {
    const QString key = kAlerts + u'/' + code;
    if (text.isEmpty())
        m_backend->change({}, [&key](const QString& stored) { return stored == key; });
    else
        m_backend->change({{key, text}});
}

QStringList SettingsStore::alertCodes() const {
    return m_backend->keys(kAlerts);
}

void SettingsStore::keepAlertsOf(const QStringList& codes) {
    const QString prefix = kAlerts + u'/';
    m_backend->change({}, [&](const QString& key) {
        return key.startsWith(prefix) && !codes.contains(QStringView(key).sliced(prefix.size()));
    });
}

bool SettingsStore::hidesAmounts() const {
    return m_backend->value(kHideAmounts).trimmed() == u"1";
}

void SettingsStore::setHidesAmounts(bool on) {
    m_backend->change({{kHideAmounts, on ? QStringLiteral("1") : QStringLiteral("0")}});
}

QString SettingsStore::holding(const QString& code) const {
    return m_backend->value(kHoldingsSection + u'/' + code);
}

void SettingsStore::setHolding(const QString& code, const QString& text) {
    const QString key = kHoldingsSection + u'/' + code;
    if (text.isEmpty())
        m_backend->change({}, [&key](const QString& stored) { return stored == key; });
    else
        m_backend->change({{key, text}});
}

QStringList SettingsStore::holdingCodes() const {
    return m_backend->keys(kHoldingsSection.toString());
}

void SettingsStore::removeKeys(QStringView section, const QStringList& keys) {
    if (keys.isEmpty())
        return;
    const QString prefix = section + u'/';
    m_backend->change({}, [&](const QString& key) {
        return key.startsWith(prefix) && keys.contains(QStringView(key).sliced(prefix.size()));
    });
}

} // namespace tarnwel
