// SPDX-License-Identifier: GPL-3.0-or-later
// Work the windows need at once, started on another thread while the windowing system
// is being opened: reading the system's font configuration, which the first text the
// game measures would otherwise wait for. Only a faster start: the work is the same
// and the fonts' library makes one configuration however many threads ask for it.
#pragma once

namespace platform {

// Starts it.
void StartWarmUp();
// Waits for it to end, if it was started; every way out of the program after
// StartWarmUp passes here, so that no thread of it is left running at the end.
void FinishWarmUp();

} // namespace platform
