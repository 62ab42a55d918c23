// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"
#include "charts/chartaddress.h"
#include "widgets/windowdrag.h"

#include <QFont>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QTimer;

namespace tarnwel {

class ControlLabel;
struct TickerTexts;

// The ticker: a small frameless window, always on top near the lower right corner of
// the screen, showing one stock of the watch list at a time and both market indices.
// It tells what the user asked for through its signals and knows no other window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The load: the transparency, the place near the lower right corner of the primary
    // screen, and the timer that asks for the quote feed once.
    void Form_Load(int alpha);

    // Up and down in colour, or everything white; applied at once.
    void setUpDownColours(UpDownColours colours);

    // The background's alpha (0 see-through … 255 opaque); the texts and the artwork
    // on it stay opaque.
    void applyAlpha(int alpha);
    int alpha() const { return m_alpha; }

    // A turn's texts, in the order they are written.
    void showTexts(const TickerTexts& texts);
    // A turn that brought nothing new: the prices on show are greyed until the next texts.
    void showFailure();
    // The quote feed's state, as the tooltip of the whole ticker outside its menu panel;
    // shown also while another window is active.
    void showFeedStatus(const QString& text);
    // Raises the window every 500 ms while on.
    void setKeepOnTop(bool on);
    // A running keep-on-top timer ticks now and every interval from now.
    void restartKeepOnTop();
    // The bell of alerts not yet seen, until the pointer rests on the ticker.
    void showAlertMark(bool on);
    // Today's alerts, listed in the tooltip.
    void showAlerts(const QStringList& lines);
    // What the holdings earn, as lines of rich text below the stock's change in the
    // tooltip; none leaves the tooltip plain.
    void showHoldings(const QStringList& richLines);

Q_SIGNALS:
    // The first tick after the load: the quote feed is to start.
    void feedWanted();
    void chartRequested(tarnwel::ChartSubject subject);
    // The menu's items; exit also when the window manager closes the ticker.
    void stealthRequested();
    void listRequested();
    void watchListRequested();
    void helpRequested();
    void exitRequested();
    // The pointer rested on the ticker while it showed the alert bell; the bell is gone.
    void alertMarkSeen();
    // Each tick of the keep-on-top timer, every kKeepOnTopMs while it runs.
    void keptOnTop();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ControlLabel* makeTextLabel(const char* name, int leftTwips, int topTwips);
    void buildLabels();
    void buildMenu();
    void buildArtwork();
    void buildTimers();
    void connectMouse();
    void layoutBand();
    int placePrice(int priceRight);
    void placeName(int priceLeft);
    void applyColours();
    void updateToolTip();
    void refreshOpenToolTip();
    QString holdingsToolTip() const;

    void Timer1_Timer();
    void Timer2_Timer();
    void Form_Click();
    void Form_MouseMove(Qt::MouseButtons buttons, QPoint globalPos);
    void Label7_MouseDown(Qt::MouseButton button);
    void Label7_MouseUp(Qt::MouseButton button);
    void Label8_MouseMove(int index);
    void Label8_Click(int index);
    // While the panel is open it holds the mouse and the keyboard, as a menu does: a
    // press anywhere outside closes it, and its letters choose from the keyboard.
    void grabMenuInput(bool on);
    bool menuHoldsMouse() const;
    int menuItemAt(QPoint pos) const;
    void menuPress(QMouseEvent* event);
    void menuRelease(QMouseEvent* event);
    bool menuKey(QKeyEvent* event);

    ControlLabel* Label1 = nullptr;        // the stock's name
    ControlLabel* Label2 = nullptr;        // the price, large
    ControlLabel* Label3 = nullptr;        // 昨收 / 今开 / 成交
    ControlLabel* Label4 = nullptr;        // 最高 / 最低
    ControlLabel* Label5 = nullptr;        // 沪综指
    ControlLabel* Label6 = nullptr;        // 深成指
    ControlLabel* Label9 = nullptr;        // beside the price: what it is
    ControlLabel* Label7 = nullptr;        // the menu hot spot
    ControlLabel* Image1 = nullptr;        // the house icon
    QWidget* Picture1 = nullptr;           // the menu panel
    std::array<ControlLabel*, 5> Label8{}; // the menu items
    QFrame* Line1 = nullptr;               // the menu's separator
    QTimer* Timer1 = nullptr;              // asks for the quote feed once
    QTimer* Timer2 = nullptr;              // keeps the ticker on top

    WindowDrag m_drag;
    QPixmap m_background;
    QPixmap m_menuMark; // over the background, opaque
    // The labels' own fonts, which a text too long for its room makes smaller.
    QFont m_lineFont;
    QFont m_priceFont;
    QFont m_besideFont;
    int m_alpha = 255;
    int m_backgroundAlpha = 255; // what the desktop can show of it
    int m_priceHeight = 0;       // of the price in its full size
    UpDownColours m_colours = UpDownColours::RedUp;
    bool m_shownTexts = false; // a turn has written the labels
    bool m_stale = false;      // the latest turn failed
    int m_direction = 0;       // of the stock shown, and of the two indices
    int m_shDirection = 0;
    int m_szDirection = 0;
    QString m_change;     // the stock's change, for the tooltip
    QString m_feedStatus; // what the quote feed knows
    QString m_alerts;     // today's alerts, for the tooltip
    // What the holdings earn, in rich text, for the tooltip.
    QStringList m_holdings;
    QLabel* m_alertMark = nullptr;
    bool m_pressedOnBackground = false;
    int m_menuPressedItem = -1;       // the item a press on the open panel fell on
    bool m_menuClosedByPress = false; // the press closed the panel; its release is ours
    bool m_menuWasOpen = false;       // when the hot spot was pressed
    int m_litItem = 0;
};

} // namespace tarnwel
