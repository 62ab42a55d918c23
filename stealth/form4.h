#pragma once

#include "app/windowdrag.h"
#include "stealth/colourkey.h"

#include <QImage>
#include <QWidget>

class QTimer;

namespace tarnwel {

class ControlLabel;
class Form1;

// The stealth window: one keyed-out line, "◆" and the stock's code and price, that
// stands in for the ticker. Only the glyphs show; the blue around them is cut away.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(Form1* ticker);
    ~Form4() override;

    // Rows 7 and 8 of a turn's texts: the line's caption and the glyph's tooltip.
    void setQuoteTexts(const QString& caption, const QString& tooltip);

    // Handlers.
    void Timer1_Timer();
    void Label2_MouseMove(Qt::MouseButtons buttons, QPoint globalPos);
    void Label2_MouseUp(Qt::MouseButton button);
    void Label2_DblClick();

    // The line as drawn before keying, at `ratio` device pixels to the logical one
    // (0: the window's screen): the labels on the key blue, no shape.
    QImage renderLine(qreal ratio = 0);
    // The line keyed at `ratio`: what the window paints and the shape it takes.
    KeyedLine keyedLine(qreal ratio);

    ControlLabel* Label1 = nullptr;
    ControlLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Form_Load();
    // Shapes the window to the pixels that are not key blue.
    void applyColourKey();

    Form1* m_ticker;
    WindowDrag m_drag;
    QImage m_keyed;
};

} // namespace tarnwel
