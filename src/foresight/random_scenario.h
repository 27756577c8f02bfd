// SPDX-License-Identifier: GPL-3.0-or-later
// 乱世: a fresh scenario drawn from a seed and made fair. A date between 189 and 219 is
// drawn, and the rulers who held lands then are dealt countries that hang together on
// the map, with figures like those of the bundled scenarios; then the figures are
// adjusted, round by round, until the fairness table's every target holds. The draws
// come from the game's own generator and every figure is a whole number, so one seed
// gives the same scenario, byte for byte, on every machine.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "foresight/fairness.h"
#include "model/scenario_pair.h"

namespace foresight {

struct RandomScenarioOptions {
    int threads = 0; // the fairness tables' threads; 0: one for each core
    const std::atomic<bool>* cancel = nullptr;
};

struct RandomScenario {
    std::uint32_t seed = 0;
    ScenarioPair pair;
    FairnessTable table; // its fairness table, every target met
    int draws = 0;       // scenarios drawn before this one was made fair
    int rounds = 0;      // tables measured in all
};

// The first and last year a ruler held lands of his own; 0 for those never held.
struct RulerYears {
    std::int32_t first = 0;
    std::int32_t last = 0;
};
RulerYears YearsOfRuler(RulerId ruler);

// The scenario of seed on the map of map: its country names, neighbours and markers
// are kept, everything else is drawn. Empty when cancelled, or when no fair scenario
// came of the seed within the draws allowed (none of the seeds tried has needed it).
std::optional<RandomScenario> MakeRandomScenario(std::uint32_t seed, const WorldRecord& map,
                                                 const RandomScenarioOptions& options = {});

} // namespace foresight
