// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarnwel {

// Replaces the file at `path` with `bytes` atomically: a failed or short write (a full
// disk) leaves the old file whole and returns false.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

// The non-empty lines of UTF-8 text, each without its line end (LF or CR LF); a leading
// byte-order mark is dropped. How the data files compiled into the program are read.
QStringList utf8Lines(const QByteArray& utf8);

} // namespace tarnwel
