// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

class QLabel;
class QString;

namespace tarnwel {

// The layouts name the classic Chinese system fonts "黑体" and "宋体". Where they are
// missing (Linux), map them to CJK fonts that are commonly installed. Safe to call
// more than once.
void registerFontSubstitutions();

// The windows are laid out for a 9 pt interface font; a larger desktop default would
// clip the lists and captions.
void useNinePointFont();

// The largest of `own` and its smaller sizes, a whole point apart, in which every line of
// `text` is at most `width` pixels wide; where none is, the smallest. Texts are never cut
// or shortened to fit: the font gives way instead.
QFont fittingFont(const QFont& own, const QString& text, int width);

// Shows `text` in `label` at the fitting font for `width`, the label sized to the text.
void showFitted(QLabel* label, const QString& text, const QFont& own, int width);

// The widest line of `text` in `font`.
int textWidth(const QFont& font, const QString& text);

} // namespace tarnwel
