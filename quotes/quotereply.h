// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tarnwel {

// A quote reply is one text of comma-separated fields, numbered from 0: field 0 is
// everything before the first comma, field k the text between the k-th and the
// (k+1)-th comma. Only commas count; any other framing of the service's reply is
// part of the fields.
namespace quotereply {

// Field k, or nothing when the reply lacks the comma before or after it. A reply with
// too few fields must not shift later fields onto the wrong values, so a missing comma
// fails the cut rather than searching again from the start.
std::optional<QString> field(QStringView reply, int k);

// The volume field (shares) as whole lots of 100: read as a leading number, divided
// by 100 and rounded to the nearest whole number, ties to the even neighbour. Nothing
// when the field reads as a number too large to be finite.
std::optional<double> volumeLots(QStringView field);

// Whether a field can go on screen: no control character, no U+FFFD (the mark a decoder
// leaves for bytes that were not text) and no private-use character (what the GBK
// decoder makes of bytes GBK never assigned, such as 0xFF). A reply with such a used
// field is not a quote, whatever else it holds.
bool isClean(QStringView field);

// A whole number of lots as plain digits: no separators, no decimals, never "-0".
QString lotsText(double lots);

} // namespace quotereply

} // namespace tarnwel
