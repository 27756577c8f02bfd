// SPDX-License-Identifier: GPL-3.0-or-later
// Many headless games at once: the table, its sums, its independence of the number of
// threads, and what it refuses.
#include <fstream>
#include <functional>
#include <sstream>
#include <system_error>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "content_paths.h"
#include "model/scenario_file.h"
#include "cli/game_series.h"
#include "cli/headless.h"
#include "cli/table_text.h"
#include "rules_support.h"
#include "test_support.h"
#include "test_world.h"

namespace {

// The CSV's rows as fields, without its heading.
std::vector<std::vector<std::string>> CsvRows(const std::string& path)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadFileBytes(path));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> fields;
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// Runs run in a child process whose address space has room for extra bytes beyond what
// it holds now: a thread's stack (8 MB) cannot be had, or only so many. The child's
// exit status: 0 when run says it went as it should.
int InChildWithRoomFor(std::size_t extra, const std::function<bool()>& run)
{
    const pid_t child = ::fork();
    if (child == 0) {
        // The stacks of threads that have ended are kept for the next ones: taken by
        // threads that wait for ever, they are not there to be had.
        for (int i = 0; i < 16; ++i)
            std::thread([] { ::pause(); }).detach();
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t room = static_cast<rlim_t>(pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + extra);
        const rlimit limit{room, room};
        ::_exit(::setrlimit(RLIMIT_AS, &limit) == 0 && run() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool ThreadToBeHad()
{
    try {
        std::thread([] {}).join();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

GameRecord Fell(std::int64_t months) { return {months, false, false, 0}; }
GameRecord Held(std::int64_t months, int countries, bool unified = false) { return {months, true, unified, countries}; }

} // namespace

class GameSeriesTest : public RulesTest {
protected:
    TempDir dir;
};

TEST_F(GameSeriesTest, QuartilesByNearestRankAndSharesRoundedHalfUp)
{
    // Seven games; sorted by months: 1 3 5 7 9 12 12. Ranks ceil(7/4) = 2, ceil(7/2) = 4,
    // ceil(21/4) = 6. Two alive (2/7 = 28.57 %), one unified (14.29 %), 3 + 14 countries
    // held (17/7 = 2.43).
    const RulerSummary seven =
        SummariseGames(4, {Fell(5), Fell(1), Fell(9), Fell(3), Fell(7), Held(12, 3), Held(12, 14, true)});
    EXPECT_EQ(seven.ruler, 4);
    EXPECT_EQ(seven.games, 7);
    EXPECT_EQ(seven.q1, 3);
    EXPECT_EQ(seven.median, 7);
    EXPECT_EQ(seven.q3, 12);
    EXPECT_EQ(seven.alivePermille, 286);
    EXPECT_EQ(seven.unifiedPermille, 143);
    EXPECT_EQ(seven.meanHeldHundredths, 243);

    // Four games: ranks 1, 2, 3 exactly. One game: its months everywhere.
    const RulerSummary four = SummariseGames(1, {Fell(40), Fell(10), Fell(30), Fell(20)});
    EXPECT_EQ(std::vector<std::int64_t>({four.q1, four.median, four.q3}), std::vector<std::int64_t>({10, 20, 30}));
    const RulerSummary one = SummariseGames(1, {Held(600, 2)});
    EXPECT_EQ(std::vector<std::int64_t>({one.q1, one.median, one.q3}), std::vector<std::int64_t>({600, 600, 600}));
    EXPECT_EQ(one.alivePermille, 1000);
    EXPECT_EQ(one.meanHeldHundredths, 200);

    // One of sixteen is 62.5 per mille: half rounds up. One country in 200 games is
    // half a hundredth: up again.
    std::vector<GameRecord> sixteen(16, Fell(1));
    sixteen[3] = Held(12, 1, false);
    EXPECT_EQ(SummariseGames(1, sixteen).alivePermille, 63);
    std::vector<GameRecord> many(200, Fell(1));
    many[0] = Held(12, 1);
    EXPECT_EQ(SummariseGames(1, many).meanHeldHundredths, 1);
}

TEST_F(GameSeriesTest, ProgressTellsGamesDoneRateAndTimeLeft)
{
    EXPECT_EQ(ProgressText(0, 1000, 0.0), "0/1000 games");
    EXPECT_EQ(ProgressText(250, 1000, 5.0), "250/1000 games  50.0 games/s  15 s left");
    // 1.5 games a second with seven to go: 4.67 s, shown as the whole seconds it will take.
    EXPECT_EQ(ProgressText(3, 10, 2.0), "3/10 games  1.5 games/s  5 s left");
    EXPECT_EQ(ProgressText(10, 10, 4.0), "10/10 games  2.5 games/s  0 s left");

    // On a terminal the line is drawn in place from the first game to the last, then
    // wiped before the time the games took; the table on the other stream has none.
    HeadlessOptions options;
    std::string error;
    ASSERT_TRUE(ParseHeadlessOptions({"--data", ShippedData(), "--scenario", "3", "--ruler", "all", "--games", "2",
                                      "--months", "12", "--jobs", "2"},
                                     options, error))
        << error;
    std::ostringstream out, err;
    ASSERT_EQ(RunGameSeries(options, out, err, true), kHeadlessDone) << err.str();
    const std::string shown = err.str();
    EXPECT_EQ(shown.rfind("\r0/6 games\x1b[K", 0), 0u) << shown;
    const std::size_t last = shown.find("\r6/6 games  ");
    const std::size_t wiped = shown.find("\r\x1b[K6 games in ");
    EXPECT_NE(last, std::string::npos) << shown;
    EXPECT_NE(wiped, std::string::npos) << shown;
    EXPECT_LT(last, wiped);
    EXPECT_EQ(out.str().find('\r'), std::string::npos);
}

TEST_F(GameSeriesTest, AWonWorldGivesTheTableWorkedOutByHand)
{
    // The player holds every country: each game is unified at its first turn, he is
    // alive at the end, and all twelve months count as survived.
    WorldRecord world = MakeTestWorld();
    for (CountryRecord& c : world.countries)
        c.ruler = 1;
    // Its name holds a quote, which the CSV doubles inside the quotes round the field.
    ASSERT_TRUE(WriteCountryFile(dir.Path("won\"1.txt"), world, nullptr));
    const HeadlessRun run = Headless({"--load", dir.Path("won\"1.txt"), "--games", "3", "--months", "12", "--clock",
                                      "50", "--jobs", "2", "--csv", dir.Path("won.csv")});
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    EXPECT_EQ(run.out, dir.Path("won\"1.txt") +
                           ", 190 年 1 月: 3 games a ruler of 12 months, the player resting; clocks 50..52\n"
                           "ruler         games   alive     Q1  median     Q3  unified   held\n"
                           " 1 劉備           3  100.0%     12      12     12   100.0%  14.00\n"
                           "alive: he still holds a country at the end; Q1, median, Q3: months he survived (all 12 "
                           "when alive); unified: he holds all of China; held: mean countries at the end\n");
    EXPECT_EQ(ReadFileBytes(dir.Path("won.csv")),
              "source,scenario,year,month,ruler,name,games,months,first_clock,alive_percent,months_q1,months_median,"
              "months_q3,unified_percent,mean_countries_held\r\n\"" +
                  dir.Path("won\"\"1.txt") + "\",0,190,1,1,劉備,3,12,50,100.0,12,12,12,100.0,14.00\r\n");
    EXPECT_NE(run.err.find("3 games in "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\r'), std::string::npos) << "no progress line off a terminal";
}

TEST_F(GameSeriesTest, TheTablesColumnsStayApartAndAlignedForAnyWidth)
{
    // Each figure right-aligned under its heading, with a space before it, however wide.
    // The column on the terminal at which each word of a line ends.
    auto ends = [](const std::string& line) {
        std::vector<int> columns;
        for (std::size_t i = 0; i < line.size(); ++i)
            if (line[i] != ' ' && (i + 1 == line.size() || line[i + 1] == ' '))
                columns.push_back(DisplayWidth(line.substr(0, i + 1)));
        return columns;
    };
    const RulerSummary usual{1, 200, 7, 12, 12, 585, 0, 113};
    const RulerSummary wide{11, 1000000, 12000000, 12000000, 12000000, 1000, 1000, 1400};
    for (const std::vector<RulerSummary>& rows : {std::vector<RulerSummary>{usual}, {usual, wide}}) {
        std::istringstream table(FormatSeriesTable(SeriesHeading{}, rows));
        std::string line;
        std::getline(table, line);
        std::getline(table, line);
        const std::vector<int> heading = ends(line);
        ASSERT_EQ(heading.size(), 8u) << line;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::getline(table, line);
            const std::vector<int> row = ends(line);
            // The ruler's label is two words: his number and his name.
            ASSERT_EQ(row.size(), heading.size() + 1) << line;
            EXPECT_EQ(std::vector<int>(row.begin() + 2, row.end()), std::vector<int>(heading.begin() + 1, heading.end()))
                << line;
        }
    }
}

TEST_F(GameSeriesTest, TheSameTableWhateverTheNumberOfThreads)
{
    // Every ruler of the first bundled scenario; on one thread, and on four.
    std::string table[2], csv[2];
    const char* jobs[2] = {"1", "4"};
    for (int k = 0; k < 2; ++k) {
        const std::string csvPath = dir.Path(std::string("games") + jobs[k] + ".csv");
        const HeadlessRun run = Headless({"--data", ShippedData(), "--scenario", "1", "--ruler", "all", "--games", "15",
                                  "--months", "60", "--clock", "1700000000", "--jobs", jobs[k], "--csv", csvPath});
        ASSERT_EQ(run.status, kHeadlessDone) << run.err;
        table[k] = run.out;
        csv[k] = ReadFileBytes(csvPath);
        EXPECT_NE(run.err.find(std::string(jobs[k]) + (k == 0 ? " thread" : " threads")), std::string::npos)
            << run.err;
    }
    EXPECT_EQ(table[0], table[1]);
    EXPECT_EQ(csv[0], csv[1]);
    const ScenarioList offered = ReadScenarioFile(ScenarioFilePath(ShippedData(), 1));
    EXPECT_EQ(CsvRows(dir.Path("games1.csv")).size(), offered.rulers.size());
    EXPECT_NE(table[0].find("clocks 1700000000..1700000014"), std::string::npos) << table[0];
}

TEST_F(GameSeriesTest, EachGameIsTheSingleRunWithItsClock)
{
    // Three games of every ruler the scenario offers: by nearest rank their quartiles are
    // the three games' months in order. Game i of each ruler must be what a single run
    // with the clock 900 + i gives, read from its save: the months from the start to the
    // date he fell, or all of them.
    const int kMonths = 120;
    const HeadlessRun run = Headless({"--data", ShippedData(), "--scenario", "3", "--ruler", "all", "--games", "3",
                                      "--months", std::to_string(kMonths), "--clock", "900", "--jobs", "3", "--csv",
                                      dir.Path("three.csv")});
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    const auto rows = CsvRows(dir.Path("three.csv"));
    const std::vector<RulerId> rulers = ReadScenarioFile(ScenarioFilePath(ShippedData(), 3)).rulers;
    ASSERT_EQ(rows.size(), rulers.size());
    for (std::size_t r = 0; r < rulers.size(); ++r) {
        const std::string ruler = std::to_string(rulers[r]);
        std::vector<std::int64_t> single;
        for (int i = 0; i < 3; ++i) {
            std::ostringstream out, err;
            const std::string save = dir.Path("single.txt");
            ASSERT_EQ(HeadlessMain({"--data", ShippedData(), "--scenario", "3", "--ruler", ruler, "--months",
                                    std::to_string(kMonths), "--clock", std::to_string(900 + i), "--save", save},
                                   out, err),
                      kHeadlessDone)
                << err.str();
            ASSERT_EQ(LoadCountryFile(world, CountryFilePath(ShippedData(), 3)).status, LoadStatus::Loaded);
            const std::int64_t start = world.year * 12 + world.month;
            ASSERT_EQ(LoadCountryFile(world, save).status, LoadStatus::Loaded);
            const bool fell = out.str().find("game over") != std::string::npos;
            single.push_back(fell ? world.year * 12 + world.month - start : kMonths);
        }
        std::sort(single.begin(), single.end());
        ASSERT_EQ(rows[r].size(), 15u);
        EXPECT_EQ(rows[r][4], ruler);
        EXPECT_EQ((std::vector<std::string>{rows[r][10], rows[r][11], rows[r][12]}),
                  (std::vector<std::string>{std::to_string(single[0]), std::to_string(single[1]),
                                            std::to_string(single[2])}))
            << "ruler " << ruler;
    }
}

TEST_F(GameSeriesTest, TheComputerPlaysAsHardAsAsked)
{
    // A resting player lasts longer against an easier computer, on the mean of the
    // rulers' median months; normal is the game without the option, byte for byte.
    auto run = [&](std::vector<std::string> more) {
        std::vector<std::string> args = {"--data", ShippedData(), "--scenario", "1", "--ruler", "all", "--games",
                                         "15", "--months", "120", "--clock", "3000000", "--jobs", "2",
                                         "--csv", dir.Path("d.csv")};
        args.insert(args.end(), more.begin(), more.end());
        const HeadlessRun r = Headless(args);
        EXPECT_EQ(r.status, kHeadlessDone) << r.err;
        double sum = 0;
        const auto rows = CsvRows(dir.Path("d.csv"));
        for (const auto& row : rows)
            sum += std::stod(row.at(11));
        return std::pair{r.out, rows.empty() ? 0.0 : sum / static_cast<double>(rows.size())};
    };
    const auto [plain, plainMonths] = run({});
    const auto [normal, normalMonths] = run({"--difficulty", "normal"});
    const auto [easy, easyMonths] = run({"--difficulty", "easy"});
    const auto [hard, hardMonths] = run({"--difficulty", "hard"});
    std::vector<std::string> everyEasy;
    for (RulerId r = 1; r < kRulerCount; ++r)
        everyEasy.insert(everyEasy.end(), {"--seat", std::to_string(r) + "=easy"});
    const auto [seatedEasy, seatedEasyMonths] = run(everyEasy);
    EXPECT_EQ(normal, plain);
    EXPECT_EQ(seatedEasy, easy) << "every ruler's own level easy is the easy game";
    EXPECT_GT(easyMonths, normalMonths * 1.2) << easy << normal;
    EXPECT_LT(hardMonths, normalMonths * 0.8) << hard << normal;
}

TEST_F(GameSeriesTest, RefusesBadOptions)
{
    const std::string data = ShippedData();
    const std::vector<std::string> base = {"--data", data, "--scenario", "1", "--months", "12"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = base;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {with({"--ruler", "1", "--games", "0"}), "--games wants a whole number from 1"},
        {with({"--ruler", "1", "--games", "-3"}), "--games wants"},
        {with({"--ruler", "1", "--games", "4", "--jobs", "-1"}), "--jobs wants a whole number from 1"},
        {with({"--ruler", "1", "--games", "4", "--jobs", "0"}), "--jobs wants"},
        {with({"--ruler", "mao", "--games", "4"}), "--ruler wants a whole number from 0 to 15"},
        {with({"--ruler", "16", "--games", "4"}), "(or all, with --games)"},
        {{"--data", data, "--scenario", "2", "--ruler", "3", "--games", "4", "--months", "1"}, "does not offer ruler 3"},
        {with({"--ruler", "all"}), "--ruler all is for many games"},
        {with({"--ruler", "1", "--jobs", "2"}), "--jobs is for many games"},
        {with({"--ruler", "1", "--csv", "t.csv"}), "--csv is for many games"},
        {with({"--ruler", "1", "--games", "2", "--save", "s.txt"}), "cannot be given with --games"},
        {with({"--ruler", "1", "--games", "2", "--clock", "9223372036854775807"}), "no room for the clocks"},
        {with({"--ruler", "1", "--games", "2", "--difficulty", "Hard"}), "--difficulty is easy, normal, hard or master"},
        {{"--load", dir.Path("none.txt"), "--games", "2", "--months", "1"}, "ﾃﾞｰﾀﾌｧｲﾙが見つかりません"},
        // A networked game's limit of a turn: a whole number of seconds up to a day, for its host.
        {with({"--ruler", "1", "--seat", "3=remote", "--host", "0", "--record", "r", "--turn-limit", "0"}),
         "--turn-limit wants a whole number from 1 to 86400"},
        {with({"--ruler", "1", "--seat", "3=remote", "--host", "0", "--record", "r", "--turn-limit", "86401"}),
         "--turn-limit wants"},
        {with({"--ruler", "1", "--seat", "3=remote", "--host", "0", "--record", "r", "--turn-limit", "-30"}),
         "--turn-limit wants"},
        {with({"--ruler", "1", "--seat", "3=remote", "--host", "0", "--record", "r", "--turn-limit", "1m"}),
         "--turn-limit wants"},
        {with({"--ruler", "1", "--turn-limit", "60"}), "--turn-limit limits"},
        {{"--data", data, "--join", "-", "--turn-limit", "60"}, "cannot be given with --join"},
        {with({"--ruler", "1", "--seat", "3=remote", "--host", "0", "--record", "r", "--start-after", "0"}),
         "--start-after wants"},
        {with({"--ruler", "1", "--start-after", "5"}), "--start-after ends the lobby"},
        {with({"--ruler", "1", "--open"}), "--open opens"},
        {{"--data", data, "--join", "-", "--open"}, "cannot be given with --join"},
    };
    for (const auto& c : cases) {
        const HeadlessRun run = Headless(c.args);
        EXPECT_EQ(run.status, kHeadlessBadInput) << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "") << c.says;
    }

    // A CSV that cannot be written: the table is out, the failure is the exit status.
    const HeadlessRun unwritable = Headless(with({"--ruler", "1", "--games", "2", "--csv", dir.Path("no/such/dir.csv")}));
    EXPECT_EQ(unwritable.status, kHeadlessSaveFailed);
    EXPECT_NE(unwritable.err.find("dir.csv"), std::string::npos) << unwritable.err;
}

TEST_F(GameSeriesTest, GamesGoOnWithTheThreadsTheSystemGives)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' own reservations leave no address space to limit";
#endif
    // With fewer threads than asked, or none, a series plays on those it has (or on its
    // own) and its table is the same; a game's turn worker plays on the calling thread.
    const std::vector<std::string> series = {"--data", ShippedData(), "--scenario", "3", "--ruler", "all",
                                             "--games", "4", "--months", "60", "--clock", "7"};
    auto withJobs = [&](const char* jobs) {
        std::vector<std::string> args = series;
        args.insert(args.end(), {"--jobs", jobs});
        return args;
    };
    const HeadlessRun alone = Headless(withJobs("1"));
    ASSERT_EQ(alone.status, kHeadlessDone) << alone.err;
    HeadlessOptions single;
    std::string error;
    ASSERT_TRUE(ParseHeadlessOptions({"--data", ShippedData(), "--scenario", "3", "--ruler", "2", "--months", "60",
                                      "--clock", "7"},
                                     single, error))
        << error;
    std::ostringstream singleOut, singleErr;
    ASSERT_EQ(RunHeadless(single, singleOut, singleErr), kHeadlessDone) << singleErr.str();
    auto seriesOn = [&](const char* threadsGot) {
        return [&, threadsGot] {
            const HeadlessRun run = Headless(withJobs("4"));
            return run.status == kHeadlessDone && run.out == alone.out &&
                   run.err.find(std::string(threadsGot) + " of 4 threads could be started") != std::string::npos;
        };
    };
    constexpr std::size_t kMB = 1024 * 1024;
    const struct {
        const char* label;
        std::size_t room;
        std::function<bool()> run;
    } cases[] = {
        {"a series with no thread", 2 * kMB, seriesOn("0")},
        {"a series with one thread", 12 * kMB, seriesOn("1")},
        {"a turn worker with no thread", 2 * kMB,
         [&] {
             HeadlessOptions onWorker = single;
             onWorker.workerThread = true;
             std::ostringstream out, err;
             return !ThreadToBeHad() && RunHeadless(onWorker, out, err) == kHeadlessDone && out.str() == singleOut.str();
         }},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InChildWithRoomFor(c.room, c.run), 0) << c.label;
}
