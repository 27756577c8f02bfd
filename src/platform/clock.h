// SPDX-License-Identifier: GPL-3.0-or-later
// The clock the random generators are seeded from.
#pragma once

#include <cstdint>

namespace platform {

// The current time in whole seconds since the epoch, as time(NULL). When the clock
// has been fixed, each reading returns the next second of the fixed clock instead.
std::int64_t ClockSeconds();

// From now on readings return start, start + 1, start + 2, ... so that a run can be
// repeated exactly while every seeding still sees a new second.
void FixClock(std::int64_t start);

// Back to the real clock.
void UseRealClock();

} // namespace platform
