#include "charts/form3.h"

#include "ticker/form1.h"

namespace tarnwel {

Form3::Form3(Form1* ticker)
    : m_ticker(ticker)
{
    setObjectName(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
}

Form3::~Form3() = default;

void Form3::Form_Load() {}

} // namespace tarnwel
