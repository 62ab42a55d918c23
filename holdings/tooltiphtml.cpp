// SPDX-License-Identifier: GPL-3.0-or-later
#include "holdings/tooltiphtml.h"

#include <QPalette>
#include <QToolTip>

namespace tarnwel {

namespace {

// The ticker's own red and green are made for its black band; on a light tooltip they
// are too pale to read, so darker shades of them stand in there.
QString colourName(UpDownColours colours, int sign) {
    if (colours == UpDownColours::None || sign == 0)
        return {};
    const bool red = (sign > 0) == (colours == UpDownColours::RedUp);
    const bool darkTip = QToolTip::palette().color(QPalette::ToolTipBase).lightness() < 128;
    if (darkTip)
        return red ? QStringLiteral("#ff2828") : QStringLiteral("#00c850");
    return red ? QStringLiteral("#c81414") : QStringLiteral("#007a32");
}

} // namespace

QString signedLineHtml(const SignedLine& line, UpDownColours colours) {
    QString html;
    for (const SignedPiece& piece : line) {
        const QString colour = colourName(colours, piece.sign);
        const QString text = piece.text.toHtmlEscaped();
        html +=
            colour.isEmpty() ? text : u"<span style=\"color:" + colour + u"\">" + text + u"</span>";
    }
    return html;
}

} // namespace tarnwel
