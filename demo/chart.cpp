// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/market.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace tarnwel::demo {

namespace {

const QColor kUp(0xe0, 0x1e, 0x1e);   // red: closed above its open
const QColor kDown(0x11, 0x99, 0x33); // green: closed below
const QColor kGrid(0xdd, 0xdd, 0xdd);
const QColor kText(0x33, 0x33, 0x33);

QString periodTitle(Period period) {
    switch (period) {
    case Period::Daily:
        return QStringLiteral("日K线");
    case Period::Weekly:
        return QStringLiteral("周K线");
    case Period::Monthly:
        return QStringLiteral("月K线");
    case Period::Intraday:
        return QStringLiteral("分时");
    }
    return {};
}

} // namespace

QImage drawChart(const QString& name, const QString& code, Period period, const QList<Bar>& bars,
                 double previousClose, int decimals) {
    QImage image(545, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(kText);
    p.drawText(QRect(8, 4, 529, 18), Qt::AlignLeft | Qt::AlignVCenter,
               name + u'(' + code + QStringLiteral(") ") + periodTitle(period));
    if (bars.isEmpty())
        return image;

    const QRectF price(60, 26, 470, 190);
    const QRectF volume(60, 226, 470, 60);
    double high = bars.first().high;
    double low = bars.first().low;
    double maxVolume = 1;
    for (const Bar& bar : bars) {
        high = std::max(high, bar.high);
        low = std::min(low, bar.low);
        maxVolume = std::max(maxVolume, bar.volume);
    }
    if (period == Period::Intraday) {
        // Today's chart is centred on the previous close.
        const double reach =
            std::max({high - previousClose, previousClose - low, previousClose * 0.01});
        high = previousClose + reach;
        low = previousClose - reach;
    }
    if (high <= low)
        high = low + 1;
    const auto y = [&](double value) {
        return price.bottom() - (value - low) / (high - low) * price.height();
    };

    // Grid and price scale.
    for (int i = 0; i <= 4; ++i) {
        const double value = low + (high - low) * i / 4.0;
        const double at = y(value);
        p.setPen(
            QPen(kGrid, 1, i == 2 && period == Period::Intraday ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(QPointF(price.left(), at), QPointF(price.right(), at));
        p.setPen(kText);
        p.drawText(QRectF(0, at - 8, 56, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(value, 'f', decimals));
    }
    p.setPen(QPen(QColor(0x99, 0x99, 0x99), 1));
    p.drawRect(price);
    p.drawRect(volume);

    const int slots = period == Period::Intraday ? std::max<int>(bars.size(), 240) : bars.size();
    const double slot = price.width() / slots;
    const auto x = [&](int i) { return price.left() + slot * (i + 0.5); };

    if (period == Period::Intraday) {
        QPainterPath line;
        QPainterPath average;
        double cost = 0;
        double shares = 0;
        for (int i = 0; i < bars.size(); ++i) {
            cost += bars[i].close * std::max(bars[i].volume, 1.0);
            shares += std::max(bars[i].volume, 1.0);
            const QPointF at(x(i), y(bars[i].close));
            const QPointF mean(x(i), y(cost / shares));
            i == 0 ? line.moveTo(at) : line.lineTo(at);
            i == 0 ? average.moveTo(mean) : average.lineTo(mean);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x20, 0x40, 0xc0), 1.2));
        p.drawPath(line);
        p.setPen(QPen(QColor(0xe0, 0xa0, 0x00), 1));
        p.drawPath(average);
    } else {
        const double body = std::max(1.0, slot * 0.7);
        for (int i = 0; i < bars.size(); ++i) {
            const Bar& bar = bars[i];
            const QColor colour = bar.close >= bar.open ? kUp : kDown;
            p.setPen(QPen(colour, 1));
            p.drawLine(QPointF(x(i), y(bar.high)), QPointF(x(i), y(bar.low)));
            const double top = y(std::max(bar.open, bar.close));
            const double bottom = y(std::min(bar.open, bar.close));
            const QRectF candle(x(i) - body / 2, top, body, std::max(1.0, bottom - top));
            if (bar.close >= bar.open) {
                p.setBrush(Qt::white);
                p.drawRect(candle);
            } else {
                p.fillRect(candle, colour);
            }
        }
    }

    // Volume underneath.
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < bars.size(); ++i) {
        const Bar& bar = bars[i];
        const double h = bar.volume / maxVolume * (volume.height() - 2);
        const QColor colour = bar.close >= bar.open ? kUp : kDown;
        p.fillRect(QRectF(x(i) - std::max(0.5, slot * 0.35), volume.bottom() - h,
                          std::max(1.0, slot * 0.7), h),
                   colour);
    }
    return image;
}

} // namespace tarnwel::demo
