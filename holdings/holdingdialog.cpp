// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdings/holdingdialog.h"

#include "base/settingsstore.h"
#include "holdings/holding.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>

namespace tarnwel {

namespace {

// Room for the longest hint, wrapped, so that nothing below it moves when one comes.
constexpr int kHintLines = 2;

} // namespace

HoldingDialog::HoldingDialog(std::shared_ptr<SettingsStore> settings, const QString& code,
                             const QString& name, QWidget* parent)
    : QDialog(parent)
    , m_settings(std::move(settings))
    , m_code(code) {
    setObjectName(QStringLiteral("HoldingDialog"));
    setWindowTitle(QStringLiteral("持仓"));
    m_form = new QFormLayout(this);
    auto* stock = new QLabel(name + u'(' + code + u')', this);
    stock->setTextFormat(Qt::PlainText);
    m_form->addRow(stock);
    m_shares = addField("shares", QStringLiteral("持有股数"), QStringLiteral("股"));
    m_cost = addField("cost", QStringLiteral("成本价"), QStringLiteral("元"));
    addHint();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &HoldingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &HoldingDialog::reject);
    m_form->addRow(buttons);

    const QString stored = m_settings->holding(code);
    if (const std::optional<Holding> holding = parseHolding(stored)) {
        m_shares->setText(QString::number(holding->shares));
        m_cost->setText(holding->cost);
    } else if (!stored.isEmpty()) {
        showHint(QStringLiteral("保存的持仓无法读取，确定后将被替换"));
    }
}

HoldingDialog::~HoldingDialog() = default;

QLineEdit* HoldingDialog::addField(const char* name, const QString& label, const QString& unit) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel(unit, this));
    m_form->addRow(label, row);
    // A hint about an earlier entry goes once the user changes it.
    connect(edit, &QLineEdit::textEdited, this, [this] { showHint({}); });
    return edit;
}

// The hint's lines are kept whether it says anything or not, and its text never widens
// the dialog: the buttons stay where they are.
void HoldingDialog::addHint() {
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_hint->setStyleSheet(QStringLiteral("color: #c00000"));
    m_hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_hint->setFixedHeight(m_hint->fontMetrics().lineSpacing() * kHintLines);
    m_form->addRow(m_hint);
}

void HoldingDialog::accept() {
    if (m_shares->text().trimmed().isEmpty()) {
        save({});
        return;
    }
    const std::tuple<HoldingField, QLineEdit*, const char16_t*> fields[] = {
        {HoldingField::Shares, m_shares, u"持有股数"}, {HoldingField::Cost, m_cost, u"成本价"}};
    for (const auto& [field, edit, label] : fields) {
        const QString problem = holdingValueProblem(field, edit->text());
        if (!problem.isEmpty()) {
            showHint(QString::fromUtf16(label) + u"：" + problem);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    save(storedHolding(*holdingFromFields(m_shares->text(), m_cost->text())));
}

void HoldingDialog::save(const QString& stored) {
    m_settings->setHolding(m_code, stored);
    Q_EMIT saved(m_code);
    QDialog::accept();
}

void HoldingDialog::showHint(const QString& text) {
    m_hint->setText(text);
}

} // namespace tarnwel
