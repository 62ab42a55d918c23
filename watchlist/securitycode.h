// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace tarnwel::securitycode {

// What a search text says as a security code.
enum class CodeKind {
    NotACode,    // anything else: a name, part of a code, letters mixed in, full-width digits
    Code,        // a full code: "sz300750", or six digits whose start names the market
    NeedsMarket, // six digits whose start names no market: the user must type the prefix
};

struct Recognised {
    CodeKind kind = CodeKind::NotACode;
    QString code; // Code: market prefix and digits ("sz300750"); NeedsMarket: the six digits
};

// Reads `text` exactly as typed, without trimming or case folding (the directory search
// does neither): a lower-case market prefix "sh", "sz" or "bj" and six ASCII digits; or
// six ASCII digits alone, the market taken from the first two:
//   60 68 90 50 51 52 56 58 11 -> sh,  00 30 20 15 16 18 12 -> sz,  43 83 87 92 -> bj.
Recognised recognise(QStringView text);

// The market prefix that six digits starting with `digits` belong to, or empty.
QString marketOf(QStringView digits);

// The name a quote service gives a security, as a watch-list entry's name: without the
// spaces that pad it. Nothing when it is empty or blank, longer than 16 characters, or holds
// "(", ")", a control character or a line break: such a name would not read back as a
// watch-list entry.
std::optional<QString> nameForEntry(QStringView serviceName);

// The watch-list entry for a looked-up security: "宁德时代(sz300750)".
QString entryFor(const QString& name, const QString& code);

} // namespace tarnwel::securitycode
