// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "charts/chartaddress.h"

#include <QString>
#include <QUrl>
#include <QWidget>

#include <array>

class QFrame;
class QKeyEvent;
class QRadioButton;

namespace tarnwel {

class ChartLoader;
class ChartView;
class ControlLabel;

// The chart window: one chart image, with the subject and period to choose. A small
// fixed tool window that is deleted when the user closes it.
class Form3 : public QWidget {
    Q_OBJECT
public:
    // The client area, 8565 × 5595 twips.
    static constexpr QSize kClientSize{571, 373};

    // Where the charts come from, how long a load may stall and where they are cached.
    struct Options {
        QUrl chartBaseUrl; // ends in "/"
        int fetchTimeoutMs = 60000;
        QString chartCacheDir; // empty: no disk cache
    };

    explicit Form3(const Options& options);
    ~Form3() override;

    // Centres the window on the screen.
    void Form_Load();

    // Shows the daily chart of `subject` and brings the window up. The stock option
    // is captioned `stockName` and stands for `stockCode`, whatever the subject.
    void showDailyChart(ChartSubject subject, const QString& stockName, const QString& stockCode);

Q_SIGNALS:
    // The user has closed the window; it is deleted once control returns to the loop.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static QWidget* makePanel(QWidget* parent, const char* name, const QRect& geometry);
    void buildChoices();
    void buildView(const Options& options);
    ControlLabel* makeLink(const QString& caption, const char* name, int leftTwips);
    QRadioButton* makeOption(const QString& caption, const char* name, int leftTwips,
                             int widthTwips);
    void navigate(int period, const QString& code);
    QString selectedCode() const;
    // Makes `index` the one bold period label.
    void highlightPeriod(int index);

    void Label2_Click(int index);
    void Label5_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();

    QWidget* Picture2 = nullptr;
    QRadioButton* Option1 = nullptr;       // the ticker's current stock
    QRadioButton* Option2 = nullptr;       // 沪综指
    QRadioButton* Option3 = nullptr;       // 深成指
    std::array<ControlLabel*, 4> Label2{}; // 日K线, 周K线, 月K线, 分时线
    ControlLabel* Label5 = nullptr;        // 刷新
    QFrame* Line1 = nullptr;
    QWidget* Picture1 = nullptr;
    ChartView* W1 = nullptr;
    ChartLoader* m_loader = nullptr;

    // The period shown (0 daily, 1 weekly, 2 monthly, 3 intraday) and the code of the
    // stock that Option1 offers.
    int ChartPeriod = 0;
    QString ChartCode;
    QString m_stockName; // the stock subject's name, for the title
    QUrl m_chartBaseUrl;
};

} // namespace tarnwel
