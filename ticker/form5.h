// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"
#include "charts/chartaddress.h"
#include "widgets/windowdrag.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QGridLayout;
class QLabel;
class QMenu;
class QTimer;

namespace tarnwel {

class ControlLabel;

// One line of the list as the window shows it.
struct ListLine {
    QString code;
    QString name;
    QString price;  // or empty
    QString change; // or the word for a price that is not a traded one
    QString percent;
    QString profit;  // today's profit of a holding; empty where there is none
    QString toolTip; // what the ticker's tooltip would say of this stock
    int direction = 0;
    bool index = false;
    friend bool operator==(const ListLine&, const ListLine&) = default;
};

// "自选股列表": the whole watch list at once, in a small frameless table that stays on top:
// the two indices, every stock with its price, change and percent (and today's profit where
// a holding has one), and the holdings' total. Its menu opens from the gear in its
// top-right corner, as the ticker's does. It knows no other window.
class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(QWidget* parent = nullptr);
    ~Form5() override;

    // The lines, and the total of today's profit ("合计"); an empty total shows no such row.
    void showLines(const QList<ListLine>& lines, const QString& total);
    void setUpDownColours(UpDownColours colours);
    // The background's alpha (0 see-through … 255 opaque); the texts stay opaque.
    void applyAlpha(int alpha);
    void setKeepOnTop(bool on);
    // Where the window's bottom-right corner stands; it stays there as the rows change.
    void placeBottomRight(QPoint corner);
    QPoint bottomRight() const;
    // Marks the rows of these codes with the bell of an alert not yet seen.
    void markAlerted(const QStringList& codes);

Q_SIGNALS:
    // A stock row clicked: its chart, by name and code; an index row: that index's.
    void chartRequested(tarnwel::ChartSubject subject, const QString& name, const QString& code);
    void stealthRequested();
    void tickerRequested();
    void watchListRequested();
    void helpRequested();
    void exitRequested();
    // The pointer rested on the list while a row carried an alert's mark; the marks go.
    void alertMarkSeen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void buildGear();
    ControlLabel* cell(int row, int column, const QString& text, Qt::Alignment alignment);
    void addLine(int row, const ListLine& line, bool profits);
    void addHeader(bool profits);
    void clearRows();
    void rebuild(const QList<ListLine>& lines, const QString& total);
    void fitToRows();
    QColor signColour(const QString& amount) const;
    void lineClicked(const ListLine& line);

    QGridLayout* m_grid = nullptr;
    ControlLabel* Label7 = nullptr; // the menu's hot spot
    QMenu* m_menu = nullptr;
    QTimer* Timer1 = nullptr; // keeps the list on top
    WindowDrag m_drag;
    QList<ListLine> m_lines;
    QString m_total;
    QStringList m_alerted;
    UpDownColours m_colours = UpDownColours::RedUp;
    int m_alpha = 153;
    QPoint m_corner; // bottom right, once placed
    bool m_laidOut = false;
};

} // namespace tarnwel
