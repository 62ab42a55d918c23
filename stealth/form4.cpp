// SPDX-License-Identifier: GPL-3.0-or-later
#include "stealth/form4.h"

#include "stealth/colourkey.h"
#include "widgets/controllabel.h"
#include "widgets/desktopwindow.h"
#include "widgets/fonts.h"
#include "widgets/pixelratio.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

namespace tarnwel {

namespace {

// The client area, 1725 × 285 twips.
constexpr QSize kLineSize{115, 19};

} // namespace

Form4::Form4(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_drag(this) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Form4"));
    setFixedSize(kLineSize);
    keepOnEveryDesktop(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kKeepOnTopMs);
    Timer1->setTimerType(Qt::PreciseTimer); // in step with the feed's pause, not a coarse grid

    Label2 = new ControlLabel(QStringLiteral("◆"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(px(QPoint(60, 60)));
    Label1 = new ControlLabel(QStringLiteral("110002:125.3"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(px(QPoint(300, 60)));
    Label1->setTextFormat(Qt::PlainText);
    m_alertMark = new ControlLabel(QStringLiteral("!"), this);
    m_alertMark->setObjectName(QStringLiteral("AlertMark"));
    m_alertMark->move(px(QPoint(210, 60)));
    m_alertMark->hide();
    // The tooltip shows whenever the pointer rests on the glyph: on a real desktop the
    // line is almost never the active window.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    connect(Timer1, &QTimer::timeout, this, &Form4::Timer1_Timer);
    connect(Label2, &ControlLabel::mouseDown, this,
            [this](Qt::MouseButton button, QPoint at) { m_drag.mousePressed(button, at); });
    connect(Label2, &ControlLabel::mouseMove, this, &Form4::Label2_MouseMove);
    connect(Label2, &ControlLabel::mouseUp, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton)
            m_drag.mouseReleased();
        Label2_MouseUp(button);
    });
    connect(Label2, &ControlLabel::doubleClicked, this, &Form4::Label2_DblClick);

    Form_Load();
}

Form4::~Form4() = default;

void Form4::Form_Load() {
    // The key colour fills the window; the labels draw on it without a background.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor::fromRgb(kStealthKey));
    // The default text colour is the button text's. A scheme whose text is the key
    // itself would key the whole line away, leaving nothing to double-click.
    QColor text = QApplication::palette().color(QPalette::ButtonText);
    if ((text.rgb() & RGB_MASK) == kStealthKey)
        text = Qt::black;
    pal.setColor(QPalette::WindowText, text);
    setPalette(pal);
    setAutoFillBackground(true);

    // Antialiased edges would blend the glyphs into the blue, and those blended pixels
    // would survive the key as a blue fringe. Hard edges key out cleanly.
    QFont f = font();
    f.setPointSize(9);
    f.setStyleStrategy(QFont::NoAntialias);
    setFont(f);
    Label2->adjustSize();
    Label1->adjustSize();
    m_alertMark->adjustSize();

    applyColourKey();
    followPixelRatio(this, [this](qreal) { applyColourKey(); });
}

void Form4::setQuoteTexts(const QString& caption, const QString& tooltip) {
    m_quoteTip = tooltip;
    updateToolTip();
    if (caption == Label1->text())
        return;
    // The window keeps its size; a caption longer than the room to its right edge takes
    // a smaller font.
    showFitted(Label1, caption, font(), width() - Label1->x());
    keyWhenShown();
}

void Form4::showHoldings(const QStringList& richLines) {
    m_holdings = richLines;
    updateToolTip();
}

void Form4::updateToolTip() {
    if (m_holdings.isEmpty())
        Label2->setToolTip(plainToolTip(m_quoteTip));
    else
        Label2->setToolTip(richToolTip(QStringList{htmlLines(m_quoteTip)} + m_holdings));
}

QImage Form4::renderLine(qreal ratio) {
    if (ratio <= 0)
        ratio = devicePixelRatioF();
    // As large as the window's backing store at that ratio.
    QImage image(size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor::fromRgb(kStealthKey));
    // Only the labels: the window's own painting shows the line keyed before.
    for (QWidget* label : {static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label1),
                           static_cast<QWidget*>(m_alertMark)}) {
        if (!label->isHidden())
            label->render(&image, label->pos(), QRegion(), QWidget::DrawChildren);
    }
    return image;
}

KeyedLine Form4::keyedLine(qreal ratio) {
    return keyToLogicalGrid(renderLine(ratio), size(), palette().color(QPalette::WindowText).rgb());
}

void Form4::applyColourKey() {
    // The shape can only cut whole logical pixels; the window paints exactly the device
    // pixels it lets through, so no key blue shows at any display scale. Where the
    // platform cannot shape windows the line shows on its blue background.
    const KeyedLine keyed = keyedLine(devicePixelRatioF());
    m_keyed = keyed.pixels;
    setMask(keyed.shape);
    update();
}

void Form4::keyWhenShown() {
    // The hidden line takes each turn's price; keying it every turn would be work for
    // nobody. It is keyed as it shows.
    if (isVisible())
        applyColourKey();
}

void Form4::paintEvent(QPaintEvent*) {
    QPainter(this).drawImage(0, 0, m_keyed);
}

void Form4::showEvent(QShowEvent* event) {
    // The style may have settled the font and colours only now.
    applyColourKey();
    QWidget::showEvent(event);
}

// Ticks now, so that no gap between two grows longer than the interval.
void Form4::restartKeepOnTop() {
    if (!Timer1->isActive())
        return;
    Timer1->start();
    Timer1_Timer();
}

void Form4::setKeepOnTop(bool on) {
    if (on)
        Timer1->start();
    else
        Timer1->stop();
}

void Form4::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (isVisible())
        Label2_DblClick();
}

void Form4::showAlertMark(bool on) {
    if (on == !m_alertMark->isHidden())
        return;
    m_alertMark->setVisible(on);
    keyWhenShown();
}

void Form4::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (!m_alertMark->isHidden()) {
        showAlertMark(false);
        Q_EMIT alertMarkSeen();
    }
}

void Form4::Timer1_Timer() {
    Q_EMIT keptOnTop();
    // Never over a popup of the program's own, such as the line's tooltip.
    if (QApplication::activePopupWidget() || QToolTip::isVisible())
        return;
    raise();
}

void Form4::Label2_MouseMove(Qt::MouseButtons buttons, QPoint globalPos) {
    m_drag.mouseMoved(buttons, globalPos);
}

void Form4::Label2_MouseUp(Qt::MouseButton button) {
    if (button == Qt::RightButton)
        Q_EMIT chartRequested();
}

void Form4::Label2_DblClick() {
    hide();
    Q_EMIT backRequested();
}

} // namespace tarnwel
