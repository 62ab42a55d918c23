// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>

#include <vector>

namespace tarnwel::pinyin {

// Bits 0–25 stand for the letters a–z, bits 26–35 for the digits 0–9.
using KeySet = quint64;

// What one character of a name can be typed as: a Chinese character by the initial of any
// of its readings, a letter or digit by itself (case and width folded: "Ａ" is "a"), and
// anything else ("*", "-", a character without a known reading) by itself only.
struct Key {
    KeySet keys = 0;
    char16_t self = 0; // the folded character
};

// The table of initials: each line "letters characters", such as "hx 行", with "#" lines
// for comments. The program's own table (initials.txt) is compiled in.
QHash<char16_t, KeySet> parseTable(const QByteArray& utf8);
const QHash<char16_t, KeySet>& table();

// Upper case to lower case and full-width ASCII to ASCII; everything else stays.
char16_t fold(char16_t unit);

// The keys of each character of `name`, looked up in `initials`.
std::vector<Key> keysOf(QStringView name, const QHash<char16_t, KeySet>& initials = table());

// A typed text, folded once so that it can be matched against many names.
class Pattern {
public:
    explicit Pattern(QStringView text);

    // Where the text first matches the initials of `keys`, or -1: the character at that
    // place and each following one can be typed as the next character of the text. Empty
    // text matches at 0; a text longer than the name matches nowhere.
    qsizetype indexIn(const Key* keys, qsizetype count) const;

private:
    std::vector<KeySet> m_bits;    // a letter's or digit's bit; 0 for anything else
    std::vector<char16_t> m_units; // the folded characters
};

// The letters a single character may be typed as, in alphabetical order ("hx" for 行).
QString initialsOf(char16_t character, const QHash<char16_t, KeySet>& initials = table());

} // namespace tarnwel::pinyin
