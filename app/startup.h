// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/desktophooks.h"
#include "app/environment.h"

#include <memory>

namespace tarnwel {

class Conductor;

// The program's start: makes sure setup.ini and the transparency setting exist, then
// loads and shows the ticker. Null when another instance already runs and this one is
// to end at once.
std::unique_ptr<Conductor> Main(Environment env, DesktopHooks hooks);

} // namespace tarnwel
