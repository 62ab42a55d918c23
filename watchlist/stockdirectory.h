#pragma once

#include <QString>
#include <QStringList>

namespace tarnwel::stockdirectory {

// The built-in directory of securities, one watch-list entry each, in ascending code
// order within each market. The ticker appends Shenzhen to Shanghai at its load.
QStringList shanghai();
QStringList shenzhen();

// The entries of `directory` in which `text` occurs: a plain, case-sensitive substring
// test over the whole entry, in directory order. Empty text matches every entry.
QStringList filter(const QStringList& directory, const QString& text);

} // namespace tarnwel::stockdirectory
