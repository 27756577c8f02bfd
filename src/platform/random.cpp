// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include "platform/clock.h"

namespace platform {

void SeedFromClock(Random& rng, GameClock& clock)
{
    // srand takes an unsigned int: the seconds are truncated to 32 bits.
    rng.Seed(static_cast<std::uint32_t>(clock.Read()));
}

} // namespace platform
