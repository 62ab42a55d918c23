#include "ticker/form1.h"

#include "app/controllabel.h"
#include "app/fonts.h"
#include "app/pixelratio.h"
#include "app/settingsstore.h"
#include "app/singleinstance.h"
#include "app/transparency.h"
#include "app/twips.h"
#include "charts/chartlaunch.h"
#include "charts/form3.h"
#include "stealth/form4.h"
#include "ticker/artwork.h"
#include "ticker/placement.h"
#include "ticker/quotefeed.h"
#include "watchlist/form2.h"
#include "watchlist/stockdirectory.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace tarnwel {

Form1::Form1(Environment env, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_env(std::move(env))
    , m_drag(this) {
    registerFontSubstitutions();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tarnwel"));
    setWindowIcon(artwork::programIcon());
    setFixedSize(px(kTickerSizeTwips));

    // Stacking follows creation: the icon lies under the text, the menu panel over all.
    Image1 = new ControlLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(pxRect(0, 240, 1215, 1155));
    Image1->setScaledContents(true);

    Label4 = makeTextLabel("Label4", 120, 120);
    Label3 = makeTextLabel("Label3", 120, 390);
    Label1 = makeTextLabel("Label1", 1260, 780);
    Label2 = makeTextLabel("Label2", 2340, 660);
    Label5 = makeTextLabel("Label5", 360, 1200);
    Label6 = makeTextLabel("Label6", 2040, 1200);
    QFont priceFont(QStringLiteral("黑体"));
    priceFont.setPointSize(18);
    priceFont.setWeight(QFont::Normal);
    Label2->setFont(priceFont);
    for (QLabel* clickable : {Label1, Label5, Label6})
        clickable->setCursor(Qt::PointingHandCursor);

    Label7 = new ControlLabel(this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(pxRect(3360, 60, 375, 220));

    buildMenu();

    // The artwork is drawn for the screen's pixel density, and drawn again when it changes.
    const auto drawArtwork = [this](qreal ratio) {
        m_background = artwork::tickerBackground(ratio);
        Image1->setPixmap(artwork::houseIcon(ratio));
        if (auto* panel = findChild<QLabel*>(QStringLiteral("Picture1")))
            panel->setPixmap(artwork::menuPanel(ratio));
        update();
    };
    drawArtwork(devicePixelRatioF());
    followPixelRatio(this, drawArtwork);

    List1 = stockdirectory::shanghai();
    List2 = stockdirectory::shenzhen();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);

    QuoteFeed::Options options;
    options.baseUrl = m_env.quoteBaseUrl;
    options.referer = m_env.quoteReferer;
    options.watchListPath = m_env.watchListPath;
    options.turnPauseMs = m_env.turnPauseMs;
    options.fetchTimeoutMs = m_env.fetchTimeoutMs;
    m_feed = new QuoteFeed(options, this);
    connect(m_feed, &QuoteFeed::textsReady, this, &Form1::showTexts);

    // Dragging starts from the bare background, the icon and the two small lines;
    // the name, the price, the index lines and the hot spot take the mouse themselves.
    for (ControlLabel* dragger : {Image1, Label3, Label4}) {
        connect(dragger, &ControlLabel::mouseMove, this, &Form1::Form_MouseMove);
        connect(dragger, &ControlLabel::mouseUp, this, [this] { m_drag.mouseReleased(); });
    }
    connect(Label1, &ControlLabel::clicked, this, &Form1::Label1_Click);
    connect(Label5, &ControlLabel::clicked, this, &Form1::Label5_Click);
    connect(Label6, &ControlLabel::clicked, this, &Form1::Label6_Click);
    connect(Label7, &ControlLabel::mouseDown, this, &Form1::Label7_MouseDown);
    connect(Label7, &ControlLabel::mouseUp, this, &Form1::Label7_MouseUp);
}

Form1::~Form1() {
    // The other windows have no parent of their own; they go with the ticker.
    delete watchListWindow.data();
    delete chartWindow.data();
    delete m_form4.data();
}

ControlLabel* Form1::makeTextLabel(const char* name, int leftTwips, int topTwips) {
    auto* label = new ControlLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->move(px(QPoint(leftTwips, topTwips)));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    label->resize(0, 0);
    return label;
}

bool Form1::Form_Load() {
    if (!m_env.lockPath.isEmpty()) {
        m_instance = std::make_unique<SingleInstance>(m_env.lockPath);
        if (!m_instance->acquire())
            return false;
    }
    if (m_env.settings)
        applyAlpha(alphaFromTransparency(m_env.settings->value(QStringLiteral("op"))));
    List1 += List2;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize screenTwips = twips(screen->geometry().size());
        move(screen->geometry().topLeft() + px(tickerPlacement(screenTwips)));
    }
    Timer1->start();
    Timer2->start();
    return true;
}

Form4* Form1::form4() {
    if (!m_form4)
        m_form4 = new Form4(this);
    return m_form4;
}

Form4* Form1::existingForm4() const {
    return m_form4;
}

void Form1::applyAlpha(int alpha) {
    m_alpha = alpha;
    setWindowOpacity(alpha / 255.0);
}

void Form1::Timer1_Timer() {
    // The feed runs for the rest of the program's life; only the first tick starts it.
    Timer1->stop();
    m_feed->RefreshQuotes();
}

void Form1::Timer2_Timer() {
    raise();
}

void Form1::Form_Click() {
    Picture1->hide();
}

void Form1::Form_MouseMove(Qt::MouseButtons buttons, QPoint globalPos) {
    m_drag.mouseMoved(buttons, globalPos);
}

void Form1::Label1_Click() {
    LaunchChart(*this, ChartSubject::Stock);
}

void Form1::Label5_Click() {
    LaunchChart(*this, ChartSubject::ShanghaiIndex);
}

void Form1::Label6_Click() {
    LaunchChart(*this, ChartSubject::ShenzhenIndex);
}

void Form1::setText(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();
}

void Form1::showTexts(const TickerTexts& texts) {
    setText(Label4, texts.label4);
    setText(Label3, texts.label3);
    setText(Label2, texts.label2);
    setText(Label5, texts.label5);
    setText(Label6, texts.label6);
    setText(Label1, texts.label1);
    form4()->setQuoteTexts(texts.stealthCaption, texts.stealthTooltip);
}

void Form1::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressedOnBackground = true;
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (startsDrag(event->buttons()))
        m_pressedOnBackground = false; // a drag, not a click
    Form_MouseMove(event->buttons(), event->globalPosition().toPoint());
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    m_drag.mouseReleased();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressedOnBackground && rect().contains(event->position().toPoint());
    m_pressedOnBackground = false;
    if (click)
        Form_Click();
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing the ticker from the window manager ends the program like the menu's
    // exit item.
    event->ignore();
    exitProgram();
}

} // namespace tarnwel
