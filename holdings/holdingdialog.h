// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

class QFormLayout;
class QLabel;
class QLineEdit;

namespace tarnwel {

class SettingsStore;

// "持仓": one stock's share count and cost. Saved on OK only when both read; otherwise a
// hint says what is wrong and nothing is stored. An empty share count removes the holding.
class HoldingDialog : public QDialog {
    Q_OBJECT
public:
    HoldingDialog(std::shared_ptr<SettingsStore> settings, const QString& code, const QString& name,
                  QWidget* parent = nullptr);
    ~HoldingDialog() override;

    void accept() override;

Q_SIGNALS:
    // The stock's holding was stored, or removed.
    void saved(const QString& code);

private:
    QLineEdit* addField(const char* name, const QString& label, const QString& unit);
    void addHint();
    void showHint(const QString& text);
    void save(const QString& stored);

    std::shared_ptr<SettingsStore> m_settings;
    QString m_code;
    QLineEdit* m_shares = nullptr;
    QLineEdit* m_cost = nullptr;
    QLabel* m_hint = nullptr;
    QFormLayout* m_form = nullptr;
};

} // namespace tarnwel
