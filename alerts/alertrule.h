// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tarnwel {

class SettingsStore;

// A stock's alerts: each condition is the value as the user wrote it, empty where unset.
struct AlertRule {
    QString above; // price at or above
    QString below; // price at or below
    QString move;  // change of at least this percent of the previous close, either way
    bool isEmpty() const { return above.isEmpty() && below.isEmpty() && move.isEmpty(); }
    friend bool operator==(const AlertRule&, const AlertRule&) = default;
};

enum class AlertField { Above, Below, Move };

// Why `text` cannot be the value of `field`, in the user's words; empty when it can (an
// empty text is no condition). Prices are positive, at most three decimals; a percent is
// above 0 and at most 100, at most two decimals.
QString alertValueProblem(AlertField field, const QString& text);

// The stored form, "above:5.50;below:5.00;move:3", each part optional and in any order.
// Nothing when any part does not read: a damaged value is ignored as a whole.
std::optional<AlertRule> parseAlertRule(QStringView stored);
// The stored form of a valid rule; empty for one without conditions.
QString storedAlertRule(const AlertRule& rule);

// Whether a code can be a settings key of its own: ASCII letters and digits only.
bool isAlertCode(const QString& code);

// The codes among `codes` whose stored alerts read and hold a condition.
QStringList alertedCodes(const SettingsStore& settings, const QStringList& codes);
// Removes the stored alerts of every code not among `codes`: the stock left the list.
void removeUnlistedAlerts(SettingsStore& settings, const QStringList& codes);

} // namespace tarnwel
