#include "stealth/form4.h"

#include "app/controllabel.h"
#include "ticker/form1.h"

#include <QTimer>

namespace tarnwel {

Form4::Form4(Form1* ticker)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_ticker(ticker)
{
    setObjectName(QStringLiteral("Form4"));
    Label2 = new ControlLabel(QStringLiteral("◆"), this);
    Label1 = new ControlLabel(QStringLiteral("110002:125.3"), this);
    Timer1 = new QTimer(this);
}

Form4::~Form4() = default;

void Form4::setQuoteTexts(const QString& caption, const QString& tooltip)
{
    Label1->setText(caption);
    Label2->setToolTip(tooltip);
}

} // namespace tarnwel
