// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/form1.h"

#include "ticker/artwork.h"
#include "ticker/placement.h"
#include "ticker/tickertexts.h"
#include "ticker/updowncolour.h"
#include "widgets/alertbell.h"
#include "widgets/controllabel.h"
#include "widgets/desktopwindow.h"
#include "widgets/fonts.h"
#include "widgets/pixelratio.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace tarnwel {

namespace {

// The black band across the middle, where the name, the price and what it means stand.
constexpr int kBandTopTwips = 600;
constexpr int kBandHeightTwips = 480;
constexpr int kBandRightTwips = 3690;
constexpr int kPriceLeftTwips = 2340; // the price's own place, kept whenever it fits
constexpr int kPriceTopTwips = 660;
constexpr int kNameLeftTwips = 1260;
constexpr int kNameLeftmostTwips = 720; // clear of the house
constexpr int kGapTwips = 60;
constexpr int kPricePoints = 18;
constexpr int kSmallestPricePoints = 11;
constexpr int kNameTopTwips = 780;
// Where the lines of figures must end: short of the alert bell, of the line beside, of
// the window's edge. A line longer than its room takes a smaller font.
constexpr int kTopLineRightTwips = 3030;
constexpr int kEdgeTwips = 3690;
constexpr int kIndexLineRightTwips = 1980;
constexpr int kFirstLineTopTwips = 120;
constexpr int kSecondLineTopTwips = 390;
constexpr int kIndexTopTwips = 1200;

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A line in a smaller font stays centred on the line it was laid out for.
void centreOnLine(QLabel* label, int topTwips, const QFont& own) {
    label->move(label->x(), px(topTwips) + (QFontMetrics(own).height() - label->height()) / 2);
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_drag(this) {
    registerFontSubstitutions();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tarnwel"));
    setWindowIcon(artwork::programIcon());
    setFixedSize(px(kTickerSizeTwips));
    // The background is painted with the alpha of the user's transparency.
    setAttribute(Qt::WA_TranslucentBackground);
    keepOnEveryDesktop(this);

    buildLabels();
    buildMenu();
    buildArtwork();
    buildTimers();
    connectMouse();
}

void Form1::buildLabels() {
    // Stacking follows creation: the icon lies under the text, the menu panel over all.
    Image1 = new ControlLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(pxRect(0, 240, 1215, 1155));
    Image1->setScaledContents(true);

    Label4 = makeTextLabel("Label4", 120, kFirstLineTopTwips);
    Label3 = makeTextLabel("Label3", 120, kSecondLineTopTwips);
    Label1 = makeTextLabel("Label1", kNameLeftTwips, kNameTopTwips);
    Label1->setText(QStringLiteral("正在连接…"));
    Label1->adjustSize();
    Label2 = makeTextLabel("Label2", kPriceLeftTwips, kPriceTopTwips);
    Label9 = makeTextLabel("Label9", kPriceLeftTwips, kBandTopTwips);
    Label5 = makeTextLabel("Label5", 360, kIndexTopTwips);
    Label6 = makeTextLabel("Label6", 2040, kIndexTopTwips);
    m_lineFont = Label1->font();
    m_priceFont = QFont(QStringLiteral("黑体"));
    m_priceFont.setPointSize(kPricePoints);
    m_priceFont.setWeight(QFont::Normal);
    Label2->setFont(m_priceFont);
    m_priceHeight = QFontMetrics(m_priceFont).height();
    m_besideFont = Label9->font();
    m_besideFont.setPointSize(8);
    Label9->setFont(m_besideFont);
    Label9->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* clickable : {Label1, Label5, Label6})
        clickable->setCursor(Qt::PointingHandCursor);

    Label7 = new ControlLabel(this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(pxRect(3360, 60, 375, 220));

    // Left of the menu hot spot, clear of the lines of figures.
    m_alertMark = new QLabel(this);
    m_alertMark->setObjectName(QStringLiteral("AlertMark"));
    m_alertMark->setGeometry(pxRect(3090, 60, 240, 240));
    m_alertMark->hide();
}

void Form1::buildArtwork() {
    // The artwork is drawn for the screen's pixel density, and drawn again when it changes.
    const auto drawArtwork = [this](qreal ratio) {
        m_background = artwork::tickerBackground(ratio);
        m_menuMark = artwork::tickerMenuMark(ratio);
        Image1->setPixmap(artwork::houseIcon(ratio));
        if (auto* panel = findChild<QLabel*>(QStringLiteral("Picture1")))
            panel->setPixmap(artwork::menuPanel(ratio));
        update();
    };
    drawArtwork(devicePixelRatioF());
    followPixelRatio(this, drawArtwork);
}

void Form1::buildTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(kKeepOnTopMs);
    Timer2->setTimerType(Qt::PreciseTimer); // in step with the feed's pause, not a coarse grid
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
}

void Form1::connectMouse() {
    // Dragging starts from the bare background, the icon and the two small lines;
    // the name, the price, the index lines and the hot spot take the mouse themselves.
    for (ControlLabel* dragger : {Image1, Label3, Label4, Label9}) {
        connect(dragger, &ControlLabel::mouseDown, this,
                [this](Qt::MouseButton button, QPoint at) { m_drag.mousePressed(button, at); });
        connect(dragger, &ControlLabel::mouseMove, this, &Form1::Form_MouseMove);
        connect(dragger, &ControlLabel::mouseUp, this, [this] { m_drag.mouseReleased(); });
    }
    connect(Label1, &ControlLabel::clicked, this,
            [this] { Q_EMIT chartRequested(ChartSubject::Stock); });
    connect(Label5, &ControlLabel::clicked, this,
            [this] { Q_EMIT chartRequested(ChartSubject::ShanghaiIndex); });
    connect(Label6, &ControlLabel::clicked, this,
            [this] { Q_EMIT chartRequested(ChartSubject::ShenzhenIndex); });
    connect(Label7, &ControlLabel::mouseDown, this, &Form1::Label7_MouseDown);
    connect(Label7, &ControlLabel::mouseUp, this, &Form1::Label7_MouseUp);
}

Form1::~Form1() = default;

ControlLabel* Form1::makeTextLabel(const char* name, int leftTwips, int topTwips) {
    auto* label = new ControlLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->move(px(QPoint(leftTwips, topTwips)));
    setTextColour(label, Qt::white);
    label->resize(0, 0);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void Form1::Form_Load(int alpha) {
    applyAlpha(alpha);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize screenTwips = twips(screen->geometry().size());
        move(screen->geometry().topLeft() + px(tickerPlacement(screenTwips)));
    }
    Timer1->start();
}

void Form1::applyAlpha(int alpha) {
    m_alpha = alpha;
    m_backgroundAlpha = desktopBlendsWindows() ? alpha : 255;
    update();
}

void Form1::Timer1_Timer() {
    // The feed runs for the rest of the program's life; only the first tick starts it.
    Timer1->stop();
    Q_EMIT feedWanted();
}

// Ticks now, so that no gap between two grows longer than the interval.
void Form1::restartKeepOnTop() {
    if (!Timer2->isActive())
        return;
    Timer2->start();
    Timer2_Timer();
}

void Form1::setKeepOnTop(bool on) {
    if (on)
        Timer2->start();
    else
        Timer2->stop();
}

void Form1::Timer2_Timer() {
    Q_EMIT keptOnTop();
    // Never over a popup of the program's own: without a window manager the raise would
    // bury the ticker's own tooltip or menu.
    if (QApplication::activePopupWidget() || QToolTip::isVisible())
        return;
    raise();
}

void Form1::Form_Click() {
    Picture1->hide();
}

void Form1::Form_MouseMove(Qt::MouseButtons buttons, QPoint globalPos) {
    m_drag.mouseMoved(buttons, globalPos);
}

void Form1::showTexts(const TickerTexts& texts) {
    const struct {
        QLabel* label;
        const QString& text;
        int rightTwips;
        int topTwips;
    } lines[] = {{Label4, texts.label4, kTopLineRightTwips, kFirstLineTopTwips},
                 {Label3, texts.label3, kEdgeTwips, kSecondLineTopTwips},
                 {Label5, texts.label5, kIndexLineRightTwips, kIndexTopTwips},
                 {Label6, texts.label6, kEdgeTwips, kIndexTopTwips}};
    for (const auto& line : lines) {
        showFitted(line.label, line.text, m_lineFont, px(line.rightTwips) - line.label->x());
        centreOnLine(line.label, line.topTwips, m_lineFont);
    }
    // The band's three lay themselves out together.
    Label2->setText(texts.label2);
    Label9->setText(texts.label9);
    Label1->setText(texts.label1);
    m_shownTexts = true;
    m_stale = false;
    layoutBand();
    m_direction = texts.direction;
    m_shDirection = texts.shDirection;
    m_szDirection = texts.szDirection;
    applyColours();
    m_change = texts.change.isEmpty() ? QString() : texts.label1 + u"  涨跌 " + texts.change;
    updateToolTip();
}

void Form1::setUpDownColours(UpDownColours colours) {
    m_colours = colours;
    applyColours();
}

// Prices that did not come with the latest turn must not look live: grey, and said so beside
// the price until a good reply comes. Before any, the name's place tells the connection.
void Form1::showFailure() {
    if (!m_shownTexts) {
        Label1->setText(QStringLiteral("无法连接"));
        Label1->adjustSize();
        return;
    }
    m_stale = true;
    Label9->setText(QStringLiteral("未更新"));
    layoutBand();
    applyColours();
}

void Form1::applyColours() {
    const QColor stock =
        m_stale ? QColor(0x90, 0x90, 0x90) : directionColour(m_colours, m_direction);
    setTextColour(Label2, stock);
    setTextColour(Label9, stock);
    setTextColour(Label5, directionColour(m_colours, m_shDirection));
    setTextColour(Label6, directionColour(m_colours, m_szDirection));
}

void Form1::layoutBand() {
    // From the right: what the price means, then the price, then the name. The price keeps
    // its own place when there is room; a long one moves left, then pushes the name left
    // as far as the house, and only then gets a smaller font. A name that still has too
    // little room gets a smaller font of its own.
    const int right = px(kBandRightTwips);
    showFitted(Label9, Label9->text(), m_besideFont, right - px(kPriceLeftTwips));
    Label9->move(right - Label9->width(),
                 px(kBandTopTwips + kBandHeightTwips / 2) - Label9->height() / 2);
    const int priceRight = (Label9->text().isEmpty() ? right : Label9->x()) - px(kGapTwips);
    placeName(placePrice(priceRight));
}

// Places the price to end by `priceRight`; returns where it begins.
int Form1::placePrice(int priceRight) {
    const int ownLeft = px(kPriceLeftTwips);
    const int leftmostName = px(kNameLeftmostTwips);
    const int nameWidth = textWidth(m_lineFont, Label1->text());
    // Never larger than the whole band left of what it means.
    QFont font = fittingFont(m_priceFont, Label2->text(), priceRight - leftmostName);
    for (int points = font.pointSize();; --points) {
        font.setPointSize(points);
        Label2->setFont(font);
        Label2->adjustSize();
        const int priceLeft = std::min(ownLeft, priceRight - Label2->width());
        const int nameLeft = std::min(px(kNameLeftTwips), priceLeft - px(kGapTwips) - nameWidth);
        if (nameLeft >= leftmostName || priceLeft == ownLeft || points <= kSmallestPricePoints) {
            // A smaller price stays centred where the full-size one stands.
            Label2->move(priceLeft, px(kPriceTopTwips) + (m_priceHeight - Label2->height()) / 2);
            return priceLeft;
        }
    }
}

void Form1::placeName(int priceLeft) {
    const int nameRight = priceLeft - px(kGapTwips);
    showFitted(Label1, Label1->text(), m_lineFont, nameRight - px(kNameLeftmostTwips));
    Label1->move(std::min(px(kNameLeftTwips), nameRight - Label1->width()), Label1->y());
    centreOnLine(Label1, kNameTopTwips, m_lineFont);
}

void Form1::showFeedStatus(const QString& text) {
    m_feedStatus = text;
    updateToolTip();
}

void Form1::updateToolTip() {
    // The ticker is seldom the active window; its tooltip must show all the same.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    if (!m_holdings.isEmpty()) {
        setToolTip(holdingsToolTip());
        refreshOpenToolTip();
        return;
    }
    const QString text = m_change.isEmpty() ? m_feedStatus : m_change + u'\n' + m_feedStatus;
    setToolTip(plainToolTip(m_alerts.isEmpty() ? text : text + u'\n' + m_alerts));
    refreshOpenToolTip();
}

// A tooltip open while the rotation moves on shows the new stock's text at once.
void Form1::refreshOpenToolTip() {
    if (QToolTip::isVisible() && underMouse())
        QToolTip::showText(QCursor::pos(), toolTip(), this);
}

// The same lines with the holdings' below the change, where their figures can be coloured.
QString Form1::holdingsToolTip() const {
    QStringList lines;
    if (!m_change.isEmpty())
        lines.append(htmlLines(m_change));
    lines += m_holdings;
    lines.append(htmlLines(m_feedStatus));
    if (!m_alerts.isEmpty())
        lines.append(htmlLines(m_alerts));
    return richToolTip(lines);
}

void Form1::showHoldings(const QStringList& richLines) {
    m_holdings = richLines;
    updateToolTip();
}

void Form1::showAlertMark(bool on) {
    if (on)
        m_alertMark->setPixmap(alertBell(m_alertMark->width(), devicePixelRatioF()));
    m_alertMark->setVisible(on);
}

void Form1::showAlerts(const QStringList& lines) {
    m_alerts = lines.isEmpty() ? QString() : u"今日提醒：\n" + lines.join(u'\n');
    updateToolTip();
}

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_alertMark->isVisible()) {
        m_alertMark->hide();
        Q_EMIT alertMarkSeen();
    }
    // The open menu is the user's business; the feed's state does not cover it.
    if (event->type() == QEvent::ToolTip && Picture1->isVisible() &&
        Picture1->geometry().contains(static_cast<QHelpEvent*>(event)->pos())) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void Form1::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // A rectangle at a time: clipped to one rectangle, the background is copied row by
    // row. A clip of several rectangles (a turn's changed labels) would have it blended
    // span by span, and for a tall region by worker threads that then stay alive.
    // Only the background is see-through; the menu's mark and the children stay opaque.
    for (const QRect& rect : event->region()) {
        painter.setClipRect(rect);
        painter.setOpacity(m_backgroundAlpha / 255.0);
        painter.drawPixmap(0, 0, m_background);
        painter.setOpacity(1);
        painter.drawPixmap(0, 0, m_menuMark);
    }
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (menuHoldsMouse()) {
        menuPress(event);
        return;
    }
    m_drag.mousePressed(event->button(), event->globalPosition().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressedOnBackground = true;
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (menuHoldsMouse()) {
        if (const int item = menuItemAt(event->position().toPoint()); item >= 0)
            Label8_MouseMove(item);
        return;
    }
    if (startsDrag(event->buttons()))
        m_pressedOnBackground = false; // a drag, not a click
    Form_MouseMove(event->buttons(), event->globalPosition().toPoint());
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (menuHoldsMouse()) {
        menuRelease(event);
        return;
    }
    m_drag.mouseReleased();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressedOnBackground && rect().contains(event->position().toPoint());
    m_pressedOnBackground = false;
    if (click)
        Form_Click();
}

void Form1::keyPressEvent(QKeyEvent* event) {
    if (Picture1->isVisible() && menuKey(event))
        return;
    QWidget::keyPressEvent(event);
}

void Form1::hideEvent(QHideEvent* event) {
    // A hidden ticker holds neither the mouse nor the keyboard.
    m_menuClosedByPress = false;
    Picture1->hide();
    grabMenuInput(false);
    QWidget::hideEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the ticker from the window manager ends the program like the menu's
    // exit item. A request that reaches it while hidden in stealth mode is a stray one
    // (a window manager's stale focus): nobody can see what they would be closing.
    event->ignore();
    if (isVisible())
        Q_EMIT exitRequested();
}

} // namespace tarnwel
