// SPDX-License-Identifier: GPL-3.0-or-later
#include "charts/form3.h"

#include "charts/chartloader.h"
#include "charts/chartview.h"
#include "widgets/centring.h"
#include "widgets/controllabel.h"
#include "widgets/fonts.h"
#include "widgets/twips.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTimer>

namespace tarnwel {

Form3::Form3(const Options& options)
    : QWidget(nullptr,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_chartBaseUrl(options.chartBaseUrl) {
    registerFontSubstitutions();
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Until the first chart names it; left empty, the platform would show the program's name.
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(kClientSize);

    Picture2 = makePanel(this, "Picture2", pxRect(0, 0, 8535, 5595));
    buildChoices();
    buildView(options);

    // Only the user's own choice of a subject fetches a chart: QRadioButton::clicked
    // is not emitted when the launch selects an option itself.
    connect(Option1, &QRadioButton::clicked, this, &Form3::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Form3::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &Form3::Option3_Click);

    QWidget* const tabOrder[] = {Picture2,  Picture1, W1,      Label2[0], Label2[1], Label2[2],
                                 Label2[3], Option1,  Option2, Option3,   Label5};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// The panels take the system's window colours, as a page would.
QWidget* Form3::makePanel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    return panel;
}

// The subjects, the periods and the refresh link along the top, above a teal line.
void Form3::buildChoices() {
    Option2 = makeOption(QStringLiteral("沪综指"), "Option2", 60, 915);
    Option3 = makeOption(QStringLiteral("深成指"), "Option3", 960, 915);
    Option1 = makeOption(QStringLiteral("中国银行"), "Option1", 1860, 1275);
    Option1->setChecked(true);

    static const int periodLefts[kChartPeriodCount] = {3360, 4020, 4680, 5340};
    const QString periodCaptions[kChartPeriodCount] = {
        QStringLiteral("日K线"), QStringLiteral("周K线"), QStringLiteral("月K线"),
        QStringLiteral("分时线")};
    for (int i = 0; i < kChartPeriodCount; ++i) {
        // One control array: the members share the name and differ by index.
        Label2[i] = makeLink(periodCaptions[i], "Label2", periodLefts[i]);
        Label2[i]->setProperty("Index", i);
        connect(Label2[i], &ControlLabel::clicked, this, [this, i] { Label2_Click(i); });
    }
    Label5 = makeLink(QStringLiteral("刷新"), "Label5", 6120);
    connect(Label5, &ControlLabel::clicked, this, &Form3::Label5_Click);

    Line1 = new QFrame(Picture2);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setGeometry(0, px(480), px(8520), 1);
    QPalette linePalette = Line1->palette();
    linePalette.setColor(QPalette::Window, QColor(0, 128, 128));
    Line1->setPalette(linePalette);
    Line1->setBackgroundRole(QPalette::Window);
    Line1->setAutoFillBackground(true);
}

// The chart picture and what fetches it.
void Form3::buildView(const Options& options) {
    // The view is larger than its panel on every side; the panel clips away the bands
    // that would hold a browser's border and scroll bars, so exactly the panel shows.
    Picture1 = makePanel(Picture2, "Picture1", pxRect(0, 660, 8475, 4875));
    W1 = new ChartView(Picture1);
    W1->setObjectName(QStringLiteral("W1"));
    W1->setGeometry(pxRect(-30, -30, 8835, 5235));

    m_loader = new ChartLoader(this);
    m_loader->setCacheDirectory(options.chartCacheDir);
    m_loader->setTransferTimeout(options.fetchTimeoutMs);
    connect(m_loader, &ChartLoader::started, W1, &ChartView::showLoading);
    connect(m_loader, &ChartLoader::loaded, W1, &ChartView::showPicture);
    connect(m_loader, &ChartLoader::failed, W1, &ChartView::showFailure);
}

Form3::~Form3() = default;

ControlLabel* Form3::makeLink(const QString& caption, const char* name, int leftTwips) {
    auto* label = new ControlLabel(caption, Picture2);
    label->setObjectName(QString::fromLatin1(name));
    QFont font(QStringLiteral("宋体"));
    font.setPointSize(9);
    font.setWeight(QFont::Normal);
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    label->setForegroundRole(QPalette::WindowText);
    label->setCursor(Qt::PointingHandCursor);
    label->move(px(QPoint(leftTwips, 180)));
    label->adjustSize();
    return label;
}

QRadioButton* Form3::makeOption(const QString& caption, const char* name, int leftTwips,
                                int widthTwips) {
    auto* option = new QRadioButton(caption, Picture2);
    option->setObjectName(QString::fromLatin1(name));
    // A fixed box: a long stock name is cut off rather than pushing into its neighbours.
    option->setGeometry(pxRect(leftTwips, 180, widthTwips, 195));
    QPalette palette = option->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    palette.setColor(QPalette::ButtonText, QColor(255, 0, 0));
    palette.setColor(QPalette::Window, Qt::white);
    option->setPalette(palette);
    option->setBackgroundRole(QPalette::Window);
    option->setForegroundRole(QPalette::WindowText);
    option->setAutoFillBackground(true);
    return option;
}

void Form3::Form_Load() {
    centreOnScreen(this, QGuiApplication::primaryScreen());
}

void Form3::showDailyChart(ChartSubject subject, const QString& stockName,
                           const QString& stockCode) {
    // Selecting an option from here emits no click, so the only fetch is the one below.
    switch (subject) {
    case ChartSubject::Stock:
        Option1->setChecked(true);
        break;
    case ChartSubject::ShanghaiIndex:
        Option2->setChecked(true);
        break;
    case ChartSubject::ShenzhenIndex:
        Option3->setChecked(true);
        break;
    }
    // A button's text would turn "&" into a shortcut.
    Option1->setText(QString(stockName).replace(u'&', QStringLiteral("&&")));
    m_stockName = stockName;
    ChartPeriod = 0;
    ChartCode = stockCode;
    navigate(0, chartSubjectCode(subject, stockCode));
    highlightPeriod(0);

    show();
    raise();
    activateWindow();
}

void Form3::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT closed();
}

// Escape closes the window, so that it can be closed where no window manager draws a title
// bar.
void Form3::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void Form3::highlightPeriod(int index) {
    for (int i = 0; i < kChartPeriodCount; ++i) {
        QFont font = Label2[i]->font();
        font.setBold(i == index);
        Label2[i]->setFont(font);
        Label2[i]->adjustSize();
    }
}

QString Form3::selectedCode() const {
    if (Option1->isChecked())
        return ChartCode;
    if (Option2->isChecked())
        return chartSubjectCode(ChartSubject::ShanghaiIndex, ChartCode);
    return chartSubjectCode(ChartSubject::ShenzhenIndex, ChartCode);
}

void Form3::navigate(int period, const QString& code) {
    if (period < 0 || period >= kChartPeriodCount)
        return;
    m_loader->Navigate(chartAddress(m_chartBaseUrl, period, code));
    // "中国石化(sh600028) 日K线": what the chart shows, also in the taskbar.
    const QString subject = Option1->isChecked()   ? m_stockName
                            : Option2->isChecked() ? Option2->text()
                                                   : Option3->text();
    setWindowTitle(subject + u'(' + code + u") " + Label2[period]->text());
}

void Form3::Label2_Click(int index) {
    if (index < 0 || index >= kChartPeriodCount)
        return;
    highlightPeriod(index);
    ChartPeriod = index;
    navigate(index, selectedCode());
}

void Form3::Label5_Click() {
    navigate(ChartPeriod, selectedCode());
}

void Form3::Option1_Click() {
    navigate(ChartPeriod, ChartCode);
}

void Form3::Option2_Click() {
    navigate(ChartPeriod, chartSubjectCode(ChartSubject::ShanghaiIndex, ChartCode));
}

void Form3::Option3_Click() {
    navigate(ChartPeriod, chartSubjectCode(ChartSubject::ShenzhenIndex, ChartCode));
}

} // namespace tarnwel
