// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QWidget;

namespace tessory {

class Prompter;

// Runs a command; anything it throws is shown to the user in an error box owned by `owner`,
// and the program goes on.
void runGuarded(Prompter& prompter, QWidget* owner, const std::function<void()>& command);

}  // namespace tessory
