// SPDX-License-Identifier: GPL-3.0-or-later
// The ticker's own pop-up menu: the panel, its items and their actions.
#include "ticker/form1.h"

#include "ticker/artwork.h"
#include "widgets/controllabel.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QFrame>

namespace tarnwel {

namespace {

struct MenuItem {
    const char16_t* caption;
    int topTwips;
};

// Each caption begins with one blank, a margin before the text. The list item came last and
// keeps the last index, but stands second.
constexpr std::array<MenuItem, 5> kMenuItems{{
    {u" 切换到隐蔽模式(V)", 60},
    {u" 设置自选股(S)", 540},
    {u" 操作帮助(H)", 780},
    {u" 退出(E)", 1080},
    {u" 切换到列表模式(L)", 300},
}};

enum MenuAction { Stealth = 0, WatchList = 1, Help = 2, Exit = 3, List = 4 };

void paintItem(QLabel* item, bool highlighted) {
    QPalette pal = item->palette();
    pal.setColor(QPalette::Window,
                 highlighted ? QApplication::palette().color(QPalette::Active, QPalette::Highlight)
                             : QColor(Qt::white));
    pal.setColor(QPalette::WindowText, highlighted ? Qt::white : Qt::black);
    item->setPalette(pal);
}

} // namespace

void Form1::buildMenu() {
    // The panel draws its own picture and keeps the mouse to itself: a click or a drag
    // on its bare parts must neither close it nor move the ticker.
    auto* panel = new QLabel(this);
    panel->setObjectName(QStringLiteral("Picture1"));
    panel->setGeometry(pxRect(1620, 60, 1740, 1350));
    panel->setPixmap(artwork::menuPanel());
    panel->setAttribute(Qt::WA_NoMousePropagation);
    panel->hide();
    Picture1 = panel;

    for (int i = 0; i < int(kMenuItems.size()); ++i) {
        auto* item = new ControlLabel(QString::fromUtf16(kMenuItems[i].caption), Picture1);
        item->setObjectName(QStringLiteral("Label8"));
        item->setProperty("Index", i);
        item->setGeometry(pxRect(60, kMenuItems[i].topTwips, 1635, 195));
        item->setAutoFillBackground(true);
        // Highlighting follows the mouse with no button held.
        item->setMouseTracking(true);
        paintItem(item, i == 0);
        connect(item, &ControlLabel::mouseMove, this, [this, i] { Label8_MouseMove(i); });
        connect(item, &ControlLabel::clicked, this, [this, i] { Label8_Click(i); });
        Label8[i] = item;
    }

    Line1 = new QFrame(Picture1);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setGeometry(pxRect(0, 1020, 1740, 15));
    QPalette linePalette = Line1->palette();
    linePalette.setColor(QPalette::Window,
                         QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    Line1->setPalette(linePalette);
    Line1->setAutoFillBackground(true);
}

void Form1::Label7_MouseDown(Qt::MouseButton button) {
    // Hidden while the button is held, shown on release: a left click on the hot spot
    // always leaves the panel open.
    if (button == Qt::LeftButton)
        Picture1->hide();
}

void Form1::Label7_MouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        Picture1->show();
}

void Form1::Label8_MouseMove(int index) {
    if (index < 0 || index >= int(Label8.size()))
        return;
    // Nothing clears the highlight when the mouse leaves: the last item touched stays
    // lit, also when the panel is opened again.
    for (ControlLabel* item : Label8)
        paintItem(item, false);
    paintItem(Label8[index], true);
}

void Form1::Label8_Click(int index) {
    switch (index) {
    case Stealth:
        Q_EMIT stealthRequested();
        break;
    case WatchList:
        Q_EMIT watchListRequested();
        break;
    case Help:
        Q_EMIT helpRequested();
        break;
    case Exit:
        Q_EMIT exitRequested();
        break;
    case List:
        Q_EMIT listRequested();
        break;
    default:
        return;
    }
    Picture1->hide();
}

} // namespace tarnwel
