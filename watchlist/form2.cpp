#include "watchlist/form2.h"

#include "ticker/form1.h"

namespace tarnwel {

Form2::Form2(Form1* ticker)
    : m_ticker(ticker)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
}

Form2::~Form2() = default;

void Form2::Form_Load() {}

} // namespace tarnwel
