// SPDX-License-Identifier: GPL-3.0-or-later
// The game's random numbers: the classic linear congruential generator of the
// C library, seeded from the clock in whole seconds. Each game owns its generators.
#pragma once

#include <cstdint>

namespace platform {

// One generator state. The draw sequence is bit for bit that of the C library's
// rand(): state = state * 214013 + 2531011 (mod 2^32), value = (state >> 16) & 0x7FFF.
class Random {
public:
    static constexpr int kMax = 0x7FFF;

    explicit Random(std::uint32_t seed = 1) : m_state(seed) {}

    void Seed(std::uint32_t seed) { m_state = seed; }
    std::uint32_t State() const { return m_state; }

    // A value in 0..32767.
    int Draw()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t m_state;
};

class GameClock;

// srand(time(NULL)): seeds rng with a reading of the game's clock (see clock.h).
void SeedFromClock(Random& rng, GameClock& clock);

} // namespace platform
