// SPDX-License-Identifier: GPL-3.0-or-later
// Ends the program cleanly on SIGINT and SIGTERM (Ctrl+C in the terminal, a logout):
// the handler only wakes the event loop, which then runs the given action. The
// action runs once; a second signal ends the program at once, as if none had been
// caught, so that a program stuck on its way out can still be stopped. A later call
// sets the action and catches the signals again.
#pragma once

#include <functional>

namespace platform {

void QuitOnSignals(std::function<void()> action);

} // namespace platform
