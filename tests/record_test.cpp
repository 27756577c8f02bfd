// SPDX-License-Identifier: GPL-3.0-or-later
// A game's record read back: the record as written plays its game again; a changed, a cut
// and another game's record are refused with words for the player.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <sstream>

#include "cli/headless.h"
#include "model/country_file.h"
#include "platform/text_file.h"
#include "rules/difficulty.h"
#include "rules_support.h"
#include "session/game_record.h"
#include "session/game_replay.h"
#include "session/save_companions.h"
#include "test_support.h"
#include "test_world.h"

namespace {

// The first command of the turn country's that the rules allow, of the kind the turn's
// number picks: a domestic command, a move of part of what it holds, a war, or none.
std::optional<PlayerCommand> ScriptedCommand(const GameSession& session, int turn)
{
    const GameState& world = session.world;
    const int c = world.turnCountry;
    const Country& from = world.countries[static_cast<std::size_t>(c)];
    std::vector<PlayerCommand> tried;
    switch (turn % 4) {
    case 0:
        tried.push_back(command::Domestic{static_cast<DomesticCommand>(turn / 4 % 4), c});
        break;
    case 1:
        for (int to = 0; to < kCountryCount; ++to)
            tried.push_back(command::Move{c, to, from.GetSoldiers() / 3, from.GetProvisions() / 4, from.GetFunds() / 5});
        break;
    case 2:
        for (int target = 0; target < kCountryCount; ++target)
            tried.push_back(command::War{c, target});
        break;
    default:
        break;
    }
    for (const PlayerCommand& command : tried)
        if (session.Check(command).refusal == CommandRefusal::None)
            return command;
    return std::nullopt;
}

} // namespace

class RecordTest : public RulesTest {
protected:
    // The test world with the player's army too strong to fall, saved.
    std::string StrongStart()
    {
        WorldRecord strong = MakeTestWorld();
        strong.countries[0].soldiers = 1000000;
        strong.countries[0].training = 100;
        strong.countries[0].provisions = 2000000000;
        EXPECT_TRUE(WriteCountryFile(dir.Path("strong.txt"), strong, nullptr));
        return dir.Path("strong.txt");
    }
    // Twenty years of the strong player's game with the clock from clock, saved as name
    // with its record beside it.
    void PlayAndRecord(std::int64_t clock, const std::string& name)
    {
        HeadlessOptions options;
        options.loadFile = StrongStart();
        options.months = 240;
        options.clockStart = clock;
        options.saveFile = dir.Path(name);
        options.recordFile = RecordFileName(options.saveFile);
        std::ostringstream out, err;
        ASSERT_EQ(RunHeadless(options, out, err), kHeadlessDone) << err.str();
    }
    // A game of the player holding two strong countries, who gives commands of every
    // kind, recorded for turns of his with the clock from clock and saved as game.txt.
    // atTurn[i] is the save of his turn i (before his command) with the months since
    // the start.
    // With a second person, his country (2) is as strong and he gives commands of
    // every kind at his turns too; commanders gets whoever gave a command.
    RecordedGame PlayScripted(int turns, std::int64_t clock,
                              std::vector<std::pair<std::int64_t, std::string>>* atTurn = nullptr,
                              RulerId second = 0, std::set<RulerId>* commanders = nullptr)
    {
        WorldRecord start = MakeTestWorld();
        start.countries[1].ruler = 1;
        if (second != 0)
            start.countries[2].ruler = second;
        for (int i : {0, 1, 2}) {
            if (i == 2 && second == 0)
                break;
            start.countries[static_cast<std::size_t>(i)].soldiers = 300000;
            start.countries[static_cast<std::size_t>(i)].training = 100;
            start.countries[static_cast<std::size_t>(i)].provisions = 2000000;
        }
        HeadlessGame game;
        GameRecorder recorder;
        recorder.Attach(game.Session());
        GameSession& session = game.Session();
        GameState& played = session.world;
        EXPECT_TRUE(WriteCountryFile(dir.Path("start.txt"), start, nullptr));
        played.clock.FixFrom(clock);
        EXPECT_EQ(session.ReadWorld(dir.Path("start.txt"), CountryFileUse::SavedGame).status, LoadStatus::Loaded);
        if (second != 0) {
            EXPECT_TRUE(SeatPlayers(played, {1, second}));
        }
        session.BeginGame(true);
        session.StartComputerTurns();
        for (int turn = 0; turn < turns && !session.Ended(); ++turn) {
            if (atTurn)
                atTurn->emplace_back((played.year * 12 + played.month) - (start.year * 12 + start.month),
                                     platform::JoinLines(FormatCountryFile(CaptureWorld(played, played.turnCountry))));
            if (const std::optional<PlayerCommand> order = ScriptedCommand(session, turn)) {
                if (commanders)
                    commanders->insert(session.TurnRuler());
                EXPECT_TRUE(session.Apply(*order).done);
            }
            EXPECT_EQ(session.Apply(command::Rest{}).refusal, CommandRefusal::None);
        }
        std::string error;
        EXPECT_TRUE(session.SaveGame(dir.Path("game.txt"), played.turnCountry, &error)) << error;
        RecordedGame record = recorder.Record();
        record.tie = TieTo(ReadFileBytes(dir.Path("game.txt")), played.turnCountry);
        return record;
    }
    // velcor --headless --replay of the record text given, saved as out.
    HeadlessRun Replay(const std::string& text, const std::vector<std::string>& more = {})
    {
        WriteFileBytes(dir.Path("replayed.record"), text);
        std::filesystem::remove(dir.Path("out.txt"));
        std::vector<std::string> args = {"--replay", dir.Path("replayed.record"), "--save", dir.Path("out.txt")};
        args.insert(args.end(), more.begin(), more.end());
        return Headless(args);
    }
    TempDir dir;
};

TEST_F(RecordTest, OnlyAWholeRecordBesideItsOwnSaveIsRead)
{
    PlayAndRecord(31, "game.txt");
    PlayAndRecord(32, "other.txt");
    const std::string record = ReadFileBytes(RecordFileName(dir.Path("game.txt")));
    const std::string save = ReadFileBytes(dir.Path("game.txt"));
    ASSERT_GT(record.size(), 1000u);
    std::string changed = record;
    changed[record.size() / 2] ^= 0x01;
    const struct {
        const char* label;
        std::string record;
        std::string save;
        const char* says; // nullptr: read
    } cases[] = {
        {"as written, beside its save", record, save, nullptr},
        {"one byte changed", changed, save, "記録が壊れているか途中で切れています"},
        {"cut short", record.substr(0, record.size() * 2 / 3), save, "記録が壊れているか途中で切れています"},
        {"beside another game's save", record, ReadFileBytes(dir.Path("other.txt")), "別のｹﾞｰﾑの記録です"},
    };
    for (const auto& c : cases) {
        WriteFileBytes(dir.Path("read.record"), c.record);
        platform::Message why;
        const std::optional<RecordedGame> read = ReadRecordFile(dir.Path("read.record"), &why, &c.save);
        EXPECT_EQ(read.has_value(), c.says == nullptr) << c.label;
        if (c.says) {
            EXPECT_EQ(why.Text(), c.says) << c.label;
        }
    }

    // Played again, the record gives its save byte for byte.
    HeadlessOptions replay;
    replay.replayFile = RecordFileName(dir.Path("game.txt"));
    replay.months = -1;
    replay.saveFile = dir.Path("replayed.txt");
    std::ostringstream out, err;
    ASSERT_EQ(RunHeadless(replay, out, err), kHeadlessDone) << err.str();
    EXPECT_EQ(ReadFileBytes(replay.saveFile), save);
}

TEST_F(RecordTest, ARecordPlaysOnlyWhatTheRulesAllow)
{
    const RecordedGame record = PlayScripted(40, 77);
    const std::string save = ReadFileBytes(dir.Path("game.txt"));
    const std::string text = RecordText(record);
    // A step of each kind to change: the first domestic command, move and war.
    auto first = [&](auto kind) {
        for (std::size_t i = 0; i < record.steps.size(); ++i)
            if (const auto* c = std::get_if<PlayerCommand>(&record.steps[i]); c && std::holds_alternative<decltype(kind)>(*c))
                return i;
        return record.steps.size();
    };
    const std::size_t domestic = first(command::Domestic{}), move = first(command::Move{}), war = first(command::War{});
    ASSERT_LT(std::max({domestic, move, war}), record.steps.size()) << text;
    // In the test world's two rows of seven, three countries along is never a neighbour.
    auto farFrom = [](int country) { return (country + 3) % kCountryCount; };

    // Read back whole, amounts and all, the record plays its game again.
    platform::Message why;
    EXPECT_EQ(ParseRecord(text, &why), record) << why.Text();
    HeadlessRun run = Replay(text);
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), save);

    auto changed = [&](std::size_t step, auto change) {
        RecordedGame copy = record;
        change(std::get<PlayerCommand>(copy.steps[step]));
        return RecordText(copy);
    };
    auto domesticIn = [&](std::function<int(int)> country) {
        return changed(domestic, [&](PlayerCommand& c) {
            int& in = std::get<command::Domestic>(c).country;
            in = country(in);
        });
    };
    auto moveOf = [&](std::function<void(command::Move&)> change) {
        return changed(move, [&](PlayerCommand& c) { change(std::get<command::Move>(c)); });
    };
    auto warOn = [&](std::function<int(const command::War&)> target) {
        return changed(war, [&](PlayerCommand& c) {
            command::War& w = std::get<command::War>(c);
            w.target = target(w);
        });
    };
    // The player's command, then the same again where his rest was.
    RecordedGame twice = record;
    ASSERT_TRUE(std::holds_alternative<command::Rest>(std::get<PlayerCommand>(record.steps.at(domestic + 1))));
    twice.steps[domestic + 1] = twice.steps[domestic];
    RecordedGame farCursor = record;
    farCursor.tie->cursor = 99;
    // Seats changing hands after the player's first rest: seats given there in turn.
    auto seated = [&](std::vector<SeatChange> changes) {
        RecordedGame copy = record;
        copy.steps.insert(copy.steps.begin() + static_cast<std::ptrdiff_t>(domestic + 2), changes.begin(), changes.end());
        return copy;
    };
    const RulerId player = MakeTestWorld().playerRuler;
    // Handed to the computer and taken back where the game stood: the same game.
    const std::string handedAndBack = RecordText(seated({{player, Seat::Computer()}, {player, Seat::Person()}}));
    // The line of the seat step, where a record of seats is refused.
    const int seatLine = RecordStepLine(seated({}), domestic + 2);
    // The same in a version that has no changes of hands (its checksum made anew).
    std::string olderVersion = handedAndBack;
    olderVersion.replace(olderVersion.find(" 3\n"), 3, " 2\n");
    olderVersion.erase(olderVersion.rfind("crc32 "));
    olderVersion += "crc32 " + [&] {
        char hex[9];
        std::snprintf(hex, sizeof hex, "%08x", Crc32(olderVersion));
        return std::string(hex);
    }() + "\n";
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' && (crlf.empty() || crlf.back() != '\r') ? std::string("\r\n") : std::string(1, c);
    enum Outcome { Plays, RefusedByTheRules, OutOfRange }; // refused at the first line changed
    const struct {
        const char* label;
        std::string text;
        Outcome outcome;
        int line = 0; // where it is refused; 0: the first line changed
    } cases[] = {
        {"a domestic command in country 99", domesticIn([](int) { return 99; }), OutOfRange},
        {"a domestic command in country -1", domesticIn([](int) { return -1; }), OutOfRange},
        {"a domestic command in country 2147483647", domesticIn([](int) { return 2147483647; }), OutOfRange},
        {"a domestic command in another country", domesticIn(farFrom), RefusedByTheRules},
        {"a move of -1 soldiers", moveOf([](command::Move& m) { m.soldiers = -1; }), OutOfRange},
        {"a move of 2147483647 funds", moveOf([](command::Move& m) { m.funds = 2147483647; }), RefusedByTheRules},
        {"a move to a country not a neighbour", moveOf([&](command::Move& m) { m.to = farFrom(m.from); }),
         RefusedByTheRules},
        {"a move to itself", moveOf([](command::Move& m) { m.to = m.from; }), RefusedByTheRules},
        {"a move from another country", moveOf([&](command::Move& m) { m.from = farFrom(m.to); }), RefusedByTheRules},
        {"a war on itself", warOn([](const command::War& w) { return w.from; }), RefusedByTheRules},
        {"a war on a country not a neighbour", warOn([&](const command::War& w) { return farFrom(w.from); }),
         RefusedByTheRules},
        {"a war on country 99", warOn([](const command::War&) { return 99; }), OutOfRange},
        {"two commands in one turn", RecordText(twice), RefusedByTheRules},
        {"a seat handed to the computer and back at once", handedAndBack, Plays},
        {"a change of hands in a record of version 2", olderVersion, OutOfRange, seatLine},
        {"a seat given to a ruler 16", RecordText(seated({{16, Seat::Advisor()}})), OutOfRange, seatLine},
        {"a seat given the seat it has", RecordText(seated({{player, Seat::Person()}})), RefusedByTheRules, seatLine},
        {"a save's cursor of 99", RecordText(farCursor), OutOfRange},
        {"CR LF line ends", crlf, Plays},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_NE(c.text, text);
        EXPECT_EQ(ParseRecord(c.text, &why).has_value(), c.outcome != OutOfRange) << why.Text();
        run = Replay(c.text);
        if (c.outcome == Plays) {
            EXPECT_EQ(run.status, kHeadlessDone) << run.err;
            EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), save);
            continue;
        }
        const auto differs = std::mismatch(text.begin(), text.end(), c.text.begin(), c.text.end()).first;
        const long long line = c.line != 0 ? c.line : std::count(text.begin(), differs, '\n') + 1;
        EXPECT_EQ(run.status, kHeadlessBadInput);
        EXPECT_NE(run.err.find("記録が壊れています (" + std::to_string(line) + " 行目)"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.Path("out.txt")));
        EXPECT_EQ(run.out, "");
    }
}

TEST_F(RecordTest, EveryPersonsCommandsArePlayedAgain)
{
    std::set<RulerId> commanders;
    const RecordedGame record = PlayScripted(40, 91, nullptr, 5, &commanders);
    ASSERT_EQ(commanders, (std::set<RulerId>{1, 5}));
    const HeadlessRun run = Replay(RecordText(record));
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), ReadFileBytes(dir.Path("game.txt")));
}

TEST_F(RecordTest, AReplayStopsWhereTheGameWasAfterItsMonthsAndIsTheSameAtEveryRun)
{
    std::vector<std::pair<std::int64_t, std::string>> atTurn;
    RecordedGame record = PlayScripted(60, 1234, &atTurn);
    ASSERT_GE(atTurn.back().first, 9);
    for (const std::int64_t months : {1, 4, 9}) {
        SCOPED_TRACE(months);
        const auto there = std::find_if(atTurn.begin(), atTurn.end(), [&](const auto& t) { return t.first >= months; });
        ASSERT_NE(there, atTurn.end());
        const HeadlessRun run = Replay(RecordText(record), {"--months", std::to_string(months)});
        ASSERT_EQ(run.status, kHeadlessDone) << run.err;
        EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), there->second);
    }

    // Fewer readings than the game wants: the clock goes on from the second after the
    // last, the very game of a record holding those seconds.
    record.readings.resize(record.readings.size() / 2);
    RecordedGame goneOn = record;
    for (int i = 1; i <= 1000; ++i)
        goneOn.readings.push_back(record.readings.back() + i);
    std::string saves[2];
    for (const RecordedGame* r : {&record, &goneOn}) {
        const HeadlessRun run = Replay(RecordText(*r));
        ASSERT_EQ(run.status, kHeadlessDone) << run.err;
        saves[r == &goneOn] = ReadFileBytes(dir.Path("out.txt"));
    }
    EXPECT_EQ(saves[0], saves[1]);
}

TEST_F(RecordTest, TheRecordIsOfTheDifficultyPlayedAndItsReplaySavesItToo)
{
    const std::string start = StrongStart();
    for (const char* difficulty : {"easy", "hard"}) {
        SCOPED_TRACE(difficulty);
        const std::string save = dir.Path(std::string(difficulty) + ".txt");
        const HeadlessRun played = Headless({"--load", start, "--months", "60", "--clock", "5",
                                             "--difficulty", difficulty, "--save", save, "--record",
                                             RecordFileName(save)});
        ASSERT_EQ(played.status, kHeadlessDone) << played.err;
        const HeadlessRun replayed = Replay(ReadFileBytes(RecordFileName(save)));
        ASSERT_EQ(replayed.status, kHeadlessDone) << replayed.err;
        EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), ReadFileBytes(save));
        EXPECT_EQ(DifficultyName(DifficultyBeside(dir.Path("out.txt"))), std::string(difficulty));
    }
}

TEST_F(RecordTest, PlayedToItsEndARecordMeetsItsSaveOrIsRefused)
{
    // The player's last turn gives a domestic command, then rests.
    constexpr int kTurns = 41;
    const RecordedGame record = PlayScripted(kTurns, 91);
    const std::size_t last = record.steps.size() - 2;
    ASSERT_TRUE(std::holds_alternative<command::Domestic>(std::get<PlayerCommand>(record.steps[last])));
    // Another domestic command the rules allow there, given instead.
    RecordedGame otherCommand = record;
    {
        QuietGame before;
        ReplayStop stop;
        stop.playerTurn = kTurns - 1;
        ASSERT_TRUE(ReplayRecord(before.Session(), record, stop).stopped);
        command::Domestic& given = std::get<command::Domestic>(std::get<PlayerCommand>(otherCommand.steps[last]));
        const DomesticCommand was = given.what;
        for (DomesticCommand what : {DomesticCommand::DevelopLand, DomesticCommand::DevelopCommerce,
                                     DomesticCommand::Conscript, DomesticCommand::Train})
            if (what != was && before.Session().Check(command::Domestic{what, given.country}).refusal == CommandRefusal::None)
                given.what = what;
        ASSERT_NE(given.what, was);
    }
    // A game of two people whose first player is said to be the other.
    const HeadlessRun two = Headless({"--load", StrongStart(), "--seat", "2=rest", "--months", "6", "--clock", "4",
                                      "--save", dir.Path("two.txt"), "--record", dir.Path("two.record")});
    ASSERT_EQ(two.status, kHeadlessDone) << two.err;
    std::optional<RecordedGame> otherFirst = ParseRecord(ReadFileBytes(dir.Path("two.record")), nullptr);
    ASSERT_TRUE(otherFirst);
    std::get<RecordStart>(otherFirst->steps.front()).ruler = 2;
    auto untied = [](RecordedGame changed) {
        changed.tie.reset();
        return changed;
    };
    // A save made while the computer played after the last rest: the replay goes on to
    // the player's next turn, past it.
    RecordedGame savedMidTurn;
    {
        struct SavingHost : QuietHost {
            std::function<void(int)> begin;
            void TurnBegin(int country) override
            {
                if (begin)
                    begin(country);
            }
        } host;
        GameSession session(host);
        GameRecorder recorder;
        recorder.Attach(session);
        session.world.clock.FixFrom(5);
        ASSERT_EQ(session.LoadGame(StrongStart()).status, LoadStatus::Loaded);
        session.StartComputerTurns();
        session.Apply(command::Rest{});
        host.begin = [&](int country) {
            if (savedMidTurn.Empty() && country > 3) {
                std::string error;
                ASSERT_TRUE(session.SaveGame(dir.Path("mid.txt"), country, &error)) << error;
                savedMidTurn = recorder.Record();
                savedMidTurn.tie = TieTo(ReadFileBytes(dir.Path("mid.txt")), country);
            }
        };
        session.Apply(command::Rest{});
        ASSERT_FALSE(savedMidTurn.Empty());
    }
    const struct {
        const char* label;
        RecordedGame record;
        std::vector<std::string> more;
        bool refused;
    } cases[] = {
        {"as recorded", record, {}, false},
        {"another last command", otherCommand, {}, true},
        {"another last command, tied to no save", untied(otherCommand), {}, false},
        {"another last command, played part way", otherCommand, {"--months", "1"}, false},
        {"another first player", *otherFirst, {}, true},
        {"another first player, tied to no save", untied(*otherFirst), {}, false},
        {"saved while the computer played", savedMidTurn, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const HeadlessRun run = Replay(RecordText(c.record), c.more);
        if (!c.refused) {
            EXPECT_EQ(run.status, kHeadlessDone) << run.err;
            continue;
        }
        EXPECT_EQ(run.status, kHeadlessBadInput);
        EXPECT_NE(run.err.find(RecordDamagedAt(RecordStepLine(c.record, c.record.steps.size())).Text()),
                  std::string::npos)
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.Path("out.txt")));
    }
}
