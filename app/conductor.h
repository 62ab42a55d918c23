// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/desktophooks.h"
#include "app/environment.h"
#include "app/globalshortcut.h"
#include "app/keepontop.h"
#include "app/windowstash.h"
#include "charts/chartaddress.h"
#include "watchlist/stockdirectory.h"

#include <QHash>
#include <QKeyCombination>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <optional>

namespace tarnwel {

class AlertDialog;
class AlertMonitor;
class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class ListFeed;
struct ListLine;
struct ListRow;
class HoldingDialog;
class HoldingsBook;
class QuoteFeed;
class ServiceSwitch;
class SingleInstance;

// The one place that knows all the windows. It owns the quote feed and the ticker,
// makes the watch-list, chart and stealth windows when they are first wanted, and
// decides what follows from what the user asks of any of them: keeping a window on
// top, the chart launch, stealth mode, help and exit; what follows a price alert; and
// the boss key, which hides every window and brings them back.
class Conductor : public QObject {
    Q_OBJECT
public:
    Conductor(Environment env, DesktopHooks hooks, QObject* parent = nullptr);
    ~Conductor() override;

    // The ticker's load: false when another instance already runs, and then nothing
    // is shown. Otherwise the ticker is loaded and shown, later starts can reach this
    // instance, and the boss key is asked of the desktop.
    bool start();

    const Environment& environment() const { return m_env; }
    QuoteFeed& feed() const { return *m_feed; }
    // The stock directory the watch-list window searches: Shanghai, then Shenzhen.
    const QStringList& directory() const { return m_directory->entries(); }

    Form1& ticker() const { return *m_ticker; }
    // The other windows while they exist; null otherwise. A window that is closing
    // counts as gone at once.
    Form2* watchListWindow() const;
    Form3* chartWindow() const;
    Form4* stealthWindow() const;
    Form5* listWindow() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setBossKeys(const QKeySequence& keys);
    void handle(KeepOnTop::Event event);
    void applyKeepOnTop();
    Form4& stealth();

    void enterStealth();
    void leaveStealth();
    // The face on show: the ticker, or the list of the whole watch list.
    QWidget& face() const;
    Form5& list();
    void showList(bool list);
    void showListLines();
    ListLine listLine(const ListRow& row, bool hideAmounts) const;
    void openWatchList();
    void launchChart(ChartSubject subject);
    void launchChartOf(ChartSubject subject, const QString& name, const QString& code);
    void exitProgram();
    void alertFired(const QString& code, const QString& line);
    void alertsSeen();
    void openAlerts(const QString& entry);
    void refreshAlertMarks(const QStringList& entries);
    void startBossKey();
    void toggleWindows();
    void showShortcutState();
    void watchListSaved(const QStringList& entries);
    void entryRemoved(const QString& entry, int row);
    void undoRemoval();
    void openHoldings(const QString& entry);
    void holdingsChanged();
    void listChangedHoldings(const QStringList& entries);
    void showHoldings();

    Environment m_env;
    DesktopHooks m_hooks;
    std::shared_ptr<ServiceSwitch> m_services;
    KeepOnTop m_keepOnTop;
    // Built at the load, with every name's initials worked out once.
    std::shared_ptr<const stockdirectory::Search> m_directory =
        std::make_shared<stockdirectory::Search>();
    // Today's listing, built when the watch-list window is first wanted.
    std::shared_ptr<const stockdirectory::Search> m_listing;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<Form1> m_ticker;
    QuoteFeed* m_feed = nullptr;
    AlertMonitor* m_alerts = nullptr;
    QPointer<Form2> m_watchList;
    QPointer<Form3> m_chart;
    QPointer<Form4> m_stealth;
    std::unique_ptr<Form5> m_list;
    ListFeed* m_listFeed = nullptr;
    bool m_showsList = false;
    QStringList m_listCodes;    // the stocks the list shows, for the holdings book
    QStringList m_unseenAlerts; // codes whose alerts fired and were not yet seen
    QPointer<AlertDialog> m_alertDialog;
    std::unique_ptr<GlobalShortcut> m_shortcut;
    QKeyCombination m_bossKey; // the first of the keys asked for
    WindowStash m_away;        // what the boss key hid
    QStringList m_untold;      // alerts that fired while the windows were away
    std::unique_ptr<HoldingsBook> m_holdings;
    QString m_shownCode; // the stock on the ticker, whose holding its tooltip gives
    QPointer<HoldingDialog> m_holdingDialog;

    // What the settings held for one stock, as stored.
    struct StockKeys {
        QString alerts;
        QString holding;
    };
    // What the last save of the watch list took from the settings, by code.
    QHash<QString, StockKeys> m_dropped;
    // The last removal in the open watch-list window that took alerts or a holding with it,
    // kept until it is undone, another removal follows or the window closes.
    struct Removal {
        QString entry;
        int row = 0;
        QString code;
        StockKeys keys;
    };
    std::optional<Removal> m_removal;
};

} // namespace tarnwel
