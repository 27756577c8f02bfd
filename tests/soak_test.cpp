// SPDX-License-Identifier: GPL-3.0-or-later
// Long runs of the headless game over every scenario and every ruler it offers, each
// with several fixed clocks. After each of the player's turns the world must hold only
// values the game can hold; at a few points a run saves the world as the headless mode
// saves it, loads it back into the game and goes on from the loaded world.
//
// Two kinds of run: the scenario as dealt (the resting player is usually conquered
// within a few decades), and the scenario with the player's countries held by an army
// too strong for any computer ruler to choose as a target, so that the computer rulers
// play on for the whole length and the figures grow to the 32-bit limits.
//
// VELCOR_SOAK_YEARS (the length of a run) and VELCOR_SOAK_CLOCKS (clocks per ruler)
// set the size; the defaults keep the share of the test suite short. A long soak:
//   VELCOR_SOAK_YEARS=1000 VELCOR_SOAK_CLOCKS=50 build/default/tests/soak_test
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/clock.h"
#include "cli/headless.h"
#include "session/game_session.h"
#include "rules/turn.h"
#include "test_support.h"
#include "world_fixture.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

constexpr std::int64_t kDefaultYears = kSanitized ? 150 : 500;
constexpr std::int64_t kDefaultClocks = kSanitized ? 2 : 3;
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// A whole number from the environment, or fallback when unset; a bad value fails.
std::int64_t Setting(const char* name, std::int64_t fallback, std::int64_t min, std::int64_t max)
{
    const char* text = std::getenv(name);
    if (!text || !*text)
        return fallback;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (*end != '\0' || value < min || value > max) {
        ADD_FAILURE() << name << "=" << text << " is not a whole number from " << min << " to " << max;
        return fallback;
    }
    return value;
}

std::int64_t MonthNumber(std::int32_t year, std::int32_t month) { return std::int64_t{year} * 12 + month; }
std::int64_t MonthNumber(const GameState& world) { return MonthNumber(world.year, world.month); }

enum class Kind { Dealt, Held };

void PrintTo(Kind kind, std::ostream* os) { *os << (kind == Kind::Held ? "held" : "dealt"); }

// An army this large at full training is stronger than any target a computer ruler
// will choose, and these provisions feed it for far longer than any run.
constexpr std::int32_t kHeldSoldiers = 200000;
constexpr std::int32_t kHeldProvisions = 2'000'000'000;

struct Totals {
    int runs = 0;
    std::int64_t months = 0;
    std::int64_t replayedMonths = 0; // the runs played again without the saves
    int saves = 0;
    int longest = 0;            // months of the longest run
    int gameOvers = 0;
    int saturatedFigures = 0;   // country figures found at INT32_MAX at the end of a run
};

// Checks the world after each of the player's turns against what the game can hold,
// and against the parts of the world that never change during a game.
class WorldWatch {
public:
    explicit WorldWatch(RulerId player) : m_player(player) {}

    // The world the run starts from: its fixed parts and its date.
    void Begin(const WorldRecord& start)
    {
        m_fixed = start;
        m_lastMonth = MonthNumber(start.year, start.month);
    }

    // The first fault found in a world and the battle its host has marked, or an empty
    // text.
    std::string Fault(const GameState& world, std::pair<int, int> battle)
    {
        std::ostringstream fault;
        const std::int64_t month = MonthNumber(world);
        if (world.playerRuler != m_player)
            fault << "player ruler " << world.playerRuler.Get() << ", not " << m_player;
        else if (world.turnCountry < -1 || world.turnCountry >= kCountryCount)
            fault << "turn cursor " << world.turnCountry.Get();
        else if (world.month < 1 || world.month > 12)
            fault << "month " << world.month.Get();
        else if (month < m_lastMonth || month > m_lastMonth + 1)
            fault << "the calendar went from month " << m_lastMonth << " to " << month
                  << " between two of the player's turns";
        else if (battle != std::pair<int, int>{-1, -1})
            fault << "a battle is still marked at the player's turn: " << battle.first << " -> " << battle.second;
        else if (PlayerHasCountry(world) && world.countries[world.turnCountry].GetRuler() != m_player)
            fault << "the turn stops at country " << world.turnCountry.Get() << ", not the player's";
        m_lastMonth = month;
        for (int i = 0; i < kCountryCount && fault.str().empty(); ++i)
            CountryFault(world, i, fault);
        return fault.str();
    }

private:
    void CountryFault(const GameState& world, int i, std::ostringstream& fault) const
    {
        const Country& c = world.countries[i];
        const CountryRecord& fixed = m_fixed.countries[i];
        const std::string where = "country " + std::to_string(i) + " ";
        if (c.id != i)
            fault << where << "has the id " << c.id;
        else if (c.GetName() != fixed.name || c.GetNeighbours() != fixed.neighbours || c.GetMapX() != fixed.mapX ||
                 c.GetMapY() != fixed.mapY)
            fault << where << "changed its name, neighbours or marker";
        else if (c.GetRuler() < 0 || c.GetRuler() >= kRulerCount)
            fault << where << "ruler " << c.GetRuler();
        else if (c.GetTraining() < 0 || c.GetTraining() > Country::kMaxTraining)
            fault << where << "training " << c.GetTraining();
        if (!fault.str().empty())
            return;
        const std::pair<const char*, std::int32_t> figures[] = {
            {"population", c.GetPopulation()}, {"cultivation", c.GetCultivation()}, {"commerce", c.GetCommerce()},
            {"soldiers", c.GetSoldiers()},     {"provisions", c.GetProvisions()},   {"funds", c.GetFunds()},
        };
        for (const auto& [name, value] : figures) {
            if (value < 0) {
                fault << where << name << " " << value;
                return;
            }
        }
    }

    RulerId m_player;
    WorldRecord m_fixed;
    std::int64_t m_lastMonth = 0;
};

int SaturatedFigures(const GameState& world)
{
    int n = 0;
    for (const Country& c : world.countries)
        for (std::int32_t v : {c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetSoldiers(),
                               c.GetProvisions(), c.GetFunds()})
            n += v == kInt32Max;
    return n;
}

// Saves the session's world as the headless mode saves it (the cursor as after the
// player's command), replaces the game with the program-start world and loads the file
// into the session as a load does. A fault when the loaded world is not the same.
std::string SaveAndReload(GameSession& session, const std::string& path)
{
    GameState& world = session.world;
    const WorldRecord before = CaptureWorld(world, world.turnCountry);
    std::string error;
    if (!session.SaveGame(path, world.turnCountry, &error))
        return "the save failed: " + error;
    world = GameState();
    const LoadOutcome loaded = session.LoadGame(path);
    if (loaded.status != LoadStatus::Loaded)
        return "the save does not load: " + loaded.words.Text();
    if (CaptureWorld(world, world.turnCountry) != before)
        return "the loaded world differs from the saved one";
    return {};
}

class Soak : public WorldTest, public ::testing::WithParamInterface<std::tuple<int, Kind>> {
protected:
    void TearDown() override
    {
        platform::UseRealClock();
        WorldTest::TearDown();
    }

    static std::string DataDir() { return VELCOR_SOURCE_DIR "/data"; }

    // The starting world of a held run: the scenario's country file with the player's
    // countries at full training, a large army and the provisions to feed it.
    std::string HeldWorldFile(int scenario, RulerId player)
    {
        const std::string path = dir.Path("held.txt");
        if (LoadCountryFile(world, CountryFilePath(DataDir(), scenario)).status != LoadStatus::Loaded)
            return {};
        WorldRecord record = CaptureWorld(world, -1);
        record.playerRuler = player;
        for (CountryRecord& c : record.countries) {
            if (c.ruler == player) {
                c.soldiers = kHeldSoldiers;
                c.training = Country::kMaxTraining;
                c.provisions = kHeldProvisions;
            }
        }
        world = GameState();
        return WriteCountryFile(path, record, nullptr) ? path : std::string();
    }

    // One run as the headless mode plays it; false when it found a fault (reported already).
    bool Run(int scenario, Kind kind, RulerId ruler, std::int64_t clock, std::int64_t months, bool saveMidRun,
             Totals& totals, std::string* finalFile = nullptr)
    {
        const std::string label = "scenario " + std::to_string(scenario) + (kind == Kind::Held ? " held" : " dealt") +
                                  ", ruler " + std::to_string(ruler) + ", clock " + std::to_string(clock);
        HeadlessOptions options;
        options.dataDir = DataDir();
        if (kind == Kind::Held) {
            options.loadFile = HeldWorldFile(scenario, ruler);
            if (options.loadFile.empty()) {
                ADD_FAILURE() << label << ": cannot write the held world";
                return false;
            }
        } else {
            options.scenario = scenario;
            options.ruler = ruler;
        }
        options.months = months;
        options.clockStart = clock;
        options.saveFile = dir.Path("end.txt");

        // The starting world as the run will load it.
        if (LoadCountryFile(world, kind == Kind::Held ? options.loadFile : CountryFilePath(DataDir(), scenario)).status !=
            LoadStatus::Loaded) {
            ADD_FAILURE() << label << ": the starting world does not load";
            return false;
        }
        const WorldRecord start = CaptureWorld(world, -1);
        world = GameState();
        const std::int64_t firstMonth = MonthNumber(start.year, start.month);

        WorldWatch watch(ruler);
        watch.Begin(start);
        std::ostringstream out, err;
        HeadlessGame game(&out);
        GameSession& session = game.Session();
        bool called = false;
        std::int64_t nextSave = 3;
        std::string fault;
        options.atPlayerTurn = [&] {
            called = true;
            fault = watch.Fault(session.world, game.Host().MarkedBattle());
            if (fault.empty() && saveMidRun && MonthNumber(session.world) - firstMonth >= nextSave &&
                PlayerHasCountry(session.world) && !IsUnified(session.world)) {
                fault = SaveAndReload(session, dir.Path("mid.txt"));
                ++totals.saves;
                nextSave *= 4;
            }
            return fault.empty();
        };

        // As RunHeadless plays it, with the session at hand for the observer.
        platform::FixClock(*options.clockStart);
        std::vector<RulerId> offered;
        int status = kHeadlessBadInput;
        if (SetUpHeadlessGame(session, options, offered, err)) {
            PlayResting(game, options);
            std::string error;
            status = session.SaveGame(options.saveFile, session.world.turnCountry, &error) ? kHeadlessDone
                                                                                            : kHeadlessSaveFailed;
            err << error;
        }
        if (!fault.empty()) {
            ADD_FAILURE() << label << ", " << session.world.year.Get() << "/" << session.world.month.Get() << ": "
                          << fault;
            return false;
        }
        if (status != kHeadlessDone || !called) {
            ADD_FAILURE() << label << ": status " << status << "\n" << err.str();
            return false;
        }
        // The end of the run: the world holds, and the headless mode's own save of it
        // loads as the same world.
        const WorldRecord end = CaptureWorld(session.world, session.world.turnCountry);
        world = GameState();
        if (LoadCountryFile(world, options.saveFile).status != LoadStatus::Loaded ||
            CaptureWorld(world, world.turnCountry) != end) {
            ADD_FAILURE() << label << ": the final save does not give back the final world";
            return false;
        }
        if (finalFile)
            *finalFile = ReadFileBytes(options.saveFile);

        const std::int64_t played = MonthNumber(world) - firstMonth;
        ++totals.runs;
        totals.months += played;
        totals.longest = std::max(totals.longest, static_cast<int>(played));
        totals.gameOvers += !PlayerHasCountry(world);
        totals.saturatedFigures += SaturatedFigures(world);
        return true;
    }

    TempDir dir;
};

std::string KindName(Kind kind) { return kind == Kind::Held ? "held" : "dealt"; }

TEST_P(Soak, EveryRulerWithSeveralClocks)
{
    const auto [scenario, kind] = GetParam();
    const std::int64_t years = Setting("VELCOR_SOAK_YEARS", kDefaultYears, 1, 1000000);
    const std::int64_t clocks = Setting("VELCOR_SOAK_CLOCKS", kDefaultClocks, 1, 100000);
    const ScenarioList list = ReadScenarioFile(ScenarioFilePath(DataDir(), scenario));
    ASSERT_EQ(list.status, ScenarioStatus::Read) << list.words.Text();
    ASSERT_FALSE(list.rulers.empty());

    const auto started = std::chrono::steady_clock::now();
    Totals totals;
    int faults = 0;
    for (RulerId ruler : list.rulers) {
        for (std::int64_t k = 0; k < clocks && faults < 3; ++k) {
            const std::int64_t clock = 1'600'000'000 + 7919 * k + 104729 * scenario + 613 * ruler;
            std::string withSaves;
            if (!Run(scenario, kind, ruler, clock, years * 12, true, totals, &withSaves)) {
                ++faults;
                continue;
            }
            // The saves in the middle are invisible to the game: the same run without
            // them ends in the same world, byte for byte. (Held runs are long; their
            // first clock is enough.)
            if (kind == Kind::Dealt || k == 0) {
                Totals unsaved;
                std::string withoutSaves;
                const bool ran = Run(scenario, kind, ruler, clock, years * 12, false, unsaved, &withoutSaves);
                totals.replayedMonths += unsaved.months;
                if (!ran) {
                    ++faults;
                } else {
                    EXPECT_EQ(withoutSaves, withSaves) << "ruler " << ruler << ", clock " << clock;
                }
            }
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    EXPECT_EQ(totals.runs, static_cast<int>(list.rulers.size() * clocks));
    EXPECT_GT(totals.saves, 0);
    if (kind == Kind::Held) {
        EXPECT_EQ(totals.months, totals.runs * years * 12) << "a held player lost his countries";
    }

    RecordProperty("runs", totals.runs);
    RecordProperty("months", std::to_string(totals.months));
    RecordProperty("years", std::to_string(totals.months / 12));
    RecordProperty("saves", totals.saves);
    std::printf("[   soak   ] scenario %d %s: %d rulers x %lld clocks = %d runs, %lld months (%.1f years), "
                "longest %.1f years, %d game overs, %d mid-run saves reloaded, %d figures at the 32-bit limit; "
                "%lld months replayed without saves; %.1f s\n",
                scenario, KindName(kind).c_str(), static_cast<int>(list.rulers.size()), static_cast<long long>(clocks),
                totals.runs, static_cast<long long>(totals.months), totals.months / 12.0, totals.longest / 12.0,
                totals.gameOvers, totals.saves, totals.saturatedFigures,
                static_cast<long long>(totals.replayedMonths), seconds);
}

INSTANTIATE_TEST_SUITE_P(Headless, Soak,
                         ::testing::Combine(::testing::Values(1, 2, 3), ::testing::Values(Kind::Dealt, Kind::Held)),
                         [](const ::testing::TestParamInfo<std::tuple<int, Kind>>& info) {
                             return "Scenario" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) == Kind::Held ? "Held" : "Dealt");
                         });

} // namespace
