// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace tarnwel {

// A list held in one INI value, in the form Qt's INI format gives it, so that files it
// wrote read as they did and files written here read in Qt: items separated by commas,
// each quoted where it holds one (or ";" or "=") or begins or ends with a blank, "\"
// escapes, a leading "@" doubled, "@Invalid()" for no items.
QStringList iniList(const QString& text);
QString iniListText(const QStringList& items);

} // namespace tarnwel
