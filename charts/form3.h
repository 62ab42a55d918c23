#pragma once

#include <QString>
#include <QWidget>

#include <array>

class QFrame;
class QRadioButton;

namespace tarnwel {

class ChartView;
class ControlLabel;
class Form1;

// The chart window: one chart image, with the subject and period to choose. Opened
// and filled in only by the chart launch; a small fixed tool window that is deleted
// when the user closes it.
class Form3 : public QWidget {
    Q_OBJECT
public:
    // The client area, 8565 × 5595 twips.
    static constexpr QSize kClientSize{571, 373};

    explicit Form3(Form1* ticker);
    ~Form3() override;

    // Centres the window on the screen and pauses the ticker's keep-on-top timer.
    void Form_Load();
    // Resumes the keep-on-top timer of whichever floating window is visible.
    void Form_Unload();

    // The period shown (0 daily, 1 weekly, 2 monthly, 3 intraday) and the code of the
    // stock that Option1 offers. The chart launch writes both.
    int ChartPeriod = 0;
    QString ChartCode;

    // Controls.
    QWidget* Picture2 = nullptr;
    QRadioButton* Option1 = nullptr;       // the ticker's current stock
    QRadioButton* Option2 = nullptr;       // 沪综指
    QRadioButton* Option3 = nullptr;       // 深成指
    std::array<ControlLabel*, 4> Label2{}; // 日K线, 周K线, 月K线, 分时线
    ControlLabel* Label5 = nullptr;        // 刷新
    QFrame* Line1 = nullptr;
    QWidget* Picture1 = nullptr;
    ChartView* W1 = nullptr;

    // Handlers.
    void Label2_Click(int index);
    void Label5_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();

    // Makes `index` the one bold period label.
    void highlightPeriod(int index);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ControlLabel* makeLink(const QString& caption, const char* name, int leftTwips);
    QRadioButton* makeOption(const QString& caption, const char* name, int leftTwips,
                             int widthTwips);
    void showChart(int period, const QString& code);
    QString selectedCode() const;

    Form1* m_ticker;
};

} // namespace tarnwel
