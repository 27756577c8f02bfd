// SPDX-License-Identifier: GPL-3.0-or-later
// The fairness table and the fair random scenario: the targets the bundled starts meet
// and what misses them, the table in the background, and random scenarios of many
// seeds, each fair, of its period, unlike the others and the same at every run.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <thread>

#include "foresight/fairness.h"
#include "foresight/random_scenario.h"
#include "model/scenario_file.h"
#include "test_support.h"

using namespace foresight;

namespace {

ScenarioPair Bundled(int number)
{
    const std::string data = std::string(VELCOR_SOURCE_DIR) + "/data";
    const ScenarioPairRead read = ReadScenarioPair(ScenarioFilePath(data, number), CountryFilePath(data, number));
    EXPECT_TRUE(read.read) << read.words.Text();
    return read.pair;
}

void ForCountriesOf(ScenarioPair& pair, RulerId ruler, const std::function<void(CountryRecord&)>& change)
{
    for (CountryRecord& c : pair.world.countries)
        if (ruler == 0 ? c.ruler != 0 : c.ruler == ruler)
            change(c);
}

} // namespace

TEST(Fairness, TheBundledStartsMeetEveryTargetAndSpoiledStartsMissTheirs)
{
    const struct {
        const char* what;
        int scenario;
        RulerId ruler; // whose countries are spoiled (0: every ruler's)
        std::function<void(CountryRecord&)> spoil;
        bool war, alive, captures; // the ruler's row, and the opening's captures
    } cases[] = {
        {"scenario 1", 1, 1, [](CountryRecord&) {}, true, true, true},
        {"scenario 2", 2, 1, [](CountryRecord&) {}, true, true, true},
        {"scenario 3", 3, 15, [](CountryRecord&) {}, true, true, true},
        {"劉備 without the funds for a war", 1, 1, [](CountryRecord& c) { c.funds = 999; }, false, true, true},
        {"曹操 without an army", 1, 2,
         [](CountryRecord& c) {
             c.soldiers = 0;
             c.training = 0;
         },
         false, false, true},
        {"nobody with the funds to act", 3, 0, [](CountryRecord& c) { c.funds = 0; }, false, true, false},
    };
    for (const auto& c : cases) {
        ScenarioPair pair = Bundled(c.scenario);
        ForCountriesOf(pair, c.ruler, c.spoil);
        const std::optional<FairnessTable> table = MeasureFairness(pair, {});
        ASSERT_TRUE(table) << c.what;
        const RulerId shown = c.ruler == 0 ? pair.offered.front() : c.ruler;
        const auto row = std::find_if(table->rows.begin(), table->rows.end(),
                                      [&](const RulerFairness& r) { return r.ruler == shown; });
        ASSERT_NE(row, table->rows.end()) << c.what;
        EXPECT_EQ(row->warAtStart, c.war) << c.what;
        EXPECT_EQ(row->AliveMet(), c.alive) << c.what << ": " << row->resting.alivePermille;
        EXPECT_EQ(table->CaptureMet(), c.captures) << c.what << ": " << table->capturePermille;
        EXPECT_EQ(table->Fair(), c.war && c.alive && c.captures) << c.what;
    }

    // The verdict at the targets' edges: each ruler's row and the opening's captures.
    RulerFairness fairRow;
    fairRow.warAtStart = true;
    fairRow.resting.alivePermille = kAliveTargetPermille;
    RulerFairness dyingRow = fairRow;
    dyingRow.resting.alivePermille = kAliveTargetPermille - 1;
    const struct {
        const char* what;
        std::vector<RulerFairness> rows;
        int capturePermille;
        bool fair;
    } verdicts[] = {
        {"every row fair, captures at the target", {fairRow, fairRow}, kCaptureTargetPermille, true},
        {"every row fair, captures one short", {fairRow, fairRow}, kCaptureTargetPermille - 1, false},
        {"one row short of alive", {fairRow, dyingRow}, 1000, false},
        {"no row", {}, 1000, false},
    };
    for (const auto& v : verdicts) {
        FairnessTable table;
        table.rows = v.rows;
        table.capturePermille = v.capturePermille;
        EXPECT_EQ(table.Fair(), v.fair) << v.what;
    }

    FairnessOptions one, two;
    one.threads = 1;
    two.threads = 2;
    EXPECT_EQ(MeasureFairness(Bundled(1), one), MeasureFairness(Bundled(1), two));
}

TEST(Fairness, AJobMeasuresInTheBackgroundAndACancelledOneLeavesNoTable)
{
    FairnessJob job(Bundled(3));
    std::promise<void> finished;
    ASSERT_TRUE(job.Start([&] { finished.set_value(); }));
    ASSERT_EQ(finished.get_future().wait_for(std::chrono::minutes(1)), std::future_status::ready);
    EXPECT_TRUE(job.Finished());
    EXPECT_EQ(job.Result(), MeasureFairness(Bundled(3), {}));
    EXPECT_EQ(job.GamesDone(), job.GamesTotal());
    EXPECT_EQ(job.GamesTotal(), static_cast<int>(Bundled(3).offered.size()) * kFairnessGames);

    // The advised games take long: the cancel comes while they are played.
    FairnessOptions advised;
    advised.advisedGames = kAdvisedGames;
    FairnessJob cancelled(Bundled(1), advised);
    ASSERT_TRUE(cancelled.Start());
    while (cancelled.GamesDone() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    cancelled.Cancel();
    const auto asked = std::chrono::steady_clock::now();
    while (!cancelled.Finished() && std::chrono::steady_clock::now() - asked < std::chrono::seconds(30))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_TRUE(cancelled.Finished());
    EXPECT_FALSE(cancelled.Result());
    EXPECT_LT(cancelled.GamesDone(), cancelled.GamesTotal());
}

TEST(RandomScenario, SeedsGiveFairScenariosOfTheirPeriodEachUnlikeTheOthersAndTheSameAtEveryRun)
{
    const WorldRecord map = Bundled(1).world;
    std::vector<ScenarioPair> made;
    for (std::uint32_t seed = 0; seed < 12; ++seed) {
        const std::optional<RandomScenario> s = MakeRandomScenario(seed, map);
        ASSERT_TRUE(s) << seed;
        // Its files read back to the very scenario, which measured again meets every target.
        TempDir dir;
        std::string error;
        ASSERT_TRUE(WriteScenarioPair(dir.Path(), 1, s->pair, &error)) << error;
        const ScenarioPairRead read = ReadScenarioPair(ScenarioFilePath(dir.Path(), 1), CountryFilePath(dir.Path(), 1));
        ASSERT_TRUE(read.read) << read.words.Text();
        EXPECT_EQ(read.pair, s->pair) << seed;
        const std::optional<FairnessTable> table = MeasureFairness(read.pair, {});
        EXPECT_TRUE(table && table->Fair()) << seed;
        EXPECT_EQ(table, s->table) << seed;
        // Rulers of the year, each with lands; the map's names, borders and markers.
        for (RulerId r : read.pair.offered) {
            EXPECT_LE(YearsOfRuler(r).first, read.pair.world.year) << seed << " ruler " << r;
            EXPECT_GE(YearsOfRuler(r).last, read.pair.world.year) << seed << " ruler " << r;
            EXPECT_GT(CountriesHeld(read.pair.world, r), 0) << seed << " ruler " << r;
        }
        for (int i = 0; i < kCountryCount; ++i) {
            const CountryRecord& was = map.countries[static_cast<std::size_t>(i)];
            const CountryRecord& is = read.pair.world.countries[static_cast<std::size_t>(i)];
            EXPECT_EQ(std::tie(is.name, is.neighbours, is.mapX, is.mapY),
                      std::tie(was.name, was.neighbours, was.mapX, was.mapY));
        }
        for (const ScenarioPair& other : made)
            EXPECT_NE(other, read.pair) << seed;
        made.push_back(read.pair);
    }
    // One seed, the same bytes, on one thread or two.
    RandomScenarioOptions one, two;
    one.threads = 1;
    two.threads = 2;
    const std::optional<RandomScenario> a = MakeRandomScenario(7, map, one);
    const std::optional<RandomScenario> b = MakeRandomScenario(7, map, two);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(FormatCountryFile(a->pair.world), FormatCountryFile(b->pair.world));
    EXPECT_EQ(FormatScenarioFile(a->pair.offered), FormatScenarioFile(b->pair.offered));
}
