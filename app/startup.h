#pragma once

#include "app/environment.h"

#include <memory>

namespace tarnwel {

class Form1;

// The program's start: makes sure setup.ini and the transparency setting exist, then
// loads and shows the ticker. Null when another instance already runs and this one is
// to end at once.
std::unique_ptr<Form1> Main(Environment env);

} // namespace tarnwel
