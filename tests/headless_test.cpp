// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include <sys/stat.h>

#include "content_paths.h"
#include "model/scenario_file.h"
#include "platform/text_file.h"
#include "cli/headless.h"
#include "rules/event_json.h"
#include "session/game_record.h"
#include "session/save_companions.h"
#include "rules_support.h"
#include "test_support.h"
#include "test_world.h"

class HeadlessTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        std::string error;
        ASSERT_TRUE(WriteCountryFile(dir.Path("country1.txt"), MakeTestWorld(), &error)) << error;
        WriteFileBytes(dir.Path("scenario1.txt"), "1\r\n2\r\n5\r\n");
    }
    TempDir dir;
};

TEST_F(HeadlessTest, RefusesBadOptionsAndFiles)
{
    const std::string data = dir.Path();
    const std::string cp = dir.Path("cp.txt");
    const struct {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"--months", "12"}, "--scenario N --ruler R"},
        {{"--scenario", "1", "--ruler", "1"}, "--months is missing"},
        {{"--scenario", "1", "--months", "12"}, "both --scenario and --ruler"},
        {{"--scenario", "4", "--ruler", "1", "--months", "1"}, "--scenario wants"},
        {{"--scenario", "1", "--ruler", "1", "--months", "x"}, "--months wants"},
        {{"--scenario", "1", "--ruler", "1", "--months", "3", "--load", "f"}, "not both"},
        {{"--months", "1", "--months", "2"}, "given twice"},
        {{"--frobnicate"}, "unknown option"},
        {{"--load"}, "needs a value"},
        {{"--data", data, "--scenario", "1", "--ruler", "3", "--months", "1"}, "does not offer ruler 3"},
        {{"--data", data, "--scenario", "2", "--ruler", "1", "--months", "1"}, "scenario2.txt"},
        {{"--load", dir.Path("none.txt"), "--months", "1"}, "ﾃﾞｰﾀﾌｧｲﾙが見つかりません"},
        {{"--fairness", "--data", data}, "--fairness needs --scenario"},
        {{"--fairness", "--scenario", "1", "--ruler", "1"}, "--ruler cannot"},
        {{"--random-scenario", "1", "--months", "12"}, "--months cannot"},
        {{"--write-scenario", data}, "give --random-scenario"},
        {{"--random-scenario", "1", "--data", data, "--write-scenario", data}, "overwrite"},
        // A replay plays its record's game, and nothing it would ignore is taken.
        {{"--replay", "r", "--difficulty", "hard"}, "--difficulty cannot be given with --replay"},
        {{"--replay", "r", "--player", "rest"}, "--player cannot be given with --replay"},
        {{"--replay", "r", "--advise"}, "--advise cannot be given with --replay"},
        {{"--replay", "r", "--rollouts", "4"}, "--rollouts cannot be given with --replay"},
        {{"--replay", "r", "--horizon", "2"}, "--horizon cannot be given with --replay"},
        {{"--replay", "r", "--seat", "2=rest"}, "--seat cannot be given with --replay"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--seat", "2=mao"}, "--seat wants RULER=KIND"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--seat", "16=rest"}, "--seat wants a ruler from 1"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--seat", "2=rest", "--seat", "2=hard"},
         "--seat names ruler 2 twice"},
        {{"--replay", "r", "--seat-change", "12:1=advisor"}, "--seat-change cannot be given with --replay"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--seat-change", "12:1"}, "--seat-change wants MONTH:R=KIND"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--seat-change", "12:1=computer:ultra"},
         "--seat-change wants MONTH:R=KIND"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--seat-change", "12:0=rest"},
         "--seat-change wants MONTH:R=KIND"},
        {{"--scenario", "1", "--ruler", "1", "--months", "1", "--games", "2", "--seat-change", "1:1=advisor"},
         "--seat-change is for one game played on: not with --games"},
        // Nor may an output be a file that a save writes or removes beside itself.
        {{"--data", data, "--scenario", "1", "--ruler", "1", "--months", "1", "--save", cp, "--record",
          cp + ".difficulty"},
         "--save and --record name the same file (" + cp + ".difficulty)"},
        {{"--data", data, "--scenario", "1", "--ruler", "1", "--months", "1", "--save", cp, "--events", cp + ".record"},
         "--save and --events name the same file (" + cp + ".record)"},
        {{"--replay", cp + ".record", "--save", cp}, "--save would overwrite a file the game reads"},
        {{"--load", cp, "--months", "1", "--record", dir.Path("./cp.txt.difficulty")},
         "--record would overwrite a file the game reads"},
        // A level is for a computer ruler, never the player's own; another player is a
        // ruler in play, as the player is.
        {{"--data", data, "--scenario", "1", "--ruler", "1", "--months", "1", "--seat", "1=hard"},
         "--seat 1=hard: ruler 1"},
        {{"--data", data, "--scenario", "1", "--ruler", "1", "--months", "1", "--games", "1", "--seat", "1=easy"},
         "--seat 1=easy: ruler 1"},
        {{"--load", dir.Path("country1.txt"), "--months", "1", "--seat", "1=master"}, "--seat 1=master: ruler 1"},
        {{"--data", data, "--scenario", "1", "--ruler", "1", "--months", "1", "--seat", "3=rest"},
         "--seat 3=rest: " + dir.Path("scenario1.txt") + " does not offer ruler 3"},
        {{"--load", dir.Path("country1.txt"), "--months", "1", "--seat", "9=advisor"}, "--seat 9=advisor: ruler 9"},
    };
    for (const auto& c : cases) {
        const HeadlessRun run = Headless(c.args);
        EXPECT_EQ(run.status, kHeadlessBadInput) << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    WriteFileBytes(dir.Path("bad.txt"), "1\n99\n");
    EXPECT_EQ(Headless({"--load", dir.Path("bad.txt"), "--months", "1"}).status, kHeadlessBadInput);
}

TEST_F(HeadlessTest, RefusesFilesThatWouldHangOrPlayABrokenWorld)
{
    // A save with no player's ruler, cut short, or a pipe: each is refused at once.
    WorldRecord noPlayer = MakeTestWorld();
    noPlayer.playerRuler = 0;
    ASSERT_TRUE(WriteCountryFile(dir.Path("p0.txt"), noPlayer, nullptr));
    std::string cut = platform::JoinLines(FormatCountryFile(MakeTestWorld()));
    cut.resize(500);
    WriteFileBytes(dir.Path("cut.txt"), cut);
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    const struct {
        std::string file;
        std::string says;
    } cases[] = {
        {dir.Path("p0.txt"), "1 行目: プレイヤーの君主 の値 0 は範囲外です (1...15)"},
        {dir.Path("cut.txt"), "ﾃﾞｰﾀﾌｧｲﾙが途中で終わっています (" + std::to_string(std::count(cut.begin(), cut.end(), '\n') + 1) + " 行目まで)"},
        {dir.Path("fifo"), "ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + dir.Path("fifo") + "\n通常のファイルではありません"},
    };
    for (const auto& c : cases) {
        const HeadlessRun run = Headless({"--load", c.file, "--months", "1"});
        EXPECT_EQ(run.status, kHeadlessBadInput) << c.file;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }

    // A scenario that offers no ruler on a line is refused; a starting world whose
    // header names no player is fine, since the new game names him.
    WriteFileBytes(dir.Path("scenario1.txt"), "1\r\n0\r\n");
    HeadlessRun run = Headless({"--data", dir.Path(), "--scenario", "1", "--ruler", "1", "--months", "1"});
    EXPECT_EQ(run.status, kHeadlessBadInput);
    EXPECT_NE(run.err.find("scenario1.txt の 2 行目: 君主の番号 0 は範囲外です"), std::string::npos) << run.err;
    WriteFileBytes(dir.Path("scenario1.txt"), "1\r\n2\r\n");
    ASSERT_TRUE(WriteCountryFile(dir.Path("country1.txt"), noPlayer, nullptr));
    run = Headless({"--data", dir.Path(), "--scenario", "1", "--ruler", "1", "--months", "1"});
    EXPECT_EQ(run.status, kHeadlessDone) << run.err;
    EXPECT_NE(run.out.find("still open after 1 months"), std::string::npos) << run.out;
}

TEST_F(HeadlessTest, RunsRepeatablyAndSavesAfterThePlayersCommand)
{
    const std::vector<std::string> args = {"--data",  dir.Path(), "--scenario", "1",    "--ruler",
                                           "5",       "--months", "60",         "--clock", "4242",
                                           "--save",  dir.Path("end.txt")};
    const HeadlessRun first = Headless(args);
    ASSERT_EQ(first.status, kHeadlessDone) << first.err;
    const std::string save = ReadFileBytes(dir.Path("end.txt"));
    // What the windows kept beside the game saved there before is not this game's; the
    // run's own events may be its chronicle.
    for (const std::string& companion : SaveCompanions(dir.Path("end.txt")))
        WriteFileBytes(companion, "{}\n");
    const HeadlessRun second = Headless(args);
    EXPECT_EQ(second.out, first.out);
    EXPECT_EQ(ReadFileBytes(dir.Path("end.txt")), save);
    for (const std::string& companion : SaveCompanions(dir.Path("end.txt")))
        EXPECT_FALSE(std::filesystem::exists(companion)) << companion;
    std::vector<std::string> withEvents = args;
    withEvents.insert(withEvents.end(), {"--events", ChronicleFileName(dir.Path("end.txt"))});
    ASSERT_EQ(Headless(withEvents).status, kHeadlessDone);
    EXPECT_TRUE(std::filesystem::exists(ChronicleFileName(dir.Path("end.txt"))));

    // One line a year from 190 to 195, then the end; the map has changed.
    std::istringstream lines(first.out);
    std::vector<std::string> maps;
    for (std::string line; std::getline(lines, line);)
        if (line.find(" 年 1 月  ") != std::string::npos)
            maps.push_back(line);
    ASSERT_GE(maps.size(), 6u) << first.out;
    EXPECT_EQ(maps.front(), "190 年 1 月  非統治 2  劉備 1  曹操 2  孫堅 2  袁紹 2  袁術 2  劉表 2  呂布 1");
    EXPECT_NE(maps.back(), maps.front());
    EXPECT_NE(first.out.find("still open after 60 months"), std::string::npos) << first.out;

    // The save holds ruler 5 as the player, the cursor at his country, and resumes.
    ASSERT_EQ(LoadCountryFile(world, dir.Path("end.txt")).status, LoadStatus::Loaded);
    EXPECT_EQ(world.playerRuler, 5);
    EXPECT_EQ(C(world.turnCountry).GetRuler(), 5);
    EXPECT_EQ(world.year * 12 + world.month, 190 * 12 + 1 + 60);
    const HeadlessRun resumed = Headless({"--load", dir.Path("end.txt"), "--months", "0"});
    EXPECT_EQ(resumed.status, kHeadlessDone);
    EXPECT_NE(resumed.out.find("still open after 0 months"), std::string::npos) << resumed.out;
}

TEST_F(HeadlessTest, ReportsTheEndOfTheGame)
{
    WorldRecord world = MakeTestWorld();
    world.playerRuler = 9; // holds nothing
    ASSERT_TRUE(WriteCountryFile(dir.Path("lost.txt"), world, nullptr));
    for (CountryRecord& c : world.countries)
        c.ruler = 1;
    world.playerRuler = 1;
    ASSERT_TRUE(WriteCountryFile(dir.Path("won.txt"), world, nullptr));
    // The run says how the game ended; asked for advice, it has none and says the same.
    for (const auto& [file, says] : {std::pair{"lost.txt", "game over"}, std::pair{"won.txt", "unified"}}) {
        const HeadlessRun run = Headless({"--load", dir.Path(file), "--months", "12"});
        EXPECT_EQ(run.status, kHeadlessDone);
        const std::size_t end = run.out.find(says);
        ASSERT_NE(end, std::string::npos) << run.out;
        const HeadlessRun advised = Headless({"--load", dir.Path(file), "--advise"});
        EXPECT_EQ(advised.status, kHeadlessDone);
        EXPECT_EQ(advised.out, run.out.substr(end));
    }
}

TEST_F(HeadlessTest, StopsAfterItsMonthsInTheLastYearTheCalendarHolds)
{
    // The year stops at its largest figure, so the months must still be counted.
    WorldRecord record = MakeTestWorld();
    record.year = 2147483647;
    record.month = 11;
    record.countries[0].soldiers = 2'000'000;
    record.countries[0].training = 100; // too strong to be attacked
    ASSERT_TRUE(WriteCountryFile(dir.Path("last.txt"), record, nullptr));
    const HeadlessRun run =
        Headless({"--load", dir.Path("last.txt"), "--months", "14", "--clock", "9", "--save", dir.Path("end.txt")});
    EXPECT_EQ(run.status, kHeadlessDone) << run.err;
    EXPECT_NE(run.out.find("still open after 14 months"), std::string::npos) << run.out;
    ASSERT_EQ(LoadCountryFile(world, dir.Path("end.txt")).status, LoadStatus::Loaded);
    EXPECT_EQ(world.year, 2147483647);
    EXPECT_EQ(world.month, 1);
}

TEST_F(HeadlessTest, AnObserverSeesEveryTurnOfThePlayerAndMayEndTheRun)
{
    // The player holds one country, so each of his turns is a month after the last.
    HeadlessOptions options;
    options.dataDir = dir.Path();
    options.scenario = 1;
    options.ruler = 1;
    options.months = 120;
    std::ostringstream out, err;
    HeadlessGame game(&out);
    const GameState& played = game.GetWorld();
    std::vector<int> months;
    options.atPlayerTurn = [&] {
        months.push_back(played.year * 12 + played.month);
        EXPECT_EQ(played.countries[played.turnCountry].GetRuler(), 1) << "called at the player's turn";
        return months.size() < 4;
    };
    platform::FixClock(77);
    std::vector<RulerId> offered;
    ASSERT_TRUE(SetUpHeadlessGame(game.Session(), options, offered, err)) << err.str();
    PlayResting(game, options);
    const int start = 190 * 12 + 1;
    EXPECT_EQ(months, (std::vector<int>{start, start + 1, start + 2, start + 3}));
    EXPECT_NE(out.str().find("still open after 3 months"), std::string::npos) << out.str();
    EXPECT_EQ(played.month, 4) << "the run ends in the world where the observer stopped";

    // A game that is already lost: one call, with the world as it ends.
    WorldRecord record = MakeTestWorld();
    record.playerRuler = 9;
    ASSERT_TRUE(WriteCountryFile(dir.Path("lost.txt"), record, nullptr));
    HeadlessOptions lost;
    lost.loadFile = dir.Path("lost.txt");
    lost.months = 12;
    int calls = 0;
    lost.atPlayerTurn = [&] { return ++calls > 0; };
    out.str({});
    EXPECT_EQ(RunHeadless(lost, out, err), kHeadlessDone);
    EXPECT_EQ(calls, 1);
    EXPECT_NE(out.str().find("game over"), std::string::npos) << out.str();
}

TEST_F(HeadlessTest, PlaysOnTheCallingThreadAsTheWorkerThreadPlays)
{
    // A thread for every stretch of turns is slow under the sanitizers: one clock there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    const std::vector<std::int64_t> kClocks = {1};
#else
    const std::vector<std::int64_t> kClocks = {1, 1700000000};
#endif
    // Every ruler of the bundled scenarios with two clocks, and a player too strong to
    // fall, whose twenty years see every season: the same lines and the same save whether
    // each stretch of computer turns runs on a thread of its own or on the caller's.
    struct Game {
        std::string label;
        HeadlessOptions options;
    };
    std::vector<Game> games;
    for (int scenario = 1; scenario <= 3; ++scenario) {
        const ScenarioList offered = ReadScenarioFile(ScenarioFilePath(ShippedData(), scenario));
        ASSERT_EQ(offered.status, ScenarioStatus::Read) << offered.words.Text();
        for (RulerId ruler : offered.rulers) {
            for (std::int64_t clock : kClocks) {
                Game game;
                game.label = "scenario " + std::to_string(scenario) + " ruler " + std::to_string(ruler) + " clock " +
                             std::to_string(clock);
                game.options.dataDir = ShippedData();
                game.options.scenario = scenario;
                game.options.ruler = ruler;
                game.options.months = 120;
                game.options.clockStart = clock;
                games.push_back(game);
            }
        }
    }
    WorldRecord strong = MakeTestWorld();
    strong.countries[0].soldiers = 1000000;
    strong.countries[0].training = 100;
    strong.countries[0].provisions = 2000000000;
    ASSERT_TRUE(WriteCountryFile(dir.Path("strong.txt"), strong, nullptr));
    Game years;
    years.label = "twenty years of the strong player";
    years.options.loadFile = dir.Path("strong.txt");
    years.options.months = 240;
    years.options.clockStart = 31;
    games.push_back(years);

    int ended = 0;
    for (Game& game : games) {
        std::string out[2], save[2];
        for (int threaded = 0; threaded < 2; ++threaded) {
            game.options.workerThread = threaded == 1;
            game.options.saveFile = dir.Path("end" + std::to_string(threaded) + ".txt");
            std::ostringstream lines, err;
            ASSERT_EQ(RunHeadless(game.options, lines, err), kHeadlessDone) << game.label << ": " << err.str();
            out[threaded] = lines.str();
            save[threaded] = ReadFileBytes(game.options.saveFile);
        }
        EXPECT_EQ(out[0], out[1]) << game.label;
        EXPECT_EQ(save[0], save[1]) << game.label;
        ended += out[0].find("game over") != std::string::npos;
    }
    EXPECT_GT(ended, 0) << "some of the runs see the player fall";
}

TEST_F(HeadlessTest, TwoPeopleTakeTheirTurnsAndTheirSeatsGoWithTheSaveAndTheRecord)
{
    // Rulers 1 (country 0) and 2 (countries 1 and 2) are people, too strong to fall;
    // ruler 3 is a hard computer and ruler 5 one that looks ahead, in a normal game.
    WorldRecord start = MakeTestWorld();
    for (int i : {0, 1, 2}) {
        start.countries[static_cast<std::size_t>(i)].soldiers = 1000000;
        start.countries[static_cast<std::size_t>(i)].training = 100;
        start.countries[static_cast<std::size_t>(i)].provisions = 2000000000;
    }
    ASSERT_TRUE(WriteCountryFile(dir.Path("country1.txt"), start, nullptr));
    const std::string save = dir.Path("two.txt");
    const std::string record = dir.Path("two.record");
    std::string error;
    HeadlessOptions options;
    ASSERT_TRUE(ParseHeadlessOptions({"--data", dir.Path(), "--scenario", "1", "--ruler", "1", "--seat", "2=rest",
                                      "--seat", "3=hard", "--seat", "5=master", "--months", "24", "--clock", "808",
                                      "--save", save, "--record", record},
                                     options, error))
        << error;
    std::ostringstream out, err;
    HeadlessGame game(&out);
    const GameState& played = game.GetWorld();
    // Each stop: the month and the country whose turn it is, which must be a person's.
    std::vector<std::pair<int, int>> stops;
    options.atPlayerTurn = [&] {
        const int c = played.turnCountry;
        EXPECT_EQ(game.Session().TurnRuler(), played.countries[static_cast<std::size_t>(c)].GetRuler());
        stops.emplace_back(played.year * 12 + played.month, c);
        return true;
    };
    std::vector<RulerId> offered;
    ASSERT_TRUE(SetUpHeadlessGame(game.Session(), options, offered, err)) << err.str();
    ASSERT_EQ(Players(played), (std::vector<RulerId>{1, 2}));
    PlayResting(game, options);
    ASSERT_GE(stops.size(), 3u * 24);
    for (std::size_t i = 0; i < 3 * 24; ++i) {
        const int month = 190 * 12 + 1 + static_cast<int>(i / 3);
        EXPECT_EQ(stops[i], (std::pair<int, int>{month, static_cast<int>(i % 3)})) << "stop " << i;
    }

    // The same game run whole: the seats kept beside its save, its record played back to
    // the same save.
    const std::vector<std::string> args = {"--data", dir.Path(), "--scenario", "1", "--ruler", "1", "--seat", "2=rest",
                                           "--seat", "3=hard", "--seat", "5=master", "--months", "24", "--clock", "808",
                                           "--save", save, "--record", record};
    ASSERT_EQ(Headless(args).status, kHeadlessDone);
    HeadlessGame loaded;
    ASSERT_EQ(loaded.Session().LoadGame(save).status, LoadStatus::Loaded);
    EXPECT_EQ(Players(loaded.GetWorld()), (std::vector<RulerId>{1, 2}));
    EXPECT_EQ(loaded.GetWorld().LevelOf(3), Difficulty::Hard);
    EXPECT_EQ(loaded.GetWorld().LevelOf(4), Difficulty::Normal);
    EXPECT_EQ(loaded.GetWorld().LevelOf(5), Difficulty::Master);
    const HeadlessRun replay = Headless({"--replay", record, "--save", dir.Path("again.txt")});
    ASSERT_EQ(replay.status, kHeadlessDone) << replay.err;
    EXPECT_EQ(ReadFileBytes(dir.Path("again.txt")), ReadFileBytes(save));
    EXPECT_EQ(ReadFileBytes(SeatsFileName(dir.Path("again.txt"))), ReadFileBytes(SeatsFileName(save)));
}

TEST_F(HeadlessTest, EveryFileBesideTheSaveIsHeldToItsRuleAndIsItsOwn)
{
    // A game of two people at hard, its events and its record beside its save: it keeps
    // every file a save keeps beside itself.
    const std::string save = dir.Path("game.txt");
    const std::vector<std::string> args = {"--data", dir.Path(), "--scenario", "1", "--ruler", "1", "--seat", "2=rest",
                                           "--difficulty", "hard", "--months", "1", "--clock", "7", "--save", save,
                                           "--events", ChronicleFileName(save), "--record", RecordFileName(save)};
    std::error_code ignored;
    auto plainFile = [](const std::string& path) {
        WriteFileBytes(path, "kept\n");
    };
    using Make = std::function<void(const std::string&)>;
    // One that cannot be written refuses the run before anything is played, naming it.
    const struct {
        const char* what;
        Make make;
    } refused[] = {
        {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
        {"a read-only file",
         [&](const std::string& p) {
             plainFile(p);
             std::filesystem::permissions(p, std::filesystem::perms::owner_read);
         }},
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
    };
    // A link in its place is never written through: the file it names stays as it was.
    // The save lets it give way; --events and --record, which would write through it,
    // refuse it.
    const struct {
        const char* what;
        const char* target;
    } links[] = {{"a link to another save's", "other.txt.kept"}, {"a dangling link", "gone/nowhere"}};
    const std::vector<std::string> namedByAnOutput = {ChronicleFileName(save), RecordFileName(save)};
    for (const std::string& companion : SaveCompanions(save)) {
        for (const auto& c : refused) {
            SCOPED_TRACE(companion + " as " + c.what);
            std::filesystem::remove(save, ignored);
            std::filesystem::remove(companion, ignored);
            c.make(companion);
            const auto before = std::filesystem::status(companion).type();
            const HeadlessRun run = Headless(args);
            EXPECT_EQ(run.status, kHeadlessBadInput);
            EXPECT_EQ(run.err.rfind("velcor: " + companion + ": ", 0), 0u) << run.err;
            EXPECT_FALSE(std::filesystem::exists(save));
            EXPECT_EQ(std::filesystem::status(companion).type(), before);
            std::filesystem::permissions(companion, std::filesystem::perms::owner_all, ignored);
            std::filesystem::remove(companion, ignored);
        }
        for (const auto& c : links) {
            SCOPED_TRACE(companion + " as " + c.what);
            plainFile(dir.Path("other.txt.kept"));
            std::filesystem::remove(companion, ignored);
            std::filesystem::create_symlink(c.target, companion);
            const bool refusedLink =
                std::find(namedByAnOutput.begin(), namedByAnOutput.end(), companion) != namedByAnOutput.end();
            const HeadlessRun run = Headless(args);
            EXPECT_EQ(run.status, refusedLink ? kHeadlessBadInput : kHeadlessDone) << run.err;
            EXPECT_EQ(std::filesystem::is_symlink(companion), refusedLink);
            EXPECT_EQ(ReadFileBytes(dir.Path("other.txt.kept")), "kept\n");
            if (!refusedLink) {
                // What took the link's place is the game's own.
                HeadlessGame loaded;
                ASSERT_EQ(loaded.Session().LoadGame(save).status, LoadStatus::Loaded);
                EXPECT_TRUE(loaded.Session().SetAside().empty()) << loaded.Session().SetAside().Text();
                EXPECT_EQ(Players(loaded.GetWorld()), (std::vector<RulerId>{1, 2}));
                EXPECT_EQ(loaded.GetWorld().difficulty, Difficulty::Hard);
            }
            std::filesystem::remove(companion, ignored);
        }
    }
    ASSERT_EQ(Headless(args).status, kHeadlessDone);

    // Set aside when it cannot be used, each under its own name: the game loads without
    // it, and a file too large is told by the limit it passed.
    const std::string seats = SeatsFileName(save);
    const std::string difficulty = DifficultyFileName(save);
    WriteFileBytes(difficulty, "hard\n1 2\n");
    std::filesystem::resize_file(seats, 3 << 20);
    const HeadlessRun run = Headless({"--load", save, "--months", "0"});
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    std::istringstream lines(run.err);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind("velcor: " + difficulty + ": ", 0), 0u) << line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind("velcor: " + seats + ": ", 0), 0u) << line;
    EXPECT_NE(line.find("(1 MB まで)"), std::string::npos) << line;
}

TEST_F(HeadlessTest, TheAdviceIsForThePlayerWhenAnotherPersonPlaysBeforeHim)
{
    // Ruler 1's country 0 comes first on the map; the player is ruler 2 (countries 1 and 2),
    // and only he may move an army to a country of his own.
    const HeadlessRun run = Headless({"--data", dir.Path(), "--scenario", "1", "--ruler", "2", "--seat", "1=rest",
                                      "--advise", "--rollouts", "2", "--horizon", "1", "--clock", "3"});
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    const std::string lines = "\n" + run.out;
    EXPECT_NE(lines.find("\nM 2 "), std::string::npos) << run.out;
    EXPECT_EQ(lines.find("\nW 1 "), std::string::npos) << run.out;
}

TEST_F(HeadlessTest, AnAdvisorsSeatGoesWithTheSaveAndTheRecord)
{
    // The advisor seated for another ruler, alone or beside a computer at a level of his
    // own: the save loads with the seats played, and the record plays the same game.
    const std::vector<std::vector<std::string>> seatings = {{"--seat", "2=advisor"},
                                                            {"--seat", "2=advisor", "--seat", "5=easy"}};
    for (const std::vector<std::string>& seating : seatings) {
        SCOPED_TRACE(seating.back());
        const std::string save = dir.Path("advised.txt");
        const std::string record = RecordFileName(save);
        std::vector<std::string> args = {"--data", dir.Path(), "--scenario", "1", "--ruler", "1", "--months", "2",
                                         "--clock", "11", "--rollouts", "2", "--horizon", "1", "--save", save,
                                         "--record", record};
        args.insert(args.end(), seating.begin(), seating.end());
        HeadlessOptions options;
        std::string error;
        ASSERT_TRUE(ParseHeadlessOptions(args, options, error)) << error;
        HeadlessGame played;
        std::vector<RulerId> offered;
        std::ostringstream ignored;
        ASSERT_TRUE(SetUpHeadlessGame(played.Session(), options, offered, ignored));
        const HeadlessRun run = Headless(args);
        ASSERT_EQ(run.status, kHeadlessDone) << run.err;

        HeadlessGame loaded;
        ASSERT_EQ(loaded.Session().LoadGame(save).status, LoadStatus::Loaded);
        EXPECT_EQ(SeatsWord(loaded.GetWorld().seats), SeatsWord(played.GetWorld().seats));
        const HeadlessRun replay = Headless({"--replay", record, "--save", dir.Path("again.txt")});
        ASSERT_EQ(replay.status, kHeadlessDone) << replay.err;
        EXPECT_EQ(ReadFileBytes(dir.Path("again.txt")), ReadFileBytes(save));
    }
}
