// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tarnwel {

class SettingsStore;

// A stock held: how many shares, bought at what cost per share.
struct Holding {
    qint64 shares = 0; // 1 to 10^10
    QString cost;      // yuan a share, a plain decimal of 0 or more, at most four decimals
    friend bool operator==(const Holding&, const Holding&) = default;
};

inline constexpr qint64 kMaxShares = 10'000'000'000;

enum class HoldingField { Shares, Cost };

// Why `text` cannot be the value of `field`, in the user's words; empty when it can. An
// empty share count is no holding; a holding cannot go without its cost.
QString holdingValueProblem(HoldingField field, const QString& text);
// The holding the two fields make, in its plain form ("01000" is 1000 shares, ".5" costs
// "0.5"); nothing where either has a problem or the share count is empty.
std::optional<Holding> holdingFromFields(const QString& shares, const QString& cost);

// The stored form, "shares:1000;cost:5.12", both parts once, in any order. Nothing when
// any part is missing or does not read: a damaged value is ignored as a whole.
std::optional<Holding> parseHolding(QStringView stored);
QString storedHolding(const Holding& holding);

// The codes among `codes` whose stored holding reads.
QStringList heldCodes(const SettingsStore& settings, const QStringList& codes);
// Removes the stored holding of every code not among `codes`, in one write: the stock left
// the list.
void removeUnlistedHoldings(SettingsStore& settings, const QStringList& codes);

} // namespace tarnwel
