// SPDX-License-Identifier: GPL-3.0-or-later
// Look-ahead at its defaults on the tests' small world, on one worker thread for each
// hardware thread: one whole answer of the advisor (the counter is the trials), and a
// month of computer turns at 達人, where every computer country with a choice looks
// ahead (the counters: the turns a month that looked ahead, and the milliseconds each
// took), on the small world and on bundled scenarios.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "foresight/advisor.h"
#include "foresight/look_ahead_ruler.h"
#include "foresight/silent_host.h"
#include "model/country_file.h"
#include "rules/turn.h"
#include "test_world.h"

namespace {

GameState BenchWorld()
{
    GameState world;
    ApplyWorld(world, MakeTestWorld());
    BuildRulerTable(world);
    world.clock.FixFrom(1700000000);
    return world;
}

void BM_AdviseAtDefaults(benchmark::State& state)
{
    GameState world = BenchWorld();
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

// The default look-ahead, counting the turns it chose for and the time they took.
class TimedPlanner : public ComputerPlanner {
public:
    ComputerOrder Choose(const GameState& world, int country) const override
    {
        const auto start = std::chrono::steady_clock::now();
        const ComputerOrder order = foresight::DefaultPlanner().Choose(world, country);
        nanoseconds += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
        ++turns;
        return order;
    }
    mutable std::int64_t turns = 0;
    mutable std::int64_t nanoseconds = 0;
};

// A month of computer turns at 達人 from the player's turn: on the tests' small world
// (argument 0), or on bundled scenario N at its player's first turn, the computer turns
// before it played at 普通 (1: 劉備 in 189; 3: 曹操 in 219), to his first turn of the
// next month.
void BM_MasterComputerMonth(benchmark::State& state)
{
    const int scenario = static_cast<int>(state.range(0));
    GameState world = BenchWorld();
    world.turnCountry = 0; // the player has just rested: the month's computer turns follow
    if (scenario > 0) {
        if (LoadCountryFile(world, CountryFilePath(VELCOR_SOURCE_DIR "/data", scenario), CountryFileUse::StartingWorld)
                .status != LoadStatus::Loaded) {
            state.SkipWithError("the bundled scenario cannot be read");
            return;
        }
        BuildRulerTable(world);
        EventSink events;
        foresight::SilentHost host;
        BeginNewGame(world, events, scenario == 1 ? 1 : 2);
        TurnWorkerProc(world, events, host); // to the player's first turn, at 普通
    }
    world.difficulty = Difficulty::Master;
    TimedPlanner planner;
    foresight::SilentHost host;
    host.planner = &planner;
    EventSink events;
    for (auto _ : state) {
        // To the player's first turn of the next month (his other countries rest).
        GameState month = world;
        do
            TurnWorkerProc(month, events, host);
        while (month.month == world.month && PlayerHasCountry(month) && !IsUnified(month));
        benchmark::DoNotOptimize(month.countries.data());
    }
    state.counters["lookahead_turns"] =
        benchmark::Counter(static_cast<double>(planner.turns) / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1)));
    state.counters["ms_per_turn"] =
        benchmark::Counter(planner.turns ? static_cast<double>(planner.nanoseconds) / 1e6 / static_cast<double>(planner.turns) : 0.0);
}
BENCHMARK(BM_MasterComputerMonth)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
