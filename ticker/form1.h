#pragma once

#include "app/environment.h"
#include "app/windowdrag.h"

#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class QFrame;
class QLabel;
class QTimer;

namespace tarnwel {

class ControlLabel;
class Form2;
class Form3;
class Form4;
class QuoteFeed;
class SingleInstance;
struct TickerTexts;

// The ticker: a small frameless window, always on top near the lower right corner of
// the screen, showing one stock of the watch list at a time and both market indices.
// It owns the quote feed and is the hub the other windows reach through.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Environment env, QWidget* parent = nullptr);
    ~Form1() override;

    // The load sequence: single instance, opacity, directory, placement, timers.
    // False when another instance already runs; the caller then ends the program.
    bool Form_Load();

    const Environment& environment() const { return m_env; }
    QuoteFeed* feed() const { return m_feed; }

    // The stealth window, created on first use and kept for the life of the ticker.
    Form4* form4();
    Form4* existingForm4() const;
    // The watch-list and chart windows while they are open; null otherwise.
    QPointer<Form2> watchListWindow;
    QPointer<Form3> chartWindow;

    // Applies a constant alpha (0 invisible … 255 opaque) to the whole window.
    void applyAlpha(int alpha);
    int alpha() const { return m_alpha; }

    // Controls.
    ControlLabel* Label1 = nullptr;        // the stock's name
    ControlLabel* Label2 = nullptr;        // the price, large
    ControlLabel* Label3 = nullptr;        // 昨收 / 今开 / 成交
    ControlLabel* Label4 = nullptr;        // 最高 / 最低
    ControlLabel* Label5 = nullptr;        // 沪综指
    ControlLabel* Label6 = nullptr;        // 深成指
    ControlLabel* Label7 = nullptr;        // the menu hot spot
    ControlLabel* Image1 = nullptr;        // the house icon
    QWidget* Picture1 = nullptr;           // the menu panel
    std::array<ControlLabel*, 4> Label8{}; // the menu items
    QFrame* Line1 = nullptr;               // the menu's separator
    QTimer* Timer1 = nullptr;              // starts the quote feed once
    QTimer* Timer2 = nullptr;              // keeps the ticker on top
    // The stock directory: Shanghai, then (after the load) Shenzhen appended.
    QStringList List1;
    QStringList List2;

    // Handlers.
    void Timer1_Timer();
    void Timer2_Timer();
    void Form_Click();
    void Form_MouseMove(Qt::MouseButtons buttons, QPoint globalPos);
    void Label1_Click();
    void Label5_Click();
    void Label6_Click();
    void Label7_MouseDown(Qt::MouseButton button);
    void Label7_MouseUp(Qt::MouseButton button);
    void Label8_MouseMove(int index);
    void Label8_Click(int index);
    // The menu item shown highlighted (0 … 3).
    int highlightedMenuItem() const { return m_highlighted; }

    // The menu's actions.
    void enterStealthMode();
    void openWatchList();
    void openHelp();
    void exitProgram();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ControlLabel* makeTextLabel(const char* name, int leftTwips, int topTwips);
    void buildMenu();
    void showTexts(const TickerTexts& texts);
    static void setText(QLabel* label, const QString& text);

    Environment m_env;
    QuoteFeed* m_feed = nullptr;
    QPointer<Form4> m_form4;
    std::unique_ptr<SingleInstance> m_instance;
    WindowDrag m_drag;
    QPixmap m_background;
    int m_alpha = 255;
    int m_highlighted = 0;
    bool m_pressedOnBackground = false;
};

} // namespace tarnwel
