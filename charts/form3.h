#pragma once

#include <QString>
#include <QWidget>

namespace tarnwel {

class Form1;

// The chart window: one chart image, with the subject and period to choose.
class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(Form1* ticker);
    ~Form3() override;

    void Form_Load();

    int ChartPeriod = 0;
    QString ChartCode;

private:
    Form1* m_ticker;
};

} // namespace tarnwel
