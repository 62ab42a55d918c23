// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QFormLayout;
class QLabel;
class QLineEdit;

namespace tarnwel {

class SettingsStore;

// "股价提醒": one stock's alerts and the program's desktop-notification choice. Saved on
// OK only when every field reads; otherwise a hint says what is wrong and nothing is
// stored.
class AlertDialog : public QDialog {
    Q_OBJECT
public:
    AlertDialog(std::shared_ptr<SettingsStore> settings, const QString& code, const QString& name,
                QWidget* parent = nullptr);
    ~AlertDialog() override;

    void accept() override;

Q_SIGNALS:
    // The stock's alerts were stored (empty fields remove them).
    void saved(const QString& code);

private:
    QLineEdit* addField(const char* name, const QString& label, const QString& unit);
    void showHint(const QString& text);

    std::shared_ptr<SettingsStore> m_settings;
    QString m_code;
    QLineEdit* m_above = nullptr;
    QLineEdit* m_below = nullptr;
    QLineEdit* m_move = nullptr;
    QCheckBox* m_notify = nullptr;
    QLabel* m_hint = nullptr;
    QFormLayout* m_form = nullptr;
};

} // namespace tarnwel
