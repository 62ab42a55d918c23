// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/settingsstore.h"
#include "watchlist/codelookup.h"
#include "watchlist/stockdirectory.h"
#include "watchlist/watchliststore.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractItemView;
class QCheckBox;
class QKeyEvent;
class QKeySequence;
class QComboBox;
class QGroupBox;
class QKeySequenceEdit;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStringListModel;

namespace tarnwel {

class Autostart;
class SettingsStore;

// "添加自选股": edits the watch list, the transparency, the up/down colours, the quote service,
// start at logon and the boss key. A
// parentless tool window of fixed size, deleted when closed. Every change is saved at once: the
// watch list to setup.ini after each add or remove, every option when it is picked.
class Form2 : public QWidget {
    Q_OBJECT
public:
    using Notice = std::function<void(QWidget* parent, const QString& text)>;

    // Where the window reads and saves what it edits, and how it asks about a code.
    struct Options {
        QuoteSource::Options lookup;
        std::shared_ptr<ServiceSwitch> services; // which quote service a look-up asks
        std::shared_ptr<SettingsStore> settings;
        std::shared_ptr<Autostart> autostart;
        QString executablePath;    // what the start-at-logon entry starts
        QString watchListPath;     // setup.ini beside the program
        QString watchListUserPath; // where it moves when that cannot be written
    };

    // `directory`: every entry the search can offer, in order, and how to search them;
    // `listing`: today's listed stocks, searched when the directory finds nothing.
    Form2(Options options, std::shared_ptr<const stockdirectory::Search> directory,
          std::shared_ptr<const stockdirectory::Search> listing, Notice notice);
    ~Form2() override;

    // Centres the window on its screen and fills it from setup.ini and the settings.
    void Form_Load();
    // Marks the entries of these codes as having alerts.
    void showAlertMarks(const QStringList& codes);
    // Why the boss key cannot be had; empty where it can, and the row says what it does.
    void showHotkeyProblem(const QString& text);
    // Marks the entries of these codes as held.
    void showHoldingMarks(const QStringList& codes);
    // Says below the watch list that `entry` was taken off it, and whether its alerts and its
    // holding went with it; then, until the next removal, offers to undo it.
    void showRemoval(const QString& entry, bool alerts, bool holding);
    // Undoes a removal: `entry` back at `row` (at the end where the list is shorter now). A
    // stock listed again meanwhile, under this name or another, moves there instead. False,
    // with the reason given, where the list is full or could not be saved.
    bool putBack(const QString& entry, int row);

Q_SIGNALS:
    // A transparency picked from the list, by mouse or arrow keys, before it is stored.
    void transparencyPicked(const QString& text);
    // Up/down colours picked, already stored.
    void upDownColoursPicked(tarnwel::UpDownColours colours);
    // A quote service picked, already stored.
    void quoteSourcePicked(tarnwel::QuoteSourceChoice choice);
    // The window is going away.
    void closed();
    // "提醒…" for the selected entry.
    void alertsRequested(const QString& entry);
    // "持仓…" for the selected entry.
    void holdingsRequested(const QString& entry);
    // "隐藏金额" ticked or not, already stored.
    void amountsHiddenPicked(bool hidden);
    // The watch list as just saved.
    void watchListSaved(const QStringList& entries);
    // An entry taken off the list, at `row`, once the list was saved without it.
    void entryRemoved(const QString& entry, int row);
    // "撤销" for the removal last shown.
    void undoRequested();
    // A boss key picked or cleared, already stored: Qt's portable text, empty for none.
    void hotkeyPicked(const QString& keys);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLists();
    void buildRemovalHint();
    void placeRemovalHint();
    void hideRemoval();
    void buildOptions();
    void buildHotkeyRow();
    void setTabOrders();
    void connectKeys();
    bool listKeyPressed(QAbstractItemView* list, const QKeyEvent* key);
    bool hotkeyFieldKeyPressed(const QKeyEvent* key);

    void Text1_Change();
    void showLookedUp(CodeLookup::Result result, const QString& entry);
    void showSearchHint(const QString& text);
    void showFound(const QStringList& entries, const QString& source);
    void Command1_Click();
    void confirmName(const QString& entry);
    void rename(const QString& entry, const QString& current);
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Check1_Click(bool checked);
    void Check2_Click(bool checked);
    void applyMarks();
    void Combo1_Click(int index);
    void Combo2_Click(int index);
    void Combo3_Click(int index);
    void pickHotkey();
    void storeHotkey(const QKeySequence& keys);
    void Form_Unload();

    QStringList watchList() const;
    // Rewrites setup.ini from List2; false when the file could not be replaced.
    // Rewrites the list from List2; false, with the reason shown, when it was not saved.
    bool writeWatchList();
    void reportUnsaved();
    bool refusedAsFull();
    // Says, below the watch list, why it cannot be changed or where it now lives.
    void showListNotice(const QString& text);
    WatchListStore store() const;

    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;      // the search text
    QListView* List1 = nullptr;      // the directory entries that match the search
    QPushButton* Command1 = nullptr; // ">>>", add
    QPushButton* Command2 = nullptr; // "<<<", remove
    QListWidget* List2 = nullptr;    // the watch list
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr; // the transparency
    QCheckBox* Check1 = nullptr; // start at logon
    QLabel* Label2 = nullptr;
    QComboBox* Combo2 = nullptr; // the up/down colours
    QLabel* Label3 = nullptr;
    QComboBox* Combo3 = nullptr;     // the quote service
    QPushButton* Command3 = nullptr; // "提醒…", the selected entry's alerts
    QPushButton* Command4 = nullptr; // "持仓…", the selected entry's holding
    QCheckBox* Check2 = nullptr;     // hide the holdings' amounts
    QLabel* m_searchHint = nullptr;  // what the search found beyond the directory
    QLabel* m_listNotice = nullptr;  // why the list cannot change, or where it moved
    QLabel* m_removalHint = nullptr; // what the last removal took away
    QPushButton* m_undo = nullptr;   // "撤销", in the hint
    QKeySequenceEdit* m_hotkeyEdit = nullptr;
    QPushButton* m_hotkeyClear = nullptr;
    QLabel* m_hotkeyStatus = nullptr; // what the key does, or why it cannot be had

    Options m_options;
    std::shared_ptr<const stockdirectory::Search> m_directory;
    std::shared_ptr<const stockdirectory::Search> m_listing;
    Notice m_notice;
    QStringListModel* m_results = nullptr;
    // Where the results came from: the directory's take today's names on adding, the
    // listing's are confirmed with the service.
    enum class Source { Directory, Listing, Service };
    Source m_resultsFrom = Source::Directory;
    CodeLookup* m_lookup = nullptr;
    QStringList m_alerted; // codes with alerts
    QStringList m_held;    // codes with a holding
};

} // namespace tarnwel
