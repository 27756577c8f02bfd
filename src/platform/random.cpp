// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include "platform/clock.h"

namespace platform {

Random& ThreadRandom()
{
    thread_local Random generator;
    return generator;
}

void SeedThreadRandomFromClock()
{
    // srand takes an unsigned int: the seconds are truncated to 32 bits.
    ThreadRandom().Seed(static_cast<std::uint32_t>(ClockSeconds()));
}

} // namespace platform
