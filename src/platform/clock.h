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

// The clock one game seeds its generators from. By default it reads the process's
// clock above; fixed, it is the game's own: start, start + 1, ... whatever other games
// read meanwhile, so that games played side by side each repeat exactly. A copy goes
// on from the same reading.
class GameClock {
public:
    std::int64_t Read() { return m_fixed ? m_next++ : ClockSeconds(); }
    void FixFrom(std::int64_t start)
    {
        m_fixed = true;
        m_next = start;
    }
    bool Fixed() const { return m_fixed; }

private:
    bool m_fixed = false;
    std::int64_t m_next = 0;
};

} // namespace platform
