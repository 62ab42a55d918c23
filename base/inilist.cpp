// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/inilist.h"

#include <optional>
#include <utility>

namespace tarnwel {

namespace {

const QString kNoItems = QStringLiteral("@Invalid()");

// A backslash and a letter, and the character they stand for; the last two are only read.
constexpr std::pair<char16_t, char16_t> kEscapes[] = {
    {u'a', u'\a'}, {u'b', u'\b'}, {u'f', u'\f'},  {u'n', u'\n'}, {u'r', u'\r'}, {u't', u'\t'},
    {u'v', u'\v'}, {u'"', u'"'},  {u'\\', u'\\'}, {u'?', u'?'},  {u'\'', u'\''}};
constexpr int kWrittenEscapes = 9;

std::optional<char16_t> escapedBy(QChar letter) {
    for (const auto& [written, meaning] : kEscapes) {
        if (letter == written)
            return meaning;
    }
    return std::nullopt;
}

std::optional<char16_t> letterFor(QChar c) {
    for (int i = 0; i < kWrittenEscapes; ++i) {
        if (c == kEscapes[i].second)
            return kEscapes[i].first;
    }
    return std::nullopt;
}

int digitValue(QChar c, int base) {
    int value = -1;
    if (c >= u'0' && c <= u'9')
        value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c.unicode() - u'A' + 10;
    return value < base ? value : -1;
}

// Reads the items the way Qt's INI reader does.
class ListReader {
public:
    explicit ListReader(QStringView text)
        : m_text(text) {}

    QStringList items() {
        QStringList items;
        skipBlanks();
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at++];
            if (c == u'\\')
                escape();
            else if (c == u'"')
                quote();
            else if (c == u',' && !m_inQuotes)
                items.append(takeItem());
            else
                m_item += c;
        }
        items.append(takeItem());
        return items;
    }

private:
    void skipBlanks() {
        while (m_at < m_text.size() && (m_text[m_at] == u' ' || m_text[m_at] == u'\t'))
            ++m_at;
    }
    void quote() {
        m_quoted = true;
        m_inQuotes = !m_inQuotes;
        if (!m_inQuotes)
            skipBlanks();
    }
    QString takeItem() {
        // Blanks at the end are the file's layout, unless quoted or escaped.
        while (!m_quoted && m_item.size() > m_kept &&
               (m_item.endsWith(u' ') || m_item.endsWith(u'\t')))
            m_item.chop(1);
        QString item = std::exchange(m_item, {});
        m_kept = 0;
        m_quoted = false;
        skipBlanks();
        return item.startsWith(u"@@") ? item.sliced(1) : item;
    }
    void escape() {
        if (m_at >= m_text.size())
            return;
        const QChar c = m_text[m_at];
        if (c == u'x') {
            ++m_at;
            number(16);
        } else if (digitValue(c, 8) >= 0) {
            number(8);
        } else {
            ++m_at;
            // Any other character after a backslash is dropped.
            if (const std::optional<char16_t> meaning = escapedBy(c))
                m_item += QChar(*meaning);
        }
        m_kept = m_item.size();
    }
    void number(int base) {
        const qsizetype start = m_at;
        char16_t value = 0;
        for (int digit; m_at < m_text.size() && (digit = digitValue(m_text[m_at], base)) >= 0;
             ++m_at)
            value = char16_t(value * base + digit);
        if (m_at > start)
            m_item += QChar(value);
    }

    QStringView m_text;
    qsizetype m_at = 0;
    QString m_item;
    qsizetype m_kept = 0; // characters of the item that are not layout
    bool m_quoted = false;
    bool m_inQuotes = false;
};

QString itemText(const QString& item) {
    QString text;
    bool quoted = false;
    bool afterNumber = false; // a hex digit right after "\x…" would join the number
    for (const QChar c : item.startsWith(u'@') ? u'@' + item : item) {
        quoted = quoted || c == u';' || c == u',' || c == u'=';
        if (const std::optional<char16_t> letter = letterFor(c)) {
            text += u'\\' + QChar(*letter);
        } else if (c.unicode() < 0x20 || (afterNumber && digitValue(c, 16) >= 0)) {
            text += QStringLiteral("\\x") + QString::number(c.unicode(), 16);
            afterNumber = true;
            continue;
        } else {
            text += c;
        }
        afterNumber = false;
    }
    if (quoted || text.startsWith(u' ') || text.endsWith(u' '))
        return u'"' + text + u'"';
    return text;
}

} // namespace

QStringList iniList(const QString& text) {
    if (text.isEmpty() || text == kNoItems)
        return {};
    return ListReader(text).items();
}

QString iniListText(const QStringList& items) {
    if (items.isEmpty())
        return kNoItems;
    QStringList texts;
    for (const QString& item : items)
        texts.append(itemText(item));
    return texts.join(QStringLiteral(", "));
}

} // namespace tarnwel
