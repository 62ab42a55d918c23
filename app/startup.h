// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/desktophooks.h"
#include "app/environment.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

namespace tarnwel {

// What a start asks for: the program, or what the boss key does, of the running one.
enum class Request { Start, Toggle };

// The request of the command line's arguments after the program's name: none, or
// "--toggle". Nothing for anything else.
std::optional<Request> requestFrom(const QStringList& arguments);
// The line for standard error when the arguments are not understood.
const char* usage();

// The program's start: makes sure setup.ini and the transparency setting exist, then
// loads and shows the ticker. Null when another instance already runs and this one is
// to end at once. For --toggle while another runs, what asks it; that ends the process
// (0 once it was heard), or becomes the program should the other one turn out gone.
std::unique_ptr<QObject> Main(Environment env, DesktopHooks hooks,
                              Request request = Request::Start);

} // namespace tarnwel
