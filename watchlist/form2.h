#pragma once

#include <QWidget>

namespace tarnwel {

class Form1;

// "添加自选股": edits the watch list, the transparency and start at logon.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(Form1* ticker);
    ~Form2() override;

    void Form_Load();

private:
    Form1* m_ticker;
};

} // namespace tarnwel
