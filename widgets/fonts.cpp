// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/fonts.h"

#include <QApplication>
#include <QFont>
#include <QStringList>

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

} // namespace tarnwel
