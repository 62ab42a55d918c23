// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/listing.h"

#include "base/textfiles.h"

#include <QFile>

// Resources compiled into a static library are not registered until asked for. This has
// to sit outside any namespace: the macro declares the generated function at this scope.
static void registerListingResource() {
    Q_INIT_RESOURCE(listing);
}

namespace tarnwel::listing {

QStringList entries() {
    static const QStringList entries = [] {
        registerListingResource();
        QFile file(QStringLiteral(":/listing/listing.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return QStringList();
        return utf8Lines(file.readAll());
    }();
    return entries;
}

QString matchForm(QStringView text) {
    QString folded;
    folded.reserve(text.size());
    for (const QChar unit : text) {
        const char16_t c = unit.unicode();
        if (c == u' ' || c == u'\u3000')
            continue;
        // The full-width forms U+FF01–U+FF5E mirror ASCII U+0021–U+007E.
        folded.append(c >= 0xFF01 && c <= 0xFF5E ? QChar(char16_t(c - 0xFEE0)) : unit);
    }
    return folded;
}

} // namespace tarnwel::listing
