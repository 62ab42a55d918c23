// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

namespace tarnwel {

// The keys of an INI file, "section/key" to the value; the keys of section [General] (or
// before any section) stand without one.
using IniValues = QMap<QString, QString>;

// How values stand in the file. Unquoted: a value that is one string in double quotes (as
// Qt's format writes some) has them taken off, and is quoted when written only where it
// would not read back as it is. Verbatim: the text after "=" as it stands, written as
// given, for values in a syntax of the caller's own such as Qt's lists (base/inilist.h).
enum class IniText { Unquoted, Verbatim };

// INI text read and written keeping every value as the text it is: Qt's own format reads
// ";" as the start of a comment and "," as a list separator, which would cut a stored
// alert such as "above:5.50;below:5.00" short and rewrite it so on the next save. Here a
// line is "[section]", "key=value" or, starting with ";" or "#", a comment.
IniValues parsePlainIni(const QByteArray& utf8, IniText form = IniText::Unquoted);
// Sections in order, [General] first.
QByteArray plainIniText(const IniValues& values, IniText form = IniText::Unquoted);

// Writes a file's new contents whole; false when the old file stays as it was.
using FileWriter = std::function<bool(const QString& path, const QByteArray& bytes)>;

// The file as it reads; empty when it is missing or cannot be read.
IniValues readPlainIniFile(const QString& path, IniText form = IniText::Unquoted);
// Replaces the file with `values` in one atomic write (through `write` when given),
// making its directory where needed.
bool writePlainIniFile(const QString& path, const IniValues& values, const FileWriter& write = {},
                       IniText form = IniText::Unquoted);

} // namespace tarnwel
