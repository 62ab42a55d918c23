// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace tarnwel {

// A tooltip that shows `text` as it stands: Qt would render anything that looks like
// markup, and these texts come from files and services.
QString plainToolTip(const QString& text);
// Plain text as part of a rich-text tooltip: markup escaped, line breaks kept.
QString htmlLines(const QString& text);
// Lines of rich text as one tooltip, each kept on a line of its own however long.
QString richToolTip(const QStringList& lines);

// A label that reports the mouse the way the windows' handlers want it: a press and a
// release with the button concerned, moves with the buttons held, a click (press and
// release over the label with the left button) and a double-click. It takes the press,
// so a move that begins on it never reaches the window beneath.
class ControlLabel : public QLabel {
    Q_OBJECT
public:
    explicit ControlLabel(QWidget* parent = nullptr);
    ControlLabel(const QString& text, QWidget* parent);

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button, QPoint globalPos);
    void mouseUp(Qt::MouseButton button);
    void mouseMove(Qt::MouseButtons buttons, QPoint globalPos);
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_pressedInside = false;
};

} // namespace tarnwel
