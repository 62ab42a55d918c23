// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertdialog.h"

#include "alerts/alertrule.h"
#include "base/settingsstore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <tuple>

namespace tarnwel {

AlertDialog::AlertDialog(std::shared_ptr<SettingsStore> settings, const QString& code,
                         const QString& name, QWidget* parent)
    : QDialog(parent)
    , m_settings(std::move(settings))
    , m_code(code) {
    setObjectName(QStringLiteral("AlertDialog"));
    setWindowTitle(QStringLiteral("股价提醒"));
    m_form = new QFormLayout(this);
    auto* stock = new QLabel(name + u'(' + code + u')', this);
    stock->setTextFormat(Qt::PlainText);
    m_form->addRow(stock);
    m_above = addField("above", QStringLiteral("价格高于"), QStringLiteral("元"));
    m_below = addField("below", QStringLiteral("价格低于"), QStringLiteral("元"));
    m_move = addField("move", QStringLiteral("涨跌幅超过"), QStringLiteral("%"));
    m_notify = new QCheckBox(QStringLiteral("桌面通知"), this);
    m_notify->setObjectName(QStringLiteral("notify"));
    m_notify->setChecked(m_settings->notifies());
    m_form->addRow(m_notify);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("hint"));
    m_hint->setTextFormat(Qt::PlainText);
    m_hint->setStyleSheet(QStringLiteral("color: #c00000"));
    // Room for the hint is kept while there is none, and a long one wraps rather than
    // widen the dialog: the buttons below stay where the user's next click will land.
    m_hint->setWordWrap(true);
    m_hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_hint->setFixedHeight(2 * m_hint->fontMetrics().lineSpacing());
    m_form->addRow(m_hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &AlertDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AlertDialog::reject);
    m_form->addRow(buttons);

    const QString stored = m_settings->alerts(code);
    if (const std::optional<AlertRule> rule = parseAlertRule(stored)) {
        m_above->setText(rule->above);
        m_below->setText(rule->below);
        m_move->setText(rule->move);
    } else {
        showHint(QStringLiteral("保存的提醒无法读取，确定后将被替换"));
    }
}

AlertDialog::~AlertDialog() = default;

QLineEdit* AlertDialog::addField(const char* name, const QString& label, const QString& unit) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(QStringLiteral("不设"));
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(new QLabel(unit, this));
    m_form->addRow(label, row);
    // A hint about an earlier entry goes once the user changes it.
    connect(edit, &QLineEdit::textEdited, this, [this] { showHint({}); });
    return edit;
}

void AlertDialog::accept() {
    const std::tuple<AlertField, QLineEdit*, const char16_t*> fields[] = {
        {AlertField::Above, m_above, u"价格高于"},
        {AlertField::Below, m_below, u"价格低于"},
        {AlertField::Move, m_move, u"涨跌幅超过"}};
    for (const auto& [field, edit, label] : fields) {
        const QString problem = alertValueProblem(field, edit->text());
        if (!problem.isEmpty()) {
            showHint(QString::fromUtf16(label) + u"：" + problem);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    const AlertRule rule{m_above->text().trimmed(), m_below->text().trimmed(),
                         m_move->text().trimmed()};
    m_settings->setAlerts(m_code, storedAlertRule(rule));
    m_settings->setNotifies(m_notify->isChecked());
    Q_EMIT saved(m_code);
    QDialog::accept();
}

void AlertDialog::showHint(const QString& text) {
    m_hint->setText(text);
}

} // namespace tarnwel
