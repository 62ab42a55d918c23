// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "quotes/quote.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace tarnwel {

// What one code's answer came to.
enum class ReplyKind {
    Quote,    // a record to show
    NoRecord, // the service answered, but holds nothing for the code: not its fault
    NotQuote, // an answer that is not a quote the program can use
};

struct ParsedReply {
    ReplyKind kind = ReplyKind::NotQuote;
    Quote quote; // when kind is Quote
};

// The record of `code` in a reply of `service`. The first service's reply is cut by its
// commas as a whole, whatever framing it carries; the second's record is found by its
// "v_<code>=" and must hold its timestamp where the format puts it, so that a damaged
// record never shifts values onto the wrong labels.
ParsedReply parseReply(QuoteService service, QStringView text, const QString& code);

// A reply to one request for several codes: each code's record, in the order asked. A code
// whose record is missing or does not cut comes back as NotQuote (or NoRecord).
QList<ParsedReply> parseReplies(QuoteService service, QStringView text, const QStringList& codes);

// The index codes: sh000xxx, sz399xxx and bj899xxx. The second service writes their values
// as they are; only stock and fund prices are padded.
bool isIndexCode(QStringView code);

// "5.23" as "5.230": zeros appended up to three decimals, never rounded. Anything other than
// a plain decimal number, or one with three or more decimals, stays as it is.
QString padToThreeDecimals(const QString& price);

} // namespace tarnwel
