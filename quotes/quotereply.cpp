// SPDX-License-Identifier: GPL-3.0-or-later
#include "quotes/quotereply.h"

#include "base/numbertext.h"

#include <cmath>

namespace tarnwel::quotereply {

std::optional<QString> field(QStringView reply, int k) {
    if (k < 0)
        return std::nullopt;
    // Position of the comma before the field; -1 stands for the start of the reply.
    qsizetype before = -1;
    for (int i = 0; i < k; ++i) {
        before = reply.indexOf(u',', before + 1);
        if (before < 0)
            return std::nullopt;
    }
    const qsizetype after = reply.indexOf(u',', before + 1);
    if (after < 0)
        return std::nullopt;
    return reply.mid(before + 1, after - before - 1).toString();
}

std::optional<double> volumeLots(QStringView field) {
    const double lots = leadingNumber(field) / 100.0;
    if (!std::isfinite(lots))
        return std::nullopt;
    // Ties to even, whatever rounding mode the process happens to run in.
    double whole = std::floor(lots);
    const double rest = lots - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    // -0.3 lots round to -0, which must read as plain 0.
    return whole == 0.0 ? 0.0 : whole;
}

bool isClean(QStringView field) {
    for (const QChar c : field) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Other_PrivateUse ||
            c == QChar::ReplacementCharacter)
            return false;
    }
    return true;
}

QString lotsText(double lots) {
    if (lots == 0.0)
        return QStringLiteral("0");
    return QString::number(lots, 'f', 0);
}

} // namespace tarnwel::quotereply
