// SPDX-License-Identifier: GPL-3.0-or-later
#include "ticker/form5.h"

#include "ticker/artwork.h"
#include "ticker/updowncolour.h"
#include "widgets/controllabel.h"
#include "widgets/desktopwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolTip>

namespace tarnwel {

namespace {

enum Column { Name, Price, Change, Percent, Profit };

// Rows and columns of the grid: the gear's row first, then the header.
constexpr int kHeaderRow = 1;
constexpr int kFirstLineRow = 2;
constexpr int kMarginPx = 6;

void paintText(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

Form5::Form5(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus)
    , m_drag(this) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("自选股列表"));
    setWindowIcon(artwork::programIcon());
    // Never takes the focus from the user's work; only the background is see-through.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    keepOnEveryDesktop(this);
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(kMarginPx, 2, kMarginPx, kMarginPx);
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(1);
    m_grid->setSizeConstraint(QLayout::SetFixedSize);
    buildGear();
    buildMenu();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kKeepOnTopMs);
    connect(Timer1, &QTimer::timeout, this, [this] {
        // Never over a popup of the program's own: its menu, a row's tooltip.
        if (!QApplication::activePopupWidget() && !QToolTip::isVisible())
            raise();
    });
    rebuild({}, {});
}

Form5::~Form5() = default;

void Form5::buildGear() {
    Label7 = new ControlLabel(QStringLiteral("⚙▾"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setCursor(Qt::PointingHandCursor);
    paintText(Label7, QColor(0xc0, 0xc0, 0xc0));
    m_grid->addWidget(Label7, 0, Name, 1, -1, Qt::AlignRight);
    connect(Label7, &ControlLabel::clicked, this,
            [this] { m_menu->popup(Label7->mapToGlobal(QPoint(0, Label7->height()))); });
}

void Form5::buildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("Picture1"));
    const auto item = [this](const char16_t* caption, void (Form5::*signal)()) {
        QAction* action = m_menu->addAction(QString::fromUtf16(caption));
        connect(action, &QAction::triggered, this, signal);
    };
    // The letters shown choose their items from the keyboard while the menu is open.
    item(u" 切换到隐蔽模式(&V)", &Form5::stealthRequested);
    item(u" 切换到单股模式(&T)", &Form5::tickerRequested);
    item(u" 设置自选股(&S)", &Form5::watchListRequested);
    item(u" 操作帮助(&H)", &Form5::helpRequested);
    m_menu->addSeparator();
    item(u" 退出(&E)", &Form5::exitRequested);
    // A click on the gear while the menu is open only closes it: replayed, the press would
    // open it again at once.
    m_menu->setAttribute(Qt::WA_NoMouseReplay);
}

ControlLabel* Form5::cell(int row, int column, const QString& text, Qt::Alignment alignment) {
    auto* label = new ControlLabel(text, this);
    label->setProperty("Row", row - kFirstLineRow);
    paintText(label, Qt::white);
    m_grid->addWidget(label, row, column, alignment | Qt::AlignVCenter);
    // Any row drags the window; a press and release without moving is a click.
    connect(label, &ControlLabel::mouseDown, this,
            [this](Qt::MouseButton button, QPoint global) { m_drag.mousePressed(button, global); });
    connect(label, &ControlLabel::mouseMove, this, [this](Qt::MouseButtons buttons, QPoint global) {
        m_drag.mouseMoved(buttons, global);
    });
    connect(label, &ControlLabel::mouseUp, this, [this] { m_drag.mouseReleased(); });
    return label;
}

void Form5::addHeader(bool profits) {
    const QStringList titles{QStringLiteral("名称"), QStringLiteral("现价"), QStringLiteral("涨跌"),
                             QStringLiteral("涨跌幅"), QStringLiteral("今日盈亏")};
    for (int column = Name; column <= (profits ? Profit : Percent); ++column) {
        ControlLabel* title = cell(kHeaderRow, column, titles[column],
                                   column == Name ? Qt::AlignLeft : Qt::AlignRight);
        title->setObjectName(QStringLiteral("Header"));
        paintText(title, QColor(0xb0, 0xb0, 0xb0));
    }
}

void Form5::addLine(int row, const ListLine& line, bool profits) {
    const bool marked = m_alerted.contains(line.code);
    const QColor colour = directionColour(m_colours, line.direction);
    const QString texts[] = {marked ? line.name + QStringLiteral(" !") : line.name, line.price,
                             line.change, line.percent, line.profit};
    const char* names[] = {"Name", "Price", "Change", "Percent", "Profit"};
    for (int column = Name; column <= (profits ? Profit : Percent); ++column) {
        ControlLabel* label =
            cell(row, column, texts[column], column == Name ? Qt::AlignLeft : Qt::AlignRight);
        label->setObjectName(QString::fromLatin1(names[column]));
        label->setProperty("Code", line.code);
        label->setToolTip(plainToolTip(line.toolTip));
        label->setCursor(Qt::PointingHandCursor);
        if (column == Profit)
            paintText(label, signColour(line.profit));
        else if (column != Name)
            paintText(label, colour);
        connect(label, &ControlLabel::clicked, this, [this, line] { lineClicked(line); });
    }
}

void Form5::clearRows() {
    for (QObject* child : children()) {
        auto* label = qobject_cast<ControlLabel*>(child);
        if (label && label != Label7) {
            m_grid->removeWidget(label);
            label->deleteLater();
        }
    }
}

void Form5::showLines(const QList<ListLine>& lines, const QString& total) {
    // Every five seconds the same lines, as a rule: nothing to lay out again.
    if (m_laidOut && lines == m_lines && total == m_total)
        return;
    rebuild(lines, total);
}

void Form5::rebuild(const QList<ListLine>& lines, const QString& total) {
    m_laidOut = true;
    m_lines = lines;
    m_total = total;
    clearRows();
    const bool profits = std::any_of(lines.cbegin(), lines.cend(),
                                     [](const ListLine& line) { return !line.profit.isEmpty(); });
    addHeader(profits);
    int row = kFirstLineRow;
    for (const ListLine& line : lines)
        addLine(row++, line, profits);
    if (!total.isEmpty()) {
        ControlLabel* title = cell(row, Name, QStringLiteral("合计"), Qt::AlignLeft);
        title->setObjectName(QStringLiteral("TotalName"));
        ControlLabel* sum = cell(row, profits ? Profit : Percent, total, Qt::AlignRight);
        sum->setObjectName(QStringLiteral("Total"));
        paintText(sum, signColour(total));
    }
    fitToRows();
}

// An amount's colour by the sign it is written with.
QColor Form5::signColour(const QString& amount) const {
    const int sign = amount.startsWith(u'+') ? 1 : amount.startsWith(u'-') ? -1 : 0;
    return directionColour(m_colours, sign);
}

void Form5::fitToRows() {
    m_grid->activate();
    adjustSize();
}

void Form5::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The rows decide the size; the bottom-right corner stays where it was put.
    if (!m_corner.isNull())
        move(m_corner - QPoint(width(), height()));
}

void Form5::lineClicked(const ListLine& line) {
    if (!line.index) {
        Q_EMIT chartRequested(ChartSubject::Stock, line.name, line.code);
        return;
    }
    // An index's chart, with the list's first stock as the chart window's own subject.
    const auto stock = std::find_if(m_lines.cbegin(), m_lines.cend(),
                                    [](const ListLine& other) { return !other.index; });
    const bool shanghai = line.code == u"sh000001";
    Q_EMIT chartRequested(shanghai ? ChartSubject::ShanghaiIndex : ChartSubject::ShenzhenIndex,
                          stock == m_lines.cend() ? QString() : stock->name,
                          stock == m_lines.cend() ? QString() : stock->code);
}

void Form5::setUpDownColours(UpDownColours colours) {
    m_colours = colours;
    rebuild(m_lines, m_total);
}

void Form5::applyAlpha(int alpha) {
    m_alpha = desktopBlendsWindows() ? std::clamp(alpha, 0, 255) : 255;
    update();
}

void Form5::setKeepOnTop(bool on) {
    if (on)
        Timer1->start();
    else
        Timer1->stop();
}

void Form5::placeBottomRight(QPoint corner) {
    m_corner = corner;
    move(corner - QPoint(width(), height()));
}

QPoint Form5::bottomRight() const {
    return pos() + QPoint(width(), height());
}

void Form5::markAlerted(const QStringList& codes) {
    if (codes == m_alerted)
        return;
    m_alerted = codes;
    rebuild(m_lines, m_total);
}

void Form5::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, m_alpha));
}

void Form5::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    if (!m_alerted.isEmpty())
        Q_EMIT alertMarkSeen();
}

void Form5::mousePressEvent(QMouseEvent* event) {
    m_drag.mousePressed(event->button(), event->globalPosition().toPoint());
}

void Form5::mouseMoveEvent(QMouseEvent* event) {
    m_drag.mouseMoved(event->buttons(), event->globalPosition().toPoint());
}

void Form5::mouseReleaseEvent(QMouseEvent*) {
    m_drag.mouseReleased();
}

void Form5::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Wherever the user left it, the window grows and shrinks from there.
    if (isVisible())
        m_corner = bottomRight();
}

void Form5::closeEvent(QCloseEvent* event) {
    // The window manager's close ends the program, as the ticker's does.
    event->ignore();
    Q_EMIT exitRequested();
}

} // namespace tarnwel
