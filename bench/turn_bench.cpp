// SPDX-License-Identifier: GPL-3.0-or-later
// Months of computer play per second: the turn worker's procedure on the calling thread
// with a host that handles every call at once, on a world where the player holds one
// country and rests at each of his turns; and the headless mode as a whole, from the
// command line's arguments to the end line, on a bundled scenario.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

#include "model/country_file.h"
#include "platform/clock.h"
#include "rules/event_log.h"
#include "cli/headless.h"
#include "rules/turn.h"
#include "test_world.h"

namespace {

class QuietHost : public TurnHost {
public:
    explicit QuietHost(GameState&) {}

    std::int64_t computerTurns = 0; // including the second call of a country that attacks
    std::int64_t wars = 0;          // battles between computer rulers

    void TurnBegin(int) override
    {
        ++computerTurns;
        if (m_battleAttacker >= 0)
            ++wars;
    }
    void MarkBattle(int attacker, int) override { m_battleAttacker = attacker; }
    void PlayerTurn(int) override {}
    void ShowMessage(const platform::Message&, int) override {}
    bool Present(BattleScript& script) override
    {
        script.Start();
        script.Finish();
        return true;
    }

private:
    int m_battleAttacker = -1;
};

// The tests' world with the player's army beyond the strength any computer ruler
// attacks, fed for ever: the computer rulers fight among themselves month after month.
WorldRecord BenchWorld()
{
    WorldRecord world = MakeTestWorld();
    CountryRecord& player = world.countries[0];
    player.soldiers = 1000000;
    player.training = 100;
    player.provisions = 2000000000;
    return world;
}

void StartWorld(GameState& world, const WorldRecord& record)
{
    ApplyWorld(world, record);
    BuildRulerTable(world);
    world.turnCountry = 0; // the player's turn: the first rest runs a whole month
}

// Months of computer play with observer hearing the events (none: nullptr).
void ComputerMonths(benchmark::State& state, EventLog* observer)
{
    // A century, then the world starts again, so that the armies and the economy stay
    // those of a game in play rather than figures grown to their limits.
    constexpr int kMonthsPerWorld = 1200;
    const WorldRecord start = BenchWorld();
    platform::FixClock(1);
    GameState world;
    EventSink sink;
    QuietHost host(world);
    if (observer)
        sink.Add(observer);
    StartWorld(world, start);
    std::int64_t months = 0;
    std::int64_t events = 0;
    int monthsThisWorld = 0;
    for (auto _ : state) {
        TurnWorkerProc(world, sink, host);
        ++months;
        if (++monthsThisWorld == kMonthsPerWorld || !PlayerHasCountry(world)) {
            state.PauseTiming();
            StartWorld(world, start);
            monthsThisWorld = 0;
            if (observer) {
                events += static_cast<std::int64_t>(observer->Size());
                observer->Clear();
            }
            state.ResumeTiming();
        }
    }
    state.counters["months"] = benchmark::Counter(static_cast<double>(months), benchmark::Counter::kIsRate);
    state.counters["turns/month"] = static_cast<double>(host.computerTurns) / static_cast<double>(months);
    state.counters["wars/month"] = static_cast<double>(host.wars) / static_cast<double>(months);
    if (observer) {
        events += static_cast<std::int64_t>(observer->Size());
        state.counters["events/month"] = static_cast<double>(events) / static_cast<double>(months);
        observer->Clear();
    }
    platform::UseRealClock();
}

void BM_ComputerMonths(benchmark::State& state) { ComputerMonths(state, nullptr); }
BENCHMARK(BM_ComputerMonths);

// The same with every event kept in the chronicle's log: what keeping the chronicle
// adds to the computer's turns.
void BM_ComputerMonthsObserved(benchmark::State& state)
{
    EventLog observer;
    ComputerMonths(state, &observer);
}
BENCHMARK(BM_ComputerMonthsObserved);



// velcor --headless --load FILE --months M --clock 1, where FILE is the first bundled
// scenario with 劉備's country held by an army no computer ruler attacks, so that
// every run lasts its months. Reading the file, the yearly map lines and the end line
// are part of the time, which is the wall clock's: a thread started for each stretch of
// turns would spend most of it waiting.
void BM_HeadlessMain(benchmark::State& state)
{
    const std::int64_t months = state.range(0);
    const std::string path = (std::filesystem::temp_directory_path() / "velcor_bench_strong.txt").string();
    GameState scenario;
    if (LoadCountryFile(scenario, CountryFilePath(VELCOR_SOURCE_DIR "/data", 1)).status != LoadStatus::Loaded) {
        state.SkipWithError("the bundled scenario 1 cannot be read");
        return;
    }
    WorldRecord world = CaptureWorld(scenario, -1);
    constexpr RulerId kLiuBei = 1;
    world.playerRuler = kLiuBei;
    for (CountryRecord& c : world.countries) {
        if (c.ruler == kLiuBei) {
            c.soldiers = 200000;
            c.training = 100;
            c.provisions = 2000000000;
        }
    }
    std::string error;
    if (!WriteCountryFile(path, world, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::vector<std::string> args = {"--load", path, "--months", std::to_string(months), "--clock", "1"};
    std::ostringstream out, err;
    for (auto _ : state) {
        out.str({});
        if (HeadlessMain(args, out, err) != kHeadlessDone ||
            out.str().find("still open after " + std::to_string(months)) == std::string::npos) {
            state.SkipWithError("the run did not last its months");
            break;
        }
    }
    state.counters["months"] =
        benchmark::Counter(static_cast<double>(months * state.iterations()), benchmark::Counter::kIsRate);
    std::filesystem::remove(path);
    platform::UseRealClock();
}
BENCHMARK(BM_HeadlessMain)->Arg(12000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
