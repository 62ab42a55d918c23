#include "charts/chartlaunch.h"

#include "charts/chartview.h"
#include "charts/form3.h"
#include "ticker/form1.h"
#include "ticker/quotefeed.h"

#include <QRadioButton>

namespace tarnwel {

void LaunchChart(Form1& ticker, ChartSubject subject) {
    const QuoteFeed* feed = ticker.feed();
    LaunchChart(ticker, subject, feed ? feed->CurrentStockName() : QString(),
                feed ? feed->CurrentStockCode() : QString());
}

void LaunchChart(Form1& ticker, ChartSubject subject, const QString& stockName,
                 const QString& stockCode) {
    // An open window is re-targeted where the user left it; only a new one is centred
    // and pauses the ticker's keep-on-top timer.
    Form3* chart = ticker.chartWindow;
    if (!chart) {
        chart = new Form3(&ticker);
        ticker.chartWindow = chart;
        chart->Form_Load();
    }

    // Selecting an option from here emits no click, so the only fetch is the one below.
    switch (subject) {
    case ChartSubject::Stock:
        chart->Option1->setChecked(true);
        break;
    case ChartSubject::ShanghaiIndex:
        chart->Option2->setChecked(true);
        break;
    case ChartSubject::ShenzhenIndex:
        chart->Option3->setChecked(true);
        break;
    }
    chart->Option1->setText(stockName);
    chart->W1->Navigate(
        chartAddress(ticker.environment().chartBaseUrl, 0, chartSubjectCode(subject, stockCode)));
    chart->highlightPeriod(0);
    chart->ChartPeriod = 0;
    chart->ChartCode = stockCode;

    chart->show();
    chart->raise();
    chart->activateWindow();
}

} // namespace tarnwel
