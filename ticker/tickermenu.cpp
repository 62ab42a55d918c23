// The ticker's own pop-up menu: the panel, its items and their actions.
#include "ticker/form1.h"

#include "app/controllabel.h"
#include "app/twips.h"

#include <QCoreApplication>
#include <QFrame>

namespace tarnwel {

void Form1::buildMenu()
{
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(pxRect(1620, 60, 1740, 1350));
    Picture1->hide();
}

void Form1::Label7_MouseDown(Qt::MouseButton) {}

void Form1::Label7_MouseUp(Qt::MouseButton) {}

void Form1::Label8_MouseMove(int) {}

void Form1::Label8_Click(int) {}

void Form1::enterStealthMode() {}

void Form1::openWatchList() {}

void Form1::openHelp() {}

void Form1::exitProgram()
{
    if (m_env.exitProgram)
        m_env.exitProgram(0);
    else
        QCoreApplication::exit(0);
}

} // namespace tarnwel
