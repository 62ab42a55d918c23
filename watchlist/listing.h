// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tarnwel::listing {

// Today's listed stocks of the three exchanges, one watch-list entry each
// ("宁德时代(sz300750)"): Shanghai, Shenzhen, then Beijing, each in code order. It is no part
// of the directory: the watch-list search turns to it only when the directory finds
// nothing. Read from the program's resources once; later calls share that copy.
QStringList entries();

// The form in which typed text and a listing entry meet: spaces dropped (the exchanges pad
// short names with them) and the full-width forms of ASCII read as ASCII, so that "万科A"
// finds "万科Ａ". Case is kept, as the directory's filter keeps it.
QString matchForm(QStringView text);

} // namespace tarnwel::listing
