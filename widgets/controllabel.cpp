// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/controllabel.h"

#include <QMouseEvent>
#include <QTextDocument>

namespace tarnwel {

QString plainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text;
}

QString htmlLines(const QString& text) {
    return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

QString richToolTip(const QStringList& lines) {
    return u"<p style='white-space:pre'>" + lines.join(QStringLiteral("<br>")) + u"</p>";
}

ControlLabel::ControlLabel(QWidget* parent)
    : QLabel(parent) {}

ControlLabel::ControlLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {}

void ControlLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_pressedInside = true;
    Q_EMIT mouseDown(event->button(), event->globalPosition().toPoint());
}

void ControlLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const bool click = event->button() == Qt::LeftButton && m_pressedInside &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressedInside = false;
    Q_EMIT mouseUp(event->button());
    if (click)
        Q_EMIT clicked();
}

void ControlLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    Q_EMIT mouseMove(event->buttons(), event->globalPosition().toPoint());
}

void ControlLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

} // namespace tarnwel
