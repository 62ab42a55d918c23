// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <functional>
#include <optional>

namespace tarnwel::demo {

// One bar of a chart: a day, a week, a month, or one step of today's walk.
struct Bar {
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    double volume = 0;
};

enum class Period { Daily, Weekly, Monthly, Intraday };

// "daily", "weekly", "monthly", "min": the path segment chart addresses use.
std::optional<Period> periodFromName(const QString& name);

// A made-up market day for every security of the built-in directory and the two indices.
// Each code walks at random around a base price of its own (the same on every run);
// the walk takes one step per `stepMs` of the clock, caught up whenever the code is
// asked for, and keeps within the exchanges' 10 % daily limit.
class Market {
public:
    using Clock = std::function<qint64()>; // milliseconds, never going back

    explicit Market(Clock clock = {}, int stepMs = 3000);

    bool knows(const QString& code) const;
    QString name(const QString& code) const;

    // The quote service's reply for one code, GBK: `var hq_str_CODE="name,open,prevclose,
    // last,high,low,bid,ask,volume,amount,...,date,time,00";`, or `var hq_str_CODE="";`
    // for a code it does not list.
    QByteArray quoteReply(const QString& code);
    // The same quote as the second service writes it: "v_<code>=\"…~…\";".
    QByteArray secondServiceReply(const QString& code);

    // Today so far for a known code: the first bar opens the day, the last one is now.
    QList<Bar> intraday(const QString& code);
    // Past bars of a period ending with today's, oldest first; for Intraday, today's walk.
    QList<Bar> bars(const QString& code, Period period);
    double previousClose(const QString& code);
    // Prices of indices carry three decimals, those of securities two.
    int decimals(const QString& code) const;

private:
    struct Walk {
        QRandomGenerator random;
        double base = 0;
        double prevClose = 0;
        double open = 0;
        double high = 0;
        double low = 0;
        double last = 0;
        double volume = 0;
        double amount = 0;
        qint64 stepsTaken = 0;
        QList<Bar> today;
    };

    Walk& walk(const QString& code);
    void step(Walk& w, bool index);
    bool isIndex(const QString& code) const;

    Clock m_clock;
    int m_stepMs;
    qint64 m_start;
    QHash<QString, QString> m_names;
    QHash<QString, Walk> m_walks;
};

// A chart picture like the chart service's: 545 × 300, candles (red up, green down) or
// today's line, with the volume underneath.
QImage drawChart(const QString& name, const QString& code, Period period, const QList<Bar>& bars,
                 double previousClose, int decimals);

} // namespace tarnwel::demo
