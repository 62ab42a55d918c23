// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace tarnwel {

// The two market indices the ticker always shows, as the quote and chart services know
// them.
inline constexpr char16_t kShanghaiIndexCode[] = u"sh000001"; // 沪综指
inline constexpr char16_t kShenzhenIndexCode[] = u"sz399001"; // 深成指

// Real codes are eight characters; a code longer than this comes from a damaged or
// hostile entry and is never sent to a service.
inline constexpr qsizetype kMaxCodeLength = 32;

// The code as a piece of a request path: every character other than an ASCII letter or
// digit percent-encoded (as UTF-8), so that no code can leave the path segment it is put
// in, start a query or a fragment, or climb out with "..". (The unreserved marks
// "-", ".", "_" and "~" mean the same either way, and Qt's requests send them plain; put
// after "list=" or before ".gif" they can never form a dot segment.)
QByteArray codeForPath(const QString& code);

// Whether a code can be a settings key of its own: ASCII letters and digits only, and not
// longer than a code can be.
bool isKeyCode(const QString& code);

} // namespace tarnwel
