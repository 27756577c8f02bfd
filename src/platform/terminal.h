// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a standard stream is a terminal.
#pragma once

namespace platform {

// Whether standard error is a terminal (and not a file or a pipe).
bool StandardErrorIsTerminal();

} // namespace platform
