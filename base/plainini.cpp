// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/plainini.h"

#include "base/textfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwel {

namespace {

const QString kGeneral = QStringLiteral("General");

// The text inside the quotes of a value that is one quoted string; the value itself for
// anything else, such as a list of quoted items.
QString unquoted(const QString& value) {
    if (value.size() < 2 || !value.startsWith(u'"') || !value.endsWith(u'"'))
        return value;
    QString text;
    const QStringView inner = QStringView(value).sliced(1, value.size() - 2);
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'"')
            return value;
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

} // namespace

IniValues parsePlainIni(const QByteArray& utf8, IniText form) {
    IniValues values;
    QString section;
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1); // as an editor may save it
    for (const QStringView raw : QStringView(text).split(u'\n')) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.sliced(1, line.size() - 2).trimmed().toString();
            if (section.compare(kGeneral, Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        const QString value = line.sliced(equals + 1).trimmed().toString();
        // At the end, where a file written in order puts each key: no search.
        values.insert(values.cend(), section.isEmpty() ? key : section + u'/' + key,
                      form == IniText::Unquoted ? unquoted(value) : value);
    }
    return values;
}

QByteArray plainIniText(const IniValues& values, IniText form) {
    QMap<QString, QStringList> sections; // in order, the general one first
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        sections[section].append(it.key().sliced(slash + 1) + u'=' +
                                 (form == IniText::Unquoted ? written(it.value()) : it.value()));
    }
    QString text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!text.isEmpty())
            text += u'\n';
        text += u'[' + (it.key().isEmpty() ? kGeneral : it.key()) + u"]\n";
        text += it.value().join(u'\n') + u'\n';
    }
    return text.toUtf8();
}

IniValues readPlainIniFile(const QString& path, IniText form) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parsePlainIni(file.readAll(), form);
}

bool writePlainIniFile(const QString& path, const IniValues& values, const FileWriter& write,
                       IniText form) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray text = plainIniText(values, form);
    return write ? write(path, text) : writeFileAtomically(path, text);
}

} // namespace tarnwel
