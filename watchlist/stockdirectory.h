#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarnwel::stockdirectory {

// The built-in directory of securities, one watch-list entry each, in ascending code
// order within each market. The ticker appends Shenzhen to Shanghai at its load.
// Each list is read from the program's resources once; later calls share that copy.
QStringList shanghai();
QStringList shenzhen();

// The entries of `directory` in which `text` occurs: a plain, case-sensitive substring
// test over the whole entry, in directory order. Empty text matches every entry.
QStringList filter(const QStringList& directory, const QString& text);

// One entry per line of UTF-8 text. Empty lines are skipped; a "\r" before the line end
// and a leading byte-order mark are dropped, so a copy re-saved with Windows line ends
// still reads the same.
QStringList parseList(const QByteArray& utf8);

} // namespace tarnwel::stockdirectory
