// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QHttpServer;

namespace tarnwel::demo {

class Market;

// Answers the quote and chart addresses as the public services do:
//   /list=CODE                                   one quote line, GBK
//   /newchart/{daily,weekly,monthly,min}/n/CODE.gif  a chart picture
// Anything else is "404 Not Found".
void addRoutes(QHttpServer& server, Market& market);

} // namespace tarnwel::demo
