// Ends the program cleanly on SIGINT and SIGTERM (Ctrl+C in the terminal, a logout):
// the handler only wakes the event loop, which then runs the given action.
#pragma once

#include <functional>

namespace platform {

void QuitOnSignals(std::function<void()> action);

} // namespace platform
