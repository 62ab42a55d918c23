// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/textfiles.h"

#include <QSaveFile>
#include <QStringDecoder>

namespace tarnwel {

bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s result; a buffered flush would
    // drop it silently and commit a truncated file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QStringList utf8Lines(const QByteArray& utf8) {
    // The decoder drops a leading byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(utf8);

    QStringList lines;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty())
            lines.append(line.toString());
    }
    return lines;
}

} // namespace tarnwel
