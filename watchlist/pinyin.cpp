// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/pinyin.h"

#include "base/textfiles.h"

#include <QFile>

// Resources compiled into a static library are not registered until asked for. This has
// to sit outside any namespace: the macro declares the generated function at this scope.
static void registerInitialsResource() {
    Q_INIT_RESOURCE(initials);
}

namespace tarnwel::pinyin {

namespace {

constexpr int kDigitBit = 26;

// The key bit of a folded letter or digit, or 0 for any other character.
KeySet bitOf(char16_t folded) {
    if (folded >= u'a' && folded <= u'z')
        return KeySet(1) << (folded - u'a');
    if (folded >= u'0' && folded <= u'9')
        return KeySet(1) << (kDigitBit + folded - u'0');
    return 0;
}

} // namespace

char16_t fold(char16_t unit) {
    // The full-width forms U+FF01–U+FF5E mirror ASCII U+0021–U+007E.
    if (unit >= 0xFF01 && unit <= 0xFF5E)
        unit = char16_t(unit - 0xFEE0);
    if (unit >= u'A' && unit <= u'Z')
        unit = char16_t(unit - u'A' + u'a');
    return unit;
}

QHash<char16_t, KeySet> parseTable(const QByteArray& utf8) {
    QHash<char16_t, KeySet> initials;
    for (const QString& text : utf8Lines(utf8)) {
        const QStringView line(text);
        if (line.startsWith(u'#'))
            continue;
        const qsizetype space = line.indexOf(u' ');
        if (space <= 0)
            continue;
        KeySet keys = 0;
        for (QChar letter : line.first(space))
            keys |= bitOf(fold(letter.unicode()));
        if (keys == 0)
            continue;
        for (QChar character : line.sliced(space + 1))
            initials[character.unicode()] |= keys;
    }
    return initials;
}

const QHash<char16_t, KeySet>& table() {
    static const QHash<char16_t, KeySet> initials = [] {
        registerInitialsResource();
        QFile file(QStringLiteral(":/pinyin/initials.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return QHash<char16_t, KeySet>();
        return parseTable(file.readAll());
    }();
    return initials;
}

std::vector<Key> keysOf(QStringView name, const QHash<char16_t, KeySet>& initials) {
    std::vector<Key> keys;
    keys.reserve(size_t(name.size()));
    for (QChar character : name) {
        // A letter or digit stands for itself; any other character for the initials of its
        // readings, and always for itself too.
        const char16_t folded = fold(character.unicode());
        const KeySet own = bitOf(folded);
        keys.push_back({own != 0 ? own : initials.value(character.unicode(), 0), folded});
    }
    return keys;
}

Pattern::Pattern(QStringView text) {
    m_bits.reserve(size_t(text.size()));
    m_units.reserve(size_t(text.size()));
    for (QChar unit : text) {
        m_units.push_back(fold(unit.unicode()));
        m_bits.push_back(bitOf(m_units.back()));
    }
}

qsizetype Pattern::indexIn(const Key* keys, qsizetype count) const {
    const qsizetype length = qsizetype(m_units.size());
    const KeySet* bits = m_bits.data();
    const char16_t* units = m_units.data();
    for (qsizetype start = 0; start + length <= count; ++start) {
        qsizetype i = 0;
        for (; i < length; ++i) {
            // A letter or digit is tested by its bit, anything else by itself.
            const Key& key = keys[start + i];
            if (bits[i] != 0 ? (key.keys & bits[i]) == 0 : key.self != units[i])
                break;
        }
        if (i == length)
            return start;
    }
    return -1;
}

QString initialsOf(char16_t character, const QHash<char16_t, KeySet>& initials) {
    const KeySet keys = initials.value(character, 0);
    QString letters;
    for (int bit = 0; bit < 26; ++bit) {
        if (keys & (KeySet(1) << bit))
            letters.append(QChar(u'a' + bit));
    }
    return letters;
}

} // namespace tarnwel::pinyin
