#pragma once

#include <QWidget>

class QTimer;

namespace tarnwel {

class ControlLabel;
class Form1;

// The stealth window: one keyed-out line, "◆" and the stock's code and price, that
// stands in for the ticker.
class Form4 : public QWidget {
    Q_OBJECT
public:
    explicit Form4(Form1* ticker);
    ~Form4() override;

    // Rows 7 and 8 of a turn's texts: the line's caption and the glyph's tooltip.
    void setQuoteTexts(const QString& caption, const QString& tooltip);

    ControlLabel* Label1 = nullptr;
    ControlLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

private:
    Form1* m_ticker;
};

} // namespace tarnwel
