// SPDX-License-Identifier: GPL-3.0-or-later
// The floor the process benchmark compares the ticker against: a bare Qt window with
// one CJK label, built and started the same way, doing nothing after it is shown.
#include <QApplication>
#include <QLabel>
#include <QPalette>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("沪综指 3150.000"));
    label.setWindowTitle(QStringLiteral("bench_window"));
    label.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    label.setFixedSize(250, 100);
    label.show();
    return QApplication::exec();
}
