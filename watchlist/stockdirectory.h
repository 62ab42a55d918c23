// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "watchlist/pinyin.h"

#include <vector>

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

// Whether `text` asks for a search by pinyin initials: two or more lower-case ASCII letters.
bool isInitialsText(QStringView text);

// The search of the watch-list window over one list of entries (the merged directory, or
// today's listing). First the plain filter above; only when it finds nothing and the text
// is initials ("zgsh"), the entries whose name's initials begin with the text, then those
// whose initials contain it elsewhere, each in list order. Every name's initials are
// worked out once, here, so that a keystroke costs one pass over small arrays.
class Search {
public:
    // How the text meets the entries in the plain filter.
    enum class Match {
        Exact,  // code units as they are: the directory's rule
        Folded, // both read in listing::matchForm(): spaces dropped, full-width as ASCII
    };

    Search() = default;
    explicit Search(QStringList entries,
                    const QHash<char16_t, pinyin::KeySet>& initials = pinyin::table(),
                    Match match = Match::Exact);

    const QStringList& entries() const { return m_entries; }
    QStringList search(const QString& text) const;

    // Only the initials part: entries whose initials begin with, then contain, `text`.
    QStringList byInitials(QStringView text) const;

private:
    QStringList folded(const QString& text) const;

    QStringList m_entries;
    QStringList m_folded; // Folded: each entry in its match form
    Match m_match = Match::Exact;
    std::vector<pinyin::Key> m_keys; // every entry's name, one after the other
    std::vector<qsizetype> m_starts; // where each entry's keys begin; one more at the end
};

// What the watch-list window lists for a text, and from where.
struct Found {
    QStringList entries;
    bool fromListing = false;
};

// The directory's search first; only when it finds nothing, the listing's (an empty
// text lists the whole directory).
Found find(const Search& directory, const Search& listing, const QString& text);

// `entry` under the name that `listing` gives its code; `entry` itself where the listing does
// not hold the code.
QString todaysEntry(const Search& listing, const QString& entry);

} // namespace tarnwel::stockdirectory
