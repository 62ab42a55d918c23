// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/stockdirectory.h"

#include "base/textfiles.h"
#include "watchlist/entry.h"
#include "watchlist/listing.h"

#include <QFile>
#include <QStringMatcher>

#include <algorithm>

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
    return utf8Lines(utf8);
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

bool isInitialsText(QStringView text) {
    if (text.size() < 2)
        return false;
    return std::all_of(text.begin(), text.end(),
                       [](QChar unit) { return unit >= u'a' && unit <= u'z'; });
}

Search::Search(QStringList entries, const QHash<char16_t, pinyin::KeySet>& initials, Match match)
    : m_entries(std::move(entries))
    , m_match(match) {
    if (m_match == Match::Folded) {
        m_folded.reserve(m_entries.size());
        for (const QString& entry : std::as_const(m_entries)) {
            const QString form = listing::matchForm(entry);
            m_folded.append(form == entry ? entry : form); // shared where nothing changed
        }
    }
    m_starts.reserve(size_t(m_entries.size()) + 1);
    m_keys.reserve(size_t(m_entries.size()) * 5);
    for (const QString& entry : std::as_const(m_entries)) {
        m_starts.push_back(qsizetype(m_keys.size()));
        // Only the name is read by its initials; the code is found by the plain filter.
        const QString name = entryName(entry).value_or(entry);
        const std::vector<pinyin::Key> keys = pinyin::keysOf(name, initials);
        m_keys.insert(m_keys.end(), keys.begin(), keys.end());
    }
    m_starts.push_back(qsizetype(m_keys.size()));
}

QStringList Search::search(const QString& text) const {
    if (m_match == Match::Folded)
        return folded(text);
    QStringList result = filter(m_entries, text);
    if (result.isEmpty() && isInitialsText(text))
        result = byInitials(text);
    return result;
}

QStringList Search::folded(const QString& text) const {
    const QString form = listing::matchForm(text);
    // Blanks alone ask for nothing; they must not list every entry.
    if (form.isEmpty())
        return {};
    QStringList result;
    const QStringMatcher matcher(form, Qt::CaseSensitive);
    for (qsizetype i = 0; i < m_folded.size(); ++i) {
        if (matcher.indexIn(m_folded[i]) >= 0)
            result.append(m_entries[i]);
    }
    if (result.isEmpty() && isInitialsText(form))
        result = byInitials(form);
    return result;
}

QStringList Search::byInitials(QStringView text) const {
    const pinyin::Pattern pattern(text);
    const pinyin::Key* keys = m_keys.data();
    const qsizetype* starts = m_starts.data();
    QStringList beginning;
    QStringList inside;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const qsizetype at = pattern.indexIn(keys + starts[i], starts[i + 1] - starts[i]);
        if (at == 0)
            beginning.append(m_entries[i]);
        else if (at > 0)
            inside.append(m_entries[i]);
    }
    return beginning + inside;
}

Found find(const Search& directory, const Search& listing, const QString& text) {
    Found found{directory.search(text)};
    if (found.entries.isEmpty()) {
        found.entries = listing.search(text);
        found.fromListing = !found.entries.isEmpty();
    }
    return found;
}

QString todaysEntry(const Search& listing, const QString& entry) {
    const std::optional<QString> code = entryCode(entry);
    if (!code)
        return entry;
    const QString tail = u'(' + *code + u')';
    for (const QString& listed : listing.entries()) {
        if (listed.endsWith(tail))
            return listed;
    }
    return entry;
}

} // namespace tarnwel::stockdirectory
