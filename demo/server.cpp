// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo/server.h"

#include "demo/market.h"

#include <QBuffer>
#include <QHttpServer>
#include <QHttpServerResponse>

namespace tarnwel::demo {

namespace {

QHttpServerResponse notFound() {
    return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
}

} // namespace

void addRoutes(QHttpServer& server, Market& market) {
    // One line a code, for one code or for several joined by ",".
    server.route(QStringLiteral("/list=<arg>"), [&market](const QString& codes) {
        QByteArray body;
        for (const QString& code : codes.split(u','))
            body += market.quoteReply(code);
        return QHttpServerResponse(QByteArrayLiteral("application/javascript; charset=GBK"), body);
    });
    server.route(QStringLiteral("/q=<arg>"), [&market](const QString& codes) {
        QByteArray body;
        for (const QString& code : codes.split(u','))
            body += market.secondServiceReply(code);
        return QHttpServerResponse(QByteArrayLiteral("application/javascript; charset=GBK"), body);
    });
    server.route(QStringLiteral("/newchart/<arg>/n/<arg>"),
                 [&market](const QString& periodName, const QString& file) {
                     const std::optional<Period> period = periodFromName(periodName);
                     if (!period || !file.endsWith(u".gif"))
                         return notFound();
                     const QString code = file.chopped(4);
                     if (!market.knows(code))
                         return notFound();
                     const QImage picture =
                         drawChart(market.name(code), code, *period, market.bars(code, *period),
                                   market.previousClose(code), market.decimals(code));
                     // Qt writes no GIF. The address keeps the service's ".gif", but the bytes are
                     // PNG: the chart window reads pictures by their content, not by their name.
                     QByteArray png;
                     QBuffer buffer(&png);
                     buffer.open(QIODevice::WriteOnly);
                     picture.save(&buffer, "PNG");
                     return QHttpServerResponse(QByteArrayLiteral("image/png"), png);
                 });
}

} // namespace tarnwel::demo
