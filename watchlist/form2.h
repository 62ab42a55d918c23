#pragma once

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStringListModel;

namespace tarnwel {

class Form1;

// "添加自选股": edits the watch list, the transparency and start at logon. A parentless
// tool window of fixed size, deleted when closed. Every change is saved at once: the
// watch list to setup.ini after each add or remove, the transparency when picked, the
// start-at-logon choice when the window closes.
class Form2 : public QWidget {
    Q_OBJECT
public:
    explicit Form2(Form1* ticker);
    ~Form2() override;

    // Controls.
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;      // the search text
    QListView* List1 = nullptr;      // the directory entries that match the search
    QPushButton* Command1 = nullptr; // ">>>", add
    QPushButton* Command2 = nullptr; // "<<<", remove
    QListWidget* List2 = nullptr;    // the watch list
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr; // the transparency
    QCheckBox* Check1 = nullptr; // start at logon

    // Handlers.
    void Form_Load();
    void Text1_Change();
    void Command1_Click();
    void Command2_Click();
    // A transparency picked from the list, by mouse or arrow keys; typed text is ignored.
    void Combo1_Click(int index);
    void Form_Unload();

    // What the two lists show, in order.
    QStringList searchResults() const;
    QStringList watchList() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Rewrites setup.ini from List2; false when the file could not be replaced.
    bool writeWatchList() const;
    void reportUnsaved();

    Form1* m_ticker;
    QStringListModel* m_results = nullptr;
};

} // namespace tarnwel
