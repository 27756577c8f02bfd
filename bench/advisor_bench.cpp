// SPDX-License-Identifier: GPL-3.0-or-later
// The advisor at its defaults: every command of the player's turn tried on copies of
// the tests' small world, played on for the horizon's months on one worker thread for
// each hardware thread. One iteration is one whole answer; the counter is the trials.
#include <benchmark/benchmark.h>

#include "foresight/advisor.h"
#include "model/country_file.h"
#include "test_world.h"

namespace {

void BM_AdviseAtDefaults(benchmark::State& state)
{
    GameState world;
    ApplyWorld(world, MakeTestWorld());
    BuildRulerTable(world);
    world.turnCountry = 0; // the player's country, at his turn
    std::int64_t trials = 0;
    for (auto _ : state) {
        const std::vector<foresight::AdvisedCommand> ranking = foresight::Advisor(world).Run();
        for (const foresight::AdvisedCommand& a : ranking)
            trials += a.trials;
        benchmark::DoNotOptimize(ranking.data());
    }
    state.counters["trials"] = benchmark::Counter(static_cast<double>(trials), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AdviseAtDefaults)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
