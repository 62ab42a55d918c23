// SPDX-License-Identifier: GPL-3.0-or-later
#include "alerts/alertmonitor.h"

#include "alerts/alertrule.h"
#include "base/inilist.h"
#include "base/logging.h"
#include "base/plainini.h"
#include "base/settingsstore.h"
#include "quotes/markethours.h"
#include "quotes/pricechange.h"
#include "quotes/quoterecord.h"

#include <QSet>

#include <algorithm>

namespace tarnwel {

namespace {

// One condition against a price: its stored part, whether it holds (nothing where the
// texts do not tell) and how it reads when it fires.
struct Verdict {
    QString part;
    std::optional<bool> holds;
    QString reads;
};

std::optional<bool> sign(std::optional<int> compared, bool above) {
    if (!compared)
        return std::nullopt;
    return above ? *compared >= 0 : *compared <= 0;
}

QList<Verdict> verdicts(const AlertRule& rule, const QString& price, const QString& close) {
    QList<Verdict> out;
    if (!rule.above.isEmpty())
        out.append({u"above:" + rule.above, sign(compareDecimals(price, rule.above), true),
                    price + u" ≥ " + rule.above});
    if (!rule.below.isEmpty())
        out.append({u"below:" + rule.below, sign(compareDecimals(price, rule.below), false),
                    price + u" ≤ " + rule.below});
    if (!rule.move.isEmpty()) {
        const std::optional<PriceChange> change = priceChange(price, close);
        const bool down = change && change->direction < 0;
        out.append({u"move:" + rule.move, movesAtLeast(price, close, rule.move),
                    (change ? change->percent : QString()) + (down ? u" ≤ -" : u" ≥ +") +
                        rule.move + u'%'});
    }
    return out;
}

} // namespace

struct AlertMonitor::Private {
    Options options;
    QDate day;              // of the state below
    QSet<QString> holding;  // "code part": true at its last check that day
    QStringList fired;      // that day's alerts
    QSet<QString> reported; // stored values already logged as unreadable

    QDateTime now() const {
        return options.clock ? options.clock() : QDateTime::currentDateTimeUtc();
    }

    std::optional<AlertRule> rule(const QString& code) {
        // An empty text reads as no conditions, which lets go of any held before.
        const QString stored = options.settings->alerts(code);
        std::optional<AlertRule> rule = parseAlertRule(stored);
        if (!rule && !reported.contains(code + u'=' + stored)) {
            reported.insert(code + u'=' + stored);
            qCWarning(lcAlerts).noquote()
                << "alerts of" << code << "do not read, ignored:" << stored;
        }
        return rule;
    }

    // Fires each condition that has become true. A firing is saved before anyone is told,
    // so that a program ended right after the notification does not tell it again; true
    // when the state changed otherwise and is still to be saved. `lead` begins the line of
    // each alert.
    bool update(AlertMonitor* q, const QString& code, const QList<Verdict>& all,
                const QString& lead) {
        bool changed = forgetChanged(code, all);
        QStringList lines;
        for (const Verdict& v : all) {
            const QString key = code + u' ' + v.part;
            if (!v.holds || *v.holds == holding.contains(key))
                continue;
            changed = true;
            if (!*v.holds) {
                holding.remove(key);
                continue;
            }
            holding.insert(key);
            lines.append(lead + v.reads);
        }
        if (lines.isEmpty())
            return changed;
        fired.append(lines);
        q->saveState();
        for (const QString& line : std::as_const(lines)) {
            qCInfo(lcAlerts).noquote() << "fired:" << code << line;
            Q_EMIT q->fired(code, line);
        }
        Q_EMIT q->firedTodayChanged(fired);
        return false;
    }

    // A condition changed or removed since its last check starts afresh; true when one did.
    bool forgetChanged(const QString& code, const QList<Verdict>& all) {
        const qsizetype before = holding.size();
        holding.removeIf([&](const QString& key) {
            return key.startsWith(code + u' ') &&
                   std::none_of(all.cbegin(), all.cend(),
                                [&](const Verdict& v) { return key == code + u' ' + v.part; });
        });
        return holding.size() != before;
    }
};

AlertMonitor::AlertMonitor(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Private>()) {
    d->options = std::move(options);
    loadState();
    if (d->day != MarketHours::exchangeDate(d->now())) {
        d->holding.clear();
        d->fired.clear();
    }
}

AlertMonitor::~AlertMonitor() = default;

QStringList AlertMonitor::firedToday() const {
    return d->fired;
}

void AlertMonitor::check(const QString& name, const Quote& quote, bool live,
                         const QDateTime& checkedAt) {
    const ShownPrice shown = quoterecord::shownPrice(quote);
    if (!live || shown.kind != PriceKind::Traded)
        return;
    // Before the open the service may still hand out an earlier day's record.
    const QDate day = MarketHours::exchangeDate(checkedAt);
    if (quote.time.isValid() && MarketHours::exchangeDate(quote.time) != day)
        return;
    const std::optional<AlertRule> rule = d->rule(quote.code);
    if (!rule)
        return;
    startDay(day);
    const QString close = quote.prevClose.value_or(QString());
    const QString time = checkedAt.toLocalTime().toString(u"HH:mm:ss");
    if (d->update(this, quote.code, verdicts(*rule, shown.price, close), time + u' ' + name + u' '))
        saveState();
}

void AlertMonitor::startDay(const QDate& day) {
    if (day == d->day)
        return;
    d->day = day;
    d->holding.clear();
    if (!d->fired.isEmpty()) {
        d->fired.clear();
        Q_EMIT firedTodayChanged(d->fired);
    }
    saveState();
}

// Keys and list form as earlier releases wrote the file through Qt's settings, so the
// state of a day survives an update.
void AlertMonitor::loadState() {
    const IniValues state = readPlainIniFile(d->options.statePath, IniText::Verbatim);
    d->day = QDate::fromString(state.value(QStringLiteral("day")), Qt::ISODate);
    const QStringList holding = iniList(state.value(QStringLiteral("holding")));
    d->holding = QSet<QString>(holding.cbegin(), holding.cend());
    d->fired = iniList(state.value(QStringLiteral("fired")));
}

void AlertMonitor::saveState() const {
    QStringList holding(d->holding.cbegin(), d->holding.cend());
    holding.sort();
    const IniValues state{{QStringLiteral("day"), d->day.toString(Qt::ISODate)},
                          {QStringLiteral("holding"), iniListText(holding)},
                          {QStringLiteral("fired"), iniListText(d->fired)}};
    if (!writePlainIniFile(d->options.statePath, state, {}, IniText::Verbatim))
        qCWarning(lcAlerts).noquote() << "alert state not saved to" << d->options.statePath;
}

} // namespace tarnwel
