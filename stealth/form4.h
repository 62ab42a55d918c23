// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stealth/colourkey.h"
#include "widgets/windowdrag.h"

#include <QImage>
#include <QWidget>

class QTimer;

namespace tarnwel {

class ControlLabel;

// The stealth window: one keyed-out line, "◆" and the stock's code and price, that
// stands in for the ticker. Only the glyphs show; the blue around them is cut away.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(QWidget* parent = nullptr);
    ~Form4() override;

    // Rows 7 and 8 of a turn's texts: the line's caption and the glyph's tooltip.
    void setQuoteTexts(const QString& caption, const QString& tooltip);
    // What the holdings earn, as lines of rich text below the quote in the glyph's tooltip.
    void showHoldings(const QStringList& richLines);
    // Raises the window every 500 ms while on.
    void setKeepOnTop(bool on);
    // A running keep-on-top timer ticks now and every interval from now.
    void restartKeepOnTop();
    // A "!" between the glyph and the caption for alerts not yet seen, until hovered.
    void showAlertMark(bool on);

    // The line as drawn before keying, at `ratio` device pixels to the logical one
    // (0: the window's screen): the labels on the key blue, no shape.
    QImage renderLine(qreal ratio = 0);
    // The line keyed at `ratio`: what the window paints and the shape it takes.
    KeyedLine keyedLine(qreal ratio);

Q_SIGNALS:
    // A right-button release on the "◆": the current stock's chart.
    void chartRequested();
    // A double-click on the "◆": the line has hidden itself and the ticker is to return.
    void backRequested();
    // The pointer came onto the line while it showed the alert mark; the mark is gone.
    void alertMarkSeen();
    // Each tick of the keep-on-top timer, every kKeepOnTopMs while it runs.
    void keptOnTop();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Closing the line from the window manager returns to the ticker, as a double-click
    // does; the line itself is kept for the next time.
    void closeEvent(QCloseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Label2_MouseMove(Qt::MouseButtons buttons, QPoint globalPos);
    void Label2_MouseUp(Qt::MouseButton button);
    void Label2_DblClick();
    // Shapes the window to the pixels that are not key blue.
    void applyColourKey();
    void updateToolTip();
    void keyWhenShown();

    ControlLabel* Label1 = nullptr; // the code and the price
    ControlLabel* Label2 = nullptr; // "◆"
    QTimer* Timer1 = nullptr;       // keeps the line on top
    WindowDrag m_drag;
    QImage m_keyed;

    ControlLabel* m_alertMark = nullptr; // "!": alerts not yet seen
    QString m_quoteTip;                  // the whole quote on one line
    QStringList m_holdings;              // rich text below it
};

} // namespace tarnwel
