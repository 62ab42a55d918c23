// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/plainini.h"

#include <QIODevice>
#include <QMap>
#include <QStringList>

namespace tarnwel {

namespace {

const QString kGeneral = QStringLiteral("General");

QString unquoted(const QString& value) {
    if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"'))
        return value;
    QString text;
    const QStringView inner = QStringView(value).sliced(1, value.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'\\' && i + 1 < inner.size())
            ++i;
        text += inner[i];
    }
    return text;
}

// Quoted only where the text would not read back as it is.
QString written(const QString& value) {
    const bool plain = value == value.trimmed() && !value.startsWith(u'"') &&
                       !value.contains(u'\n') && !value.contains(u'\r');
    if (plain)
        return value;
    QString text = value;
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    text.replace(u'\n', u' ').replace(u'\r', u' ');
    return u'"' + text + u'"';
}

bool readPlainIni(QIODevice& device, QSettings::SettingsMap& map) {
    QString section;
    QString text = QString::fromUtf8(device.readAll());
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1); // as an editor may save it
    const QStringList lines = text.split(u'\n');
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.sliced(1, line.size() - 2).trimmed();
            if (section.compare(kGeneral, Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString path = section.isEmpty() ? key : section + u'/' + key;
        map.insert(path, unquoted(line.sliced(equals + 1).trimmed()));
    }
    return true;
}

bool writePlainIni(QIODevice& device, const QSettings::SettingsMap& map) {
    QMap<QString, QStringList> sections; // in order, the general one first
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString key = it.key().sliced(slash + 1);
        sections[section].append(key + u'=' + written(it.value().toString()));
    }
    QString text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!text.isEmpty())
            text += u'\n';
        text += u'[' + (it.key().isEmpty() ? kGeneral : it.key()) + u"]\n";
        text += it.value().join(u'\n') + u'\n';
    }
    return device.write(text.toUtf8()) >= 0;
}

} // namespace

QSettings::Format plainIniFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readPlainIni, writePlainIni);
    return format;
}

} // namespace tarnwel
