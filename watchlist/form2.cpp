// SPDX-License-Identifier: GPL-3.0-or-later
#include "watchlist/form2.h"

#include "base/autostart.h"
#include "base/settingsstore.h"
#include "watchlist/codelookup.h"
#include "watchlist/entry.h"
#include "watchlist/securitycode.h"
#include "watchlist/stockdirectory.h"
#include "watchlist/watchliststore.h"
#include "widgets/alertbell.h"
#include "widgets/centring.h"
#include "widgets/holdingmark.h"
#include "widgets/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>

namespace tarnwel {

namespace {

constexpr int kMaxEntries = 10;
constexpr int kMinEntries = 1;
// The height of one row of options below the frame.
constexpr int kOptionRowTwips = 390;
// The boss key's row: its top, and below it two lines for what the key does.
constexpr int kHotkeyRowTop = 3720 + 2 * kOptionRowTwips;
constexpr int kHotkeyStatusTwips = 480;

// A white card with three list lines and a red plus: adding to one's own list.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    p.setPen(QPen(QColor(0x2f, 0x5f, 0xa8), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3.5, 2.5, 20, 26), 2.5, 2.5);
    p.setPen(QPen(QColor(0x70, 0x80, 0x90), 2, Qt::SolidLine, Qt::RoundCap));
    for (const qreal y : {9.0, 14.5, 20.0})
        p.drawLine(QPointF(8, y), QPointF(19, y));

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd0, 0x21, 0x21));
    p.drawEllipse(QRectF(15, 15, 16, 16));
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 18.5), QPointF(23, 27.5));
    p.drawLine(QPointF(18.5, 23), QPointF(27.5, 23));
    return pixmap;
}

QIcon ownIcon() {
    QIcon icon;
    icon.addPixmap(drawIcon(16));
    icon.addPixmap(drawIcon(32));
    return icon;
}

// Set on the watch list's entries that have alerts, and on those held.
constexpr int kAlertRole = Qt::UserRole + 1;
constexpr int kHoldingRole = Qt::UserRole + 2;

// Draws a bell at the right end of an entry with alerts and a coin beside it for one held;
// the entry's text stops short of them, elided where it would run under them.
class AlertMarkDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool alerted = index.data(kAlertRole).toBool();
        const bool held = index.data(kHoldingRole).toBool();
        const int size = std::min(option.rect.height() - 2, 14);
        // The row's background and selection span its whole width, under the marks too.
        QStyleOptionViewItem row(option);
        initStyleOption(&row, index);
        QStyle* style = row.widget ? row.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &row, painter, row.widget);
        QStyleOptionViewItem text(option);
        text.rect.setRight(text.rect.right() - (int(alerted) + int(held)) * (size + 2));
        QStyledItemDelegate::paint(painter, text, index);

        const qreal ratio = painter->device()->devicePixelRatioF();
        QRect mark(option.rect.right() - size - 2, option.rect.center().y() - size / 2, size, size);
        if (alerted) {
            painter->drawPixmap(mark, alertBell(size, ratio));
            mark.translate(-size - 2, 0);
        }
        if (held)
            painter->drawPixmap(mark, holdingMark(size, ratio));
    }
};

// A hint laid over the bottom edge of a list, `height` pixels tall, shown only while it
// says something.
QLabel* makeHint(const char* name, QWidget* list, int height) {
    auto* hint = new QLabel(list->parentWidget());
    hint->setObjectName(QString::fromLatin1(name));
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    hint->setAutoFillBackground(true);
    QPalette palette = hint->palette();
    palette.setColor(QPalette::Window, QColor(0xff, 0xf8, 0xd0));
    palette.setColor(QPalette::WindowText, QColor(0x60, 0x40, 0x00));
    hint->setPalette(palette);
    hint->setContentsMargins(2, 0, 2, 0);
    const QRect area = list->geometry();
    hint->setGeometry(area.left() + 1, area.bottom() - height, area.width() - 2, height);
    hint->hide();
    return hint;
}

// The label and the check box are laid out at the height of their text at 96 dpi,
// which clips today's fonts; they grow about their middle line to what they need.
void placeTextControl(QWidget* control, const QRect& rect) {
    const QSize hint = control->sizeHint();
    QRect grown(rect.topLeft(), QSize(std::max(rect.width(), hint.width()),
                                      std::max(rect.height(), hint.height())));
    grown.moveTop(rect.center().y() - grown.height() / 2 + 1);
    control->setGeometry(grown);
}

} // namespace

Form2::Form2(Options options, std::shared_ptr<const stockdirectory::Search> directory,
             std::shared_ptr<const stockdirectory::Search> listing, Notice notice)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_options(std::move(options))
    , m_directory(std::move(directory))
    , m_listing(listing ? std::move(listing) : std::make_shared<const stockdirectory::Search>())
    , m_notice(std::move(notice)) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("添加自选股"));
    setWindowIcon(ownIcon());
    // One row below the first options for the colours, then the boss key's.
    setFixedSize(px(QSize(5310, 4155 + 2 * kOptionRowTwips + kHotkeyStatusTwips)));

    buildLists();
    buildOptions();
    buildHotkeyRow();
    m_lookup = new CodeLookup(m_options.lookup, m_options.services, this);
    connect(m_lookup, &CodeLookup::finished, this, &Form2::showLookedUp);
    setTabOrders();
    connectKeys();
    connect(Text1, &QLineEdit::textChanged, this, &Form2::Text1_Change);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form2::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &Form2::Check2_Click);
    connect(Combo1, &QComboBox::activated, this, &Form2::Combo1_Click);
    connect(Combo2, &QComboBox::activated, this, &Form2::Combo2_Click);
    connect(Combo3, &QComboBox::activated, this, &Form2::Combo3_Click);
}

// The search, its results, the two buttons and the watch list, inside the frame.
void Form2::buildLists() {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(pxRect(60, 0, 5175, 3615));

    Text1 = new QLineEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(pxRect(120, 180, 2115, 390));

    // The result list is rebuilt on every keystroke: one model reset, not one row at a
    // time, and rows of one height so the view need not measure them.
    m_results = new QStringListModel(this);
    List1 = new QListView(Frame1);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(pxRect(120, 720, 2115, 2760));
    List1->setModel(m_results);
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);

    Command1 = new QPushButton(QStringLiteral(">>>"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(pxRect(2280, 1200, 555, 435));

    Command2 = new QPushButton(QStringLiteral("<<<"), Frame1);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(pxRect(2280, 1920, 555, 435));

    List2 = new QListWidget(Frame1);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(pxRect(2940, 180, 2115, 3300));
    List2->setSelectionMode(QAbstractItemView::SingleSelection);
    List2->setItemDelegate(new AlertMarkDelegate(List2));

    // Below the other two, on their centre line, a little wider for their text; the lower
    // one ends with the lists.
    Command3 = new QPushButton(QStringLiteral("提醒…"), Frame1);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setGeometry(pxRect(2250, 2505, 615, 435));
    Command4 = new QPushButton(QStringLiteral("持仓…"), Frame1);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setGeometry(pxRect(2250, 3045, 615, 435));

    m_searchHint = makeHint("searchHint", List1, 34);
    m_listNotice = makeHint("listNotice", List2, 80);
    buildRemovalHint();
}

// A line over the foot of the watch list, above the notice when that shows, with "撤销" at
// its right end.
void Form2::buildRemovalHint() {
    m_removalHint = makeHint("removalHint", List2, 0);
    m_undo = new QPushButton(QStringLiteral("撤销"), m_removalHint);
    m_undo->setObjectName(QStringLiteral("undoRemoval"));
    // Drawn as a link, as wide as its word, so the hint keeps most of the list's width.
    m_undo->setFlat(true);
    m_undo->setCursor(Qt::PointingHandCursor);
    QFont font = m_undo->font();
    font.setUnderline(true);
    m_undo->setFont(font);
    QPalette palette = m_undo->palette();
    palette.setColor(QPalette::ButtonText, QColor(0, 0, 255));
    m_undo->setPalette(palette);
    m_undo->resize(m_undo->fontMetrics().horizontalAdvance(m_undo->text()) + 8,
                   m_undo->sizeHint().height());
    connect(m_undo, &QPushButton::clicked, this, &Form2::undoRequested);
}

void Form2::placeRemovalHint() {
    const QRect list = List2->geometry();
    const int width = list.width() - 2;
    const int height =
        std::max(m_removalHint->heightForWidth(width), m_undo->isHidden() ? 0 : m_undo->height());
    const int bottom = m_listNotice->isHidden() ? list.bottom() : m_listNotice->y();
    m_removalHint->setGeometry(list.left() + 1, bottom - height, width, height);
    m_undo->move(width - m_undo->width(), (height - m_undo->height()) / 2);
}

// The transparency and start at logon below the frame, and the colours under them.
void Form2::buildOptions() {
    Label1 = new QLabel(QStringLiteral("背景透明度："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeTextControl(Label1, pxRect(120, 3780, 1080, 180));

    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("0%"), QStringLiteral("30%"), QStringLiteral("60%"),
                      QStringLiteral("80%"), QStringLiteral("90%")});
    Combo1->setCurrentIndex(2);
    Combo1->setGeometry(pxRect(1200, 3720, 915, 300));

    Check1 = new QCheckBox(QStringLiteral("开机时启动"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    placeTextControl(Check1, pxRect(2280, 3780, 1515, 195));

    // In line with the quote service's choice below.
    Check2 = new QCheckBox(QStringLiteral("隐藏金额"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    placeTextControl(Check2, pxRect(3660, 3780, 1215, 195));

    Label2 = new QLabel(QStringLiteral("涨跌颜色："), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    placeTextControl(Label2, pxRect(120, 3780 + kOptionRowTwips, 1080, 180));
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    // In the order of UpDownColours.
    Combo2->addItems(
        {QStringLiteral("红涨绿跌"), QStringLiteral("绿涨红跌"), QStringLiteral("不着色")});
    Combo2->setGeometry(pxRect(1200, 3720 + kOptionRowTwips, 1215, 300));

    Label3 = new QLabel(QStringLiteral("行情来源："), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    placeTextControl(Label3, pxRect(2580, 3780 + kOptionRowTwips, 1080, 180));
    Combo3 = new QComboBox(this);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    // In the order of QuoteSourceChoice.
    Combo3->addItems({QStringLiteral("自动"), QStringLiteral("新浪"), QStringLiteral("腾讯")});
    Combo3->setGeometry(pxRect(3660, 3720 + kOptionRowTwips, 1215, 300));
}

// The key that hides and shows every window, in the row below the colours.
void Form2::buildHotkeyRow() {
    auto* label = new QLabel(QStringLiteral("老板键："), this);
    label->setObjectName(QStringLiteral("hotkeyLabel"));
    placeTextControl(label, pxRect(120, kHotkeyRowTop + 60, 1080, 180));
    m_hotkeyEdit = new QKeySequenceEdit(this);
    m_hotkeyEdit->setObjectName(QStringLiteral("hotkeyEdit"));
    m_hotkeyEdit->setGeometry(pxRect(1200, kHotkeyRowTop, 1815, 300));
    label->setBuddy(m_hotkeyEdit);
    m_hotkeyClear = new QPushButton(QStringLiteral("清除"), this);
    m_hotkeyClear->setObjectName(QStringLiteral("hotkeyClear"));
    m_hotkeyClear->setGeometry(pxRect(3075, kHotkeyRowTop - 15, 615, 330));
    m_hotkeyStatus = new QLabel(this);
    m_hotkeyStatus->setObjectName(QStringLiteral("hotkeyStatus"));
    m_hotkeyStatus->setTextFormat(Qt::PlainText);
    m_hotkeyStatus->setWordWrap(true);
    m_hotkeyStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_hotkeyStatus->setGeometry(
        pxRect(120, kHotkeyRowTop + kOptionRowTwips, 5070, kHotkeyStatusTwips - 60));
    showHotkeyProblem(QString());
    connect(m_hotkeyEdit, &QKeySequenceEdit::editingFinished, this, &Form2::pickHotkey);
    connect(m_hotkeyClear, &QPushButton::clicked, this, [this] { storeHotkey(QKeySequence()); });
}

// As the controls stand on screen: the search, its results, the buttons between the lists,
// the watch list, then the options row by row, left to right. The frame and the labels take
// no focus.
void Form2::setTabOrders() {
    QWidget* const order[] = {Text1,    List1,  Command1, Command2,     Command3,
                              Command4, List2,  m_undo,   Combo1,       Check1,
                              Check2,   Combo2, Combo3,   m_hotkeyEdit, m_hotkeyClear};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Text1->setFocus();
}

// Enter or a double-click on a result adds it, Delete or a double-click on an entry removes
// it: each through its button, so a list that cannot change refuses them alike.
void Form2::connectKeys() {
    List1->installEventFilter(this);
    List2->installEventFilter(this);
    m_hotkeyEdit->installEventFilter(this);
    connect(List1, &QAbstractItemView::doubleClicked, Command1, &QPushButton::click);
    connect(List2, &QAbstractItemView::doubleClicked, Command2, &QPushButton::click);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (watched == List1 || watched == List2)
            return listKeyPressed(static_cast<QAbstractItemView*>(watched), key);
        if (watched == m_hotkeyEdit)
            return hotkeyFieldKeyPressed(key);
    }
    return QWidget::eventFilter(watched, event);
}

// The key acts on the entry the list has selected or, reached by Tab, on the one with the
// focus frame. A removal leaves no entry current, so a Delete held down takes one only.
bool Form2::listKeyPressed(QAbstractItemView* list, const QKeyEvent* key) {
    const bool adds =
        list == List1 && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    const bool removes = list == List2 && key->key() == Qt::Key_Delete;
    if (!adds && !removes)
        return false;
    const QModelIndex current = list->currentIndex();
    if (!list->selectionModel()->hasSelection() && current.isValid())
        list->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    const int before = List2->count();
    (adds ? Command1 : Command2)->click();
    if (List2->count() < before)
        list->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    return true;
}

// A boss key needs Ctrl, Alt or Meta, so the field has no use for a bare Escape: it closes
// the window, as everywhere else in it.
bool Form2::hotkeyFieldKeyPressed(const QKeyEvent* key) {
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier)
        return false;
    close();
    return true;
}

// Escape closes the window, so that it can be closed where no window manager draws a title
// bar; a control that uses Escape itself (an open drop-down list) keeps it.
void Form2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

Form2::~Form2() = default;

void Form2::Form_Load() {
    centreOnScreen(this);

    m_results->setStringList(m_directory->entries());
    // Shown whatever the list file holds: the choice is the tooltips', not the list's.
    Check2->setChecked(m_options.settings->hidesAmounts());

    const WatchListStore::Contents contents = store().read();
    if (contents.status == WatchListStore::Status::Missing)
        return;
    if (!contents.editable()) {
        // Rewriting a list that could not be read faithfully would replace the user's
        // list with whatever is added now; it stays read-only, and the window says why.
        Command1->setEnabled(false);
        Command2->setEnabled(false);
        showListNotice(contents.reason());
    }
    List2->addItems(contents.entries);

    const QString op = m_options.settings->transparency();
    // A value written by hand still applies; the box shows it greyed, with no item chosen.
    Combo1->setPlaceholderText(op);
    Combo1->setCurrentIndex(Combo1->findText(op));
    Check1->setChecked(m_options.settings->startsAtLogon());
    Combo2->setCurrentIndex(int(m_options.settings->upDownColours()));
    Combo3->setCurrentIndex(int(m_options.settings->quoteSource()));
    m_hotkeyEdit->setKeySequence(
        QKeySequence::fromString(m_options.settings->hotkey(), QKeySequence::PortableText));
}

void Form2::Text1_Change() {
    // Only the latest text counts: an answer about an earlier one is never shown.
    m_lookup->cancel();
    const stockdirectory::Found found =
        stockdirectory::find(*m_directory, *m_listing, Text1->text());
    m_resultsFrom = found.fromListing ? Source::Listing : Source::Directory;
    showFound(found.entries, found.fromListing ? QStringLiteral("来自当前上市名录") : QString());
    if (!found.entries.isEmpty())
        return;
    // A code the directory does not hold may still be listed today: ask the service.
    const securitycode::Recognised code = securitycode::recognise(Text1->text());
    if (code.kind == securitycode::CodeKind::Code) {
        showSearchHint(QStringLiteral("正在向行情服务查询…"));
        m_lookup->lookUp(code.code);
    } else if (code.kind == securitycode::CodeKind::NeedsMarket) {
        showSearchHint(QStringLiteral("请在代码前加上市场：sh、sz 或 bj"));
    }
}

void Form2::showLookedUp(CodeLookup::Result result, const QString& entry) {
    switch (result) {
    case CodeLookup::Result::Found:
        m_resultsFrom = Source::Service;
        showFound({entry}, QStringLiteral("来自行情服务"));
        break;
    case CodeLookup::Result::NotFound:
        showSearchHint(QStringLiteral("未找到该代码"));
        break;
    case CodeLookup::Result::Unreachable:
        showSearchHint(QStringLiteral("无法连接行情服务，请稍后再试"));
        break;
    }
}

void Form2::showSearchHint(const QString& text) {
    m_searchHint->setText(text);
    m_searchHint->setVisible(!text.isEmpty());
}

// `source`: where entries from beyond the directory came from, shown with them; empty
// for the directory's own.
void Form2::showFound(const QStringList& entries, const QString& source) {
    m_results->setStringList(entries);
    List1->setToolTip(source);
    showSearchHint(source);
}

// A full list takes no more entries, and says so.
bool Form2::refusedAsFull() {
    if (List2->count() < kMaxEntries)
        return false;
    m_notice(this, QStringLiteral("添加自选股不能超过10支"));
    return true;
}

void Form2::Command1_Click() {
    if (refusedAsFull())
        return;
    const QModelIndexList selected = List1->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    QString entry = selected.first().data().toString();
    // The directory is the market of its day: a stock listed today under another name is
    // watched under that name. The results keep the directory's.
    if (m_resultsFrom == Source::Directory)
        entry = stockdirectory::todaysEntry(*m_listing, entry);
    if (watchList().contains(entry))
        return;
    List2->addItem(entry);
    if (!writeWatchList()) {
        delete List2->takeItem(List2->count() - 1);
        reportUnsaved();
        return;
    }
    if (m_resultsFrom == Source::Listing)
        confirmName(entry);
}

// The listing is from its day and names change: the service's current name replaces the
// listing's once it answers. Without an answer the entry keeps the listing's name. Each
// add asks on its own, so that one add's question never drops another's.
void Form2::confirmName(const QString& entry) {
    const std::optional<QString> code = entryCode(entry);
    if (!code)
        return;
    auto* lookup = new CodeLookup(m_options.lookup, m_options.services, this);
    connect(lookup, &CodeLookup::finished, this,
            [this, lookup, entry](CodeLookup::Result result, const QString& current) {
                lookup->deleteLater();
                if (result == CodeLookup::Result::Found)
                    rename(entry, current);
            });
    lookup->lookUp(*code);
}

void Form2::rename(const QString& entry, const QString& current) {
    const QStringList entries = watchList();
    const int row = int(entries.indexOf(entry));
    // Removed while the service was asked, or already the current name: nothing to do.
    if (row < 0 || current == entry)
        return;
    // Under its current name the stock may be on the list already; it is not listed twice.
    const bool twice = entries.contains(current);
    if (twice)
        delete List2->takeItem(row);
    else
        List2->item(row)->setText(current);
    if (!writeWatchList()) {
        // The list keeps what the file holds; the notice below it says why.
        if (twice)
            List2->insertItem(row, entry);
        else
            List2->item(row)->setText(entry);
    }
}

void Form2::Command2_Click() {
    if (List2->count() <= kMinEntries) {
        m_notice(this, QStringLiteral("至少应保留1支自选股"));
        return;
    }
    const QList<QListWidgetItem*> selected = List2->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = List2->row(selected.first());
    const QString entry = selected.first()->text();
    delete List2->takeItem(row);
    // Nothing stays selected, so a second click cannot take away the next entry.
    List2->clearSelection();
    if (!writeWatchList()) {
        List2->insertItem(row, entry);
        List2->setCurrentRow(row);
        reportUnsaved();
        return;
    }
    Q_EMIT entryRemoved(entry, row);
}

void Form2::Command3_Click() {
    const QList<QListWidgetItem*> selected = List2->selectedItems();
    if (!selected.isEmpty())
        Q_EMIT alertsRequested(selected.first()->text());
}

void Form2::Command4_Click() {
    const QList<QListWidgetItem*> selected = List2->selectedItems();
    if (!selected.isEmpty())
        Q_EMIT holdingsRequested(selected.first()->text());
}

// Taken at once: the program may end from the ticker's menu with this window still open.
void Form2::Check1_Click(bool checked) {
    if (checked)
        m_options.autostart->set(m_options.executablePath);
    else
        m_options.autostart->remove();
    m_options.settings->setStartsAtLogon(checked);
}

void Form2::Check2_Click(bool checked) {
    m_options.settings->setHidesAmounts(checked);
    Q_EMIT amountsHiddenPicked(checked);
}

void Form2::showAlertMarks(const QStringList& codes) {
    m_alerted = codes;
    applyMarks();
}

void Form2::showHoldingMarks(const QStringList& codes) {
    m_held = codes;
    applyMarks();
}

void Form2::showRemoval(const QString& entry, bool alerts, bool holding) {
    QString text = u"已删除 " + entryName(entry).value_or(entry);
    if (alerts && holding)
        text += u" 及其提醒和持仓";
    else if (alerts)
        text += u" 及其提醒";
    else if (holding)
        text += u" 及其持仓";
    const bool undoable = alerts || holding;
    m_undo->setVisible(undoable);
    // The text stops short of the button.
    m_removalHint->setContentsMargins(2, 0, undoable ? m_undo->width() + 2 : 2, 0);
    m_removalHint->setText(text);
    placeRemovalHint();
    m_removalHint->show();
}

void Form2::hideRemoval() {
    if (m_undo->hasFocus())
        List2->setFocus();
    m_removalHint->hide();
    m_undo->hide();
}

bool Form2::putBack(const QString& entry, int row) {
    const QStringList before = watchList();
    const std::optional<QString> code = entryCode(entry);
    const auto sameStock = [&code](const QString& listed) {
        return code && entryCode(listed) == code;
    };
    const auto listed = std::find_if(before.cbegin(), before.cend(), sameStock);
    if (listed == before.cend() && refusedAsFull())
        return false;
    QString shown = entry;
    if (listed != before.cend()) {
        shown = *listed;
        delete List2->takeItem(int(listed - before.cbegin()));
    }
    row = std::min(row, List2->count());
    List2->insertItem(row, shown);
    if (!writeWatchList()) {
        List2->clear();
        List2->addItems(before);
        applyMarks();
        reportUnsaved();
        return false;
    }
    List2->setCurrentRow(row);
    hideRemoval();
    return true;
}

void Form2::applyMarks() {
    for (int row = 0; row < List2->count(); ++row) {
        QListWidgetItem* item = List2->item(row);
        const std::optional<QString> code = entryCode(item->text());
        const bool alerted = code && m_alerted.contains(*code);
        const bool held = code && m_held.contains(*code);
        item->setData(kAlertRole, alerted);
        item->setData(kHoldingRole, held);
        QStringList marks;
        if (alerted)
            marks.append(QStringLiteral("已设提醒"));
        if (held)
            marks.append(QStringLiteral("有持仓"));
        item->setData(Qt::AccessibleDescriptionRole,
                      marks.isEmpty() ? QVariant() : marks.join(u"，"));
    }
}

void Form2::Combo1_Click(int index) {
    const QString text = Combo1->itemText(index);
    // The ticker takes it on at once; the stored value follows.
    Q_EMIT transparencyPicked(text);
    m_options.settings->setTransparency(text);
}

void Form2::Combo3_Click(int index) {
    const auto choice = QuoteSourceChoice(std::clamp(index, 0, int(QuoteSourceChoice::Tencent)));
    m_options.settings->setQuoteSource(choice);
    Q_EMIT quoteSourcePicked(choice);
}

void Form2::Combo2_Click(int index) {
    const auto colours = UpDownColours(std::clamp(index, 0, int(UpDownColours::None)));
    m_options.settings->setUpDownColours(colours);
    Q_EMIT upDownColoursPicked(colours);
}

// A global key is one combination, and one without Ctrl, Alt or Meta would be taken
// from the typing of every program. The field empties itself as soon as a key goes down,
// even a lone modifier (the boss key's own Ctrl, say), so an editing that ends with
// nothing typed keeps the key; only 清除 takes it away.
void Form2::pickHotkey() {
    const QKeySequence keys = m_hotkeyEdit->keySequence();
    const QKeySequence stored =
        QKeySequence::fromString(m_options.settings->hotkey(), QKeySequence::PortableText);
    const auto held = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (keys.isEmpty() || !(keys[0].keyboardModifiers() & held)) {
        m_hotkeyEdit->setKeySequence(stored);
        if (!keys.isEmpty())
            m_hotkeyStatus->setText(QStringLiteral("老板键须含 Ctrl、Alt 或 Meta 键"));
        return;
    }
    storeHotkey(QKeySequence(keys[0]));
}

void Form2::storeHotkey(const QKeySequence& keys) {
    m_hotkeyEdit->setKeySequence(keys);
    const QString text = keys.toString(QKeySequence::PortableText);
    if (text == m_options.settings->hotkey())
        return;
    m_options.settings->setHotkey(text);
    Q_EMIT hotkeyPicked(text);
}

void Form2::showHotkeyProblem(const QString& text) {
    m_hotkeyStatus->setText(
        !text.isEmpty() ? text
                        : QStringLiteral("在任何程序中按下此键，即可隐藏或重新显示全部窗口"));
}

// Every choice was stored when it was made; closing changes nothing.
void Form2::Form_Unload() {
    Q_EMIT closed();
}

QStringList Form2::watchList() const {
    QStringList entries;
    entries.reserve(List2->count());
    for (int row = 0; row < List2->count(); ++row)
        entries.append(List2->item(row)->text());
    return entries;
}

void Form2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Brought back by the boss key, the window leaves the focus where the user put it.
    if (!testAttribute(Qt::WA_ShowWithoutActivating))
        activateWindow();
}

void Form2::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

WatchListStore Form2::store() const {
    return WatchListStore(m_options.watchListPath, m_options.watchListUserPath);
}

bool Form2::writeWatchList() {
    const WatchListStore::Saved saved = store().write(watchList());
    if (!saved.ok) {
        showListNotice(saved.reason);
        return false;
    }
    // Said once, by the save that moved the list to where it can be written.
    showListNotice(saved.notice);
    applyMarks();
    Q_EMIT watchListSaved(watchList());
    return true;
}

// The edit has been taken back by then, so list and file agree while the message shows.
void Form2::reportUnsaved() {
    m_notice(this, QStringLiteral("自选股列表无法保存，本次修改未生效。"));
}

void Form2::showListNotice(const QString& text) {
    m_listNotice->setText(text);
    m_listNotice->setVisible(!text.isEmpty());
    placeRemovalHint();
}

} // namespace tarnwel
