// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/terminal.h"

#include <unistd.h>

namespace platform {

bool StandardErrorIsTerminal()
{
#ifdef __EMSCRIPTEN__
    // Under WebAssembly every stream claims to be a terminal, a browser's console and
    // node's pipes alike: the progress line's control codes would land in the log.
    return false;
#else
    return ::isatty(STDERR_FILENO) == 1;
#endif
}

} // namespace platform
