// SPDX-License-Identifier: GPL-3.0-or-later
// The ticker's own pop-up menu: the panel, its items and their actions.
#include "ticker/form1.h"

#include "ticker/artwork.h"
#include "widgets/controllabel.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

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

// The items from the top of the panel down, the order the arrow keys walk.
constexpr std::array<int, 5> kOnPanel{Stealth, List, WatchList, Help, Exit};

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
    panel->installEventFilter(this);
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
    // Hidden while the button is held; the release opens it unless this click was the
    // second one on the gear, which closes it.
    if (button != Qt::LeftButton)
        return;
    m_menuWasOpen = Picture1->isVisible();
    Picture1->hide();
}

void Form1::Label7_MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    if (!std::exchange(m_menuWasOpen, false))
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
    m_litItem = index;
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

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::Show)
        grabMenuInput(true);
    // The press that closed the panel keeps the mouse until its release, which would
    // otherwise reach the control under it (and open the panel again from the gear).
    else if (watched == Picture1 && event->type() == QEvent::Hide && !m_menuClosedByPress)
        grabMenuInput(false);
    return QWidget::eventFilter(watched, event);
}

void Form1::grabMenuInput(bool on) {
    setMouseTracking(on); // to light the item under the pointer while the mouse is held
    if (on) {
        grabMouse();
        grabKeyboard();
        return;
    }
    if (mouseGrabber() == this)
        releaseMouse();
    if (keyboardGrabber() == this)
        releaseKeyboard();
}

bool Form1::menuHoldsMouse() const {
    return mouseGrabber() == this && (Picture1->isVisible() || m_menuClosedByPress);
}

int Form1::menuItemAt(QPoint pos) const {
    for (int i = 0; i < int(Label8.size()); ++i) {
        if (Label8[i]->geometry().contains(Picture1->mapFrom(this, pos)))
            return i;
    }
    return -1;
}

void Form1::menuPress(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (Picture1->geometry().contains(pos)) {
        m_menuPressedItem = menuItemAt(pos);
        return;
    }
    m_menuClosedByPress = true;
    Picture1->hide();
}

void Form1::menuRelease(QMouseEvent* event) {
    if (m_menuClosedByPress) {
        if (event->buttons() == Qt::NoButton) {
            m_menuClosedByPress = false;
            grabMenuInput(false);
        }
        return;
    }
    const int pressed = std::exchange(m_menuPressedItem, -1);
    if (event->button() == Qt::LeftButton && pressed >= 0 &&
        menuItemAt(event->position().toPoint()) == pressed)
        Label8_Click(pressed);
}

// Escape closes the panel; an item's letter, or Enter on the lit item, chooses it; the
// arrows move the light.
bool Form1::menuKey(QKeyEvent* event) {
    const int count = int(Label8.size());
    switch (event->key()) {
    case Qt::Key_Escape:
        Picture1->hide();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Label8_Click(m_litItem);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const auto at = std::find(kOnPanel.begin(), kOnPanel.end(), m_litItem) - kOnPanel.begin();
        const int step = event->key() == Qt::Key_Down ? 1 : count - 1;
        Label8_MouseMove(kOnPanel[(at + step) % count]);
        return true;
    }
    default:
        break;
    }
    const QString letter = event->text().toUpper();
    for (int i = 0; i < count && letter.size() == 1; ++i) {
        if (QStringView(kMenuItems[i].caption).endsWith(QString(u'(' + letter + u')'))) {
            Label8_Click(i);
            return true;
        }
    }
    return false;
}

} // namespace tarnwel
