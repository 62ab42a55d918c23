#include "watchlist/stockdirectory.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringMatcher>

// Resources compiled into a static library are not registered until asked for. This has
// to sit outside any namespace: the macro declares the generated function at this scope.
static void registerDirectoryResource() {
    Q_INIT_RESOURCE(directory);
}

namespace tarnwel::stockdirectory {

namespace {

QStringList readList(const QString& path) {
    static const bool registered = [] {
        registerDirectoryResource();
        return true;
    }();
    Q_UNUSED(registered)

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseList(file.readAll());
}

} // namespace

QStringList shanghai() {
    static const QStringList entries = readList(QStringLiteral(":/directory/shanghai.txt"));
    return entries;
}

QStringList shenzhen() {
    static const QStringList entries = readList(QStringLiteral(":/directory/shenzhen.txt"));
    return entries;
}

QStringList parseList(const QByteArray& utf8) {
    // The decoder drops a leading byte-order mark.
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(utf8);

    QStringList entries;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty())
            entries.append(line.toString());
    }
    return entries;
}

QStringList filter(const QStringList& directory, const QString& text) {
    // Every entry matches: hand back the directory itself, shared, not copied entry by entry.
    if (text.isEmpty())
        return directory;

    // This runs on every keystroke: no regrowing of the result, a plain code-unit scan for a
    // single character, and the needle's skip table built once rather than once per entry.
    QStringList result;
    result.reserve(directory.size());
    if (text.size() == 1) {
        const QChar unit = text.front();
        for (const QString& entry : directory) {
            if (entry.contains(unit, Qt::CaseSensitive))
                result.append(entry);
        }
        return result;
    }

    const QStringMatcher matcher(text, Qt::CaseSensitive);
    for (const QString& entry : directory) {
        if (matcher.indexIn(entry) >= 0)
            result.append(entry);
    }
    return result;
}

} // namespace tarnwel::stockdirectory
