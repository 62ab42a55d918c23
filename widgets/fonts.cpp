// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QStringList>

#include <algorithm>

namespace tarnwel {

void registerFontSubstitutions() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList sans;
    sans << QStringLiteral("SimHei") << QStringLiteral("WenQuanYi Micro Hei")
         << QStringLiteral("WenQuanYi Zen Hei") << QStringLiteral("Noto Sans CJK SC")
         << QStringLiteral("Source Han Sans SC") << QStringLiteral("Droid Sans Fallback");
    QStringList serif;
    serif << QStringLiteral("SimSun") << QStringLiteral("AR PL UMing CN")
          << QStringLiteral("Noto Serif CJK SC") << QStringLiteral("Source Han Serif SC")
          << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Noto Sans CJK SC");
    QFont::insertSubstitutions(QStringLiteral("黑体"), sans);
    QFont::insertSubstitutions(QStringLiteral("宋体"), serif);
}

void useNinePointFont() {
    QFont font = QApplication::font();
    font.setPointSize(9);
    QApplication::setFont(font);
}

int textWidth(const QFont& font, const QString& text) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

QFont fittingFont(const QFont& own, const QString& text, int width) {
    QFont font = own;
    for (int points = own.pointSize(); points > 1 && textWidth(font, text) > width; --points)
        font.setPointSize(points - 1);
    return font;
}

void showFitted(QLabel* label, const QString& text, const QFont& own, int width) {
    label->setText(text);
    label->setFont(fittingFont(own, text, width));
    label->adjustSize();
}

} // namespace tarnwel
