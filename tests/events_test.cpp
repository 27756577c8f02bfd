// SPDX-License-Identifier: GPL-3.0-or-later
// The events the rules report: what each rule reports and when, the JSON Lines they are
// written as, and that observing them changes nothing of the game.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "content_paths.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include "rules/event_json.h"
#include "rules/event_log.h"
#include "rules/events.h"
#include "rules/standings.h"
#include "rules_support.h"
#include "test_world.h"
#include "test_support.h"

namespace {

class RecordingObserver : public EventObserver {
public:
    std::vector<GameEvent> events;
    void OnGameEvent(const GameEvent& event) override { events.push_back(event); }
};

GameEvent Made(EventKind kind, int country, int target, RulerId ruler, RulerId otherRuler)
{
    GameEvent e;
    e.kind = kind;
    e.year = 190;
    e.month = 3;
    e.country = static_cast<std::int8_t>(country);
    e.target = static_cast<std::int8_t>(target);
    e.ruler = static_cast<std::int8_t>(ruler);
    e.otherRuler = static_cast<std::int8_t>(otherRuler);
    return e;
}

GameEvent MadeBattle(int attacker, int target, RulerId a, RulerId t, std::int32_t ab, std::int32_t aa, std::int32_t tb,
                     std::int32_t ta, BattleOutcome outcome, bool byPlayer = false)
{
    GameEvent e = Made(EventKind::Battle, attacker, target, a, t);
    e.SetBattle(outcome, ab, aa, tb, ta);
    e.byPlayer = byPlayer;
    return e;
}

// The whole number after "key": in a line of JSON, or INT_MIN when the key is missing.
long long Field(const std::string& line, const std::string& key)
{
    const std::string marker = "\"" + key + "\":";
    const std::size_t at = line.find(marker);
    return at == std::string::npos ? -(1LL << 40) : std::atoll(line.c_str() + at + marker.size());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

class EventsTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        BuildRulerTable(world);
        world.year = 190;
        world.month = 3;
        events.Add(&seen);
    }
    RecordingObserver seen;
};

TEST_F(EventsTest, ComputerBattlesReportTheirOutcomeSoldiersAndCaptures)
{
    // An unruled country falls without a fight.
    Ready(0, 2, 20001, 60);
    C(1).SetSoldiers(7000);
    ASSERT_TRUE(ResolveComputerBattle(world, events, 0, 1));
    ASSERT_EQ(seen.events.size(), 2u);
    EXPECT_EQ(seen.events[0], MadeBattle(0, 1, 2, 0, 20001, 20001, 7000, 7000, BattleOutcome::Taken));
    EXPECT_EQ(seen.events[1], Made(EventKind::Capture, 1, 0, 2, 0)) << "no fall for a country without a ruler";

    // A ruler's last country falls: the capture and his fall.
    seen.events.clear();
    Ready(2, 3, 20000, 50);
    Ready(3, 4, 0, 50);
    ASSERT_TRUE(ResolveComputerBattle(world, events, 2, 3));
    ASSERT_EQ(seen.events.size(), 3u);
    EXPECT_EQ(seen.events[0], MadeBattle(2, 3, 3, 4, 20000, 20000, 0, 0, BattleOutcome::Taken));
    EXPECT_EQ(seen.events[1], Made(EventKind::Capture, 3, 2, 3, 4));
    EXPECT_EQ(seen.events[2], Made(EventKind::Fall, 3, -1, 4, 3));

    // A ruler who keeps another country does not fall.
    seen.events.clear();
    Ready(4, 5, 20000, 50);
    Ready(5, 6, 0, 50);
    Ready(6, 6, 20000, 50);
    ASSERT_TRUE(ResolveComputerBattle(world, events, 4, 5));
    EXPECT_EQ(seen.events.size(), 2u);

    // The attacker's army destroyed: an untrained army meets a strong one (the target's
    // factor 5: 100000 * 100 * 5 / 1000 = 50000 losses).
    seen.events.clear();
    Ready(7, 7, 1000, 0);
    Ready(8, 8, 100000, 100);
    world.random.Seed(SeedWhoseDraws({{10, 0}, {10, 5}}));
    ASSERT_FALSE(ResolveComputerBattle(world, events, 7, 8));
    ASSERT_EQ(seen.events.size(), 1u);
    EXPECT_EQ(seen.events[0], MadeBattle(7, 8, 7, 8, 1000, 0, 100000, 100000, BattleOutcome::Repelled));

    // Both sides stand after three exchanges: the attacker retreats with what is left.
    seen.events.clear();
    Ready(9, 9, 10000, 1);
    Ready(10, 10, 10000, 1);
    ASSERT_FALSE(ResolveComputerBattle(world, events, 9, 10));
    ASSERT_EQ(seen.events.size(), 1u);
    const GameEvent& retreat = seen.events[0];
    EXPECT_EQ(retreat.Outcome(), BattleOutcome::Retreat);
    EXPECT_EQ(retreat.AttackerBefore(), 10000);
    EXPECT_EQ(retreat.TargetBefore(), 10000);
    EXPECT_EQ(retreat.AttackerAfter(), C(9).GetSoldiers());
    EXPECT_EQ(retreat.TargetAfter(), C(10).GetSoldiers());
    EXPECT_LT(retreat.AttackerAfter(), 10000) << "at most 90 a side an exchange, and something was lost";
}

TEST_F(EventsTest, ThePlayersBattleIsReportedOnlyWhenFought)
{
    SeatPlayer(world, 1);
    Ready(0, 1, 30000, 80);
    Ready(1, 2, 4000, 20);
    RecordingHost host{world};
    host.fight = [](BattleScript& script) {
        script.m_nAttackerSoldiers = 25001;
        script.m_nTargetSoldiers = 0;
        return true;
    };
    ASSERT_TRUE(ResolvePlayerBattle(world, events, 0, 1, host, world.commandRandom));
    ASSERT_EQ(seen.events.size(), 3u);
    EXPECT_EQ(seen.events[0], MadeBattle(0, 1, 1, 2, 30000, 25001, 4000, 0, BattleOutcome::Taken, true));
    EXPECT_EQ(seen.events[1], Made(EventKind::Capture, 1, 0, 1, 2));
    EXPECT_EQ(seen.events[2].kind, EventKind::Fall);

    seen.events.clear();
    Ready(2, 3, 30000, 80);
    host.fight = [](BattleScript&) { return false; }; // the program closed the window
    EXPECT_FALSE(ResolvePlayerBattle(world, events, 2, 0, host, world.random));
    EXPECT_TRUE(seen.events.empty());
}

TEST_F(EventsTest, TheCalendarReportsTheMonthThenEachRulersHarvestAndTaxes)
{
    const struct {
        RulerId ruler;
        std::int32_t population, cultivation, commerce;
    } table[] = {{2, 20000, 100, 50}, {2, 40000, 50, 25}, {3, 10000, 30, 10}, {0, 90000, 90, 90}};
    for (int i = 0; i < 4; ++i) {
        C(i).SetRuler(table[i].ruler);
        C(i).SetPopulation(table[i].population);
        C(i).SetCultivation(table[i].cultivation);
        C(i).SetCommerce(table[i].commerce);
    }
    world.turnCountry = 13;
    world.month = 8;
    AdvanceTurn(world, events);
    // Harvest: cultivation * population / 2000 a country.
    GameEvent harvest2 = Made(EventKind::Harvest, -1, -1, 2, -1);
    harvest2.month = 9;
    harvest2.SetAmount(1000 + 1000);
    GameEvent harvest3 = harvest2;
    harvest3.ruler = 3;
    harvest3.SetAmount(150);
    GameEvent month9 = Made(EventKind::Month, -1, -1, -1, -1);
    month9.month = 9;
    EXPECT_EQ(seen.events, (std::vector<GameEvent>{month9, harvest2, harvest3}));

    seen.events.clear();
    world.turnCountry = 5; // in the middle of a month: nothing to report
    AdvanceTurn(world, events);
    EXPECT_TRUE(seen.events.empty());

    world.turnCountry = 13;
    world.month = 12;
    AdvanceTurn(world, events);
    // Taxes: commerce * population / 5000, from the population before it grows.
    ASSERT_EQ(seen.events.size(), 3u);
    EXPECT_EQ(seen.events[0].kind, EventKind::Month);
    EXPECT_EQ(seen.events[0].year, 191);
    EXPECT_EQ(seen.events[0].month, 1);
    EXPECT_EQ(seen.events[1].kind, EventKind::Taxes);
    EXPECT_EQ(seen.events[1].ruler, 2);
    EXPECT_EQ(seen.events[1].Amount(), 200 + 200);
    EXPECT_EQ(seen.events[2].ruler, 3);
    EXPECT_EQ(seen.events[2].Amount(), 20);
}

TEST_F(EventsTest, CommandsReportTheFigureTheyChangedAndRefusalsNothing)
{
    SeatPlayer(world, 1);
    Country& mine = Ready(0, 1);
    mine.SetCultivation(40);
    ASSERT_TRUE(RunDomesticCommand(world, events, DomesticCommand::DevelopLand, 0).done);
    ASSERT_EQ(seen.events.size(), 1u);
    EXPECT_EQ(seen.events[0].kind, EventKind::Command);
    EXPECT_EQ(seen.events[0].Command(), DomesticCommand::DevelopLand);
    EXPECT_TRUE(seen.events[0].byPlayer);
    EXPECT_EQ(seen.events[0].ruler, 1);
    EXPECT_EQ(seen.events[0].Value(), mine.GetCultivation());
    EXPECT_GT(seen.events[0].Value(), 40);

    seen.events.clear();
    mine.SetFunds(999);
    EXPECT_FALSE(RunDomesticCommand(world, events, DomesticCommand::Conscript, 0).done);
    mine.SetTraining(100);
    EXPECT_FALSE(RunDomesticCommand(world, events, DomesticCommand::Train, 0).done);
    EXPECT_TRUE(seen.events.empty());

    // A computer country below the army minimum conscripts.
    Country& theirs = Ready(1, 4, 9999);
    RecordingHost host{world};
    RunComputerTurn(world, events, host, 1);
    ASSERT_EQ(seen.events.size(), 1u);
    EXPECT_EQ(seen.events[0].Command(), DomesticCommand::Conscript);
    EXPECT_FALSE(seen.events[0].byPlayer);
    EXPECT_EQ(seen.events[0].country, 1);
    EXPECT_EQ(seen.events[0].Value(), theirs.GetSoldiers());

    seen.events.clear();
    Ready(2, 1, 5000, 40);
    ApplyMove(world, events, 0, 2, {300, 2000, 1500});
    GameEvent move = Made(EventKind::Move, 0, 2, 1, -1);
    move.byPlayer = true;
    move.SetMoved(300, 2000, 1500);
    EXPECT_EQ(seen.events, std::vector<GameEvent>{move});
}

TEST_F(EventsTest, TheGameReportsItsStartAndItsEnd)
{
    C(0).SetRuler(4);
    C(5).SetRuler(7);
    BeginNewGame(world, events, 4);
    ASSERT_EQ(seen.events.size(), 1u);
    EXPECT_EQ(seen.events[0].kind, EventKind::Start);
    EXPECT_EQ(seen.events[0].ruler, 4);
    EXPECT_FALSE(seen.events[0].byPlayer);
    const RulerId rulers[kCountryCount] = {4, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_EQ(seen.events[0].StartRuler(i), rulers[i]) << i;
    C(13).SetRuler(15);
    C(7).SetRuler(15);
    BeginLoadedGame(world, events);
    EXPECT_TRUE(seen.events.back().byPlayer) << "a loaded game";
    EXPECT_EQ(seen.events.back().StartRuler(7), 15);
    EXPECT_EQ(seen.events.back().StartRuler(13), 15);
    EXPECT_EQ(seen.events.back().StartRuler(8), 0);

    seen.events.clear();
    SeatPlayer(world, 9); // holds nothing
    RecordingHost host{world};
    TurnWorkerProc(world, events, host);
    EXPECT_EQ(seen.events, std::vector<GameEvent>{Made(EventKind::GameOver, -1, -1, 9, -1)});

    seen.events.clear();
    events.Clear();
    BeginNewGame(world, events, 4);
    ReportVictory(world, events, 4);
    EXPECT_TRUE(seen.events.empty()) << "nobody listens";
}

TEST_F(EventsTest, WhomAnEventConcernsAndWhatTheTurnReportTells)
{
    const GameEvent onMe = MadeBattle(1, 0, 3, 1, 10, 0, 10, 10, BattleOutcome::Repelled);
    const GameEvent byMe = MadeBattle(0, 1, 1, 3, 10, 10, 10, 0, BattleOutcome::Taken, true);
    const GameEvent others = MadeBattle(4, 5, 3, 5, 10, 10, 10, 0, BattleOutcome::Taken);
    const GameEvent takenFromMe = Made(EventKind::Capture, 0, 1, 3, 1);
    const GameEvent takenByMe = Made(EventKind::Capture, 1, 0, 1, 3);
    const GameEvent takenByOthers = Made(EventKind::Capture, 5, 4, 3, 5);
    const GameEvent fall = Made(EventKind::Fall, 5, -1, 5, 3);
    const GameEvent mine = Made(EventKind::Command, 0, -1, 1, -1);
    const GameEvent month = Made(EventKind::Month, -1, -1, -1, -1);
    const struct {
        const GameEvent& event;
        bool touchesMe, war, reported;
    } cases[] = {
        {onMe, true, true, true},          {byMe, true, true, false},
        {others, false, true, false},      {takenFromMe, true, true, false},
        {takenByMe, true, true, false},    {takenByOthers, false, true, true},
        {fall, false, true, true},         {mine, true, false, false},
        {month, false, false, false},
    };
    for (const auto& c : cases) {
        const std::string json = EventJson(world, c.event);
        EXPECT_EQ(EventTouchesRuler(c.event, 1), c.touchesMe) << json;
        EXPECT_EQ(IsWarEvent(c.event), c.war) << json;
        EXPECT_EQ(IsTurnReportItem(c.event, 1), c.reported) << json;
    }
}

TEST_F(EventsTest, JsonLinesNameCountriesAndRulersByIdAndName)
{
    C(6).SetName(platform::Utf8ToSjis("并州"));
    C(8).SetName(platform::Utf8ToSjis("幽\"州\\"));
    const GameEvent battle = MadeBattle(6, 8, 9, 11, 24000, 8337, 24000, 4127, BattleOutcome::Retreat);
    EXPECT_EQ(EventJson(world, battle),
              "{\"year\":190,\"month\":3,\"kind\":\"battle\",\"attacker\":6,\"attacker_name\":\"并州\","
              "\"target\":8,\"target_name\":\"幽\\\"州\\\\\",\"attacker_ruler\":9,\"attacker_ruler_name\":\"董卓\","
              "\"target_ruler\":11,\"target_ruler_name\":\"公孫瓚\",\"player\":false,\"attacker_before\":24000,"
              "\"attacker_after\":8337,\"target_before\":24000,\"target_after\":4127,\"outcome\":\"retreat\"}");
    EXPECT_EQ(EventJson(world, Made(EventKind::Capture, 6, 8, 4, 0)),
              "{\"year\":190,\"month\":3,\"kind\":\"capture\",\"country\":6,\"country_name\":\"并州\","
              "\"old_ruler\":0,\"old_ruler_name\":\"非統治\",\"new_ruler\":4,\"new_ruler_name\":\"袁紹\","
              "\"from\":8,\"from_name\":\"幽\\\"州\\\\\"}");
    GameEvent taxes = Made(EventKind::Taxes, -1, -1, 2, -1);
    taxes.SetAmount(5000000000LL);
    EXPECT_EQ(EventJson(world, taxes),
              "{\"year\":190,\"month\":3,\"kind\":\"taxes\",\"ruler\":2,\"ruler_name\":\"曹操\",\"funds\":5000000000}");
    C(2).SetName(std::string("a\tb\x01", 4));
    GameEvent command = Made(EventKind::Command, 2, -1, 3, -1);
    command.SetCommand(DomesticCommand::Train, 100);
    EXPECT_EQ(EventJson(world, command), "{\"year\":190,\"month\":3,\"kind\":\"command\",\"country\":2,\"country_name\":"
                                  "\"a\\u0009b\\u0001\",\"ruler\":3,\"ruler_name\":\"孫堅\",\"player\":false,"
                                  "\"command\":\"train\",\"value\":100}");
}

class HeadlessEventsTest : public RulesTest {
protected:
    TempDir dir;
};

TEST_F(HeadlessEventsTest, EventsAreForOneGameAndAFileThatCannotBeWrittenFails)
{
    const std::string data = ShippedData();
    HeadlessRun run = Headless({"--data", data, "--scenario", "1", "--ruler", "1", "--months", "12", "--games", "2",
                                "--events", dir.Path("e.jsonl")});
    EXPECT_EQ(run.status, kHeadlessBadInput);
    EXPECT_NE(run.err.find("--events keeps the events of one game"), std::string::npos) << run.err;

    run = Headless({"--data", data, "--scenario", "1", "--ruler", "1", "--months", "12", "--events",
                    dir.Path("missing/e.jsonl")});
    EXPECT_EQ(run.status, kHeadlessSaveFailed);
    EXPECT_NE(run.err.find("missing/e.jsonl"), std::string::npos) << run.err;

    // The game's first event tells whether it began new or was loaded.
    run = Headless({"--data", data, "--scenario", "1", "--ruler", "1", "--months", "0", "--save", dir.Path("s.txt")});
    ASSERT_EQ(run.status, kHeadlessDone) << run.err;
    const struct {
        std::vector<std::string> args;
        bool loaded;
    } cases[] = {
        {{"--data", data, "--scenario", "1", "--ruler", "1", "--months", "1"}, false},
        {{"--load", dir.Path("s.txt"), "--months", "1"}, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--events", dir.Path("e.jsonl")});
        run = Headless(args);
        ASSERT_EQ(run.status, kHeadlessDone) << run.err;
        const std::string first = Lines(ReadFileBytes(dir.Path("e.jsonl"))).at(0);
        EXPECT_NE(first.find("\"kind\":\"start\""), std::string::npos) << first;
        EXPECT_NE(first.find(c.loaded ? "\"loaded\":true" : "\"loaded\":false"), std::string::npos) << first;
    }
}

// Each bundled scenario with its first ruler's countries held by an army no computer
// ruler attacks, so that the computer rulers play a whole century: the printout and
// the save are the same bytes with the events written and without, and the captures
// replayed over the start give the rulers of the saved end.
TEST_F(HeadlessEventsTest, ObservingChangesNothingAndTheCapturesReplayToTheEnd)
{
    for (int scenario = 1; scenario <= 3; ++scenario) {
        SCOPED_TRACE("scenario " + std::to_string(scenario));
        const ScenarioList offered = ReadScenarioFile(ScenarioFilePath(ShippedData(), scenario));
        ASSERT_FALSE(offered.rulers.empty());
        ASSERT_EQ(LoadCountryFile(world, CountryFilePath(ShippedData(), scenario)).status, LoadStatus::Loaded);
        WorldRecord start = CaptureWorld(world, -1);
        start.playerRuler = offered.rulers.front();
        for (CountryRecord& c : start.countries) {
            if (c.ruler == start.playerRuler) {
                c.soldiers = 2000000;
                c.training = 100;
                c.provisions = 100000000;
            }
        }
        std::string error;
        ASSERT_TRUE(WriteCountryFile(dir.Path("start.txt"), start, &error)) << error;

        const std::vector<std::string> game = {"--load", dir.Path("start.txt"), "--months", "1200", "--clock",
                                               "1700000000"};
        std::vector<std::string> plain = game, observed = game;
        plain.insert(plain.end(), {"--save", dir.Path("plain.txt")});
        observed.insert(observed.end(), {"--save", dir.Path("observed.txt"), "--events", dir.Path("e.jsonl")});
        const HeadlessRun withoutEvents = Headless(plain);
        const HeadlessRun withEvents = Headless(observed);
        ASSERT_EQ(withoutEvents.status, kHeadlessDone) << withoutEvents.err;
        ASSERT_EQ(withEvents.status, kHeadlessDone) << withEvents.err;
        EXPECT_NE(withEvents.out.find("still open after 1200 months"), std::string::npos);
        EXPECT_EQ(withEvents.out, withoutEvents.out);
        EXPECT_EQ(ReadFileBytes(dir.Path("observed.txt")), ReadFileBytes(dir.Path("plain.txt")));

        const std::vector<std::string> lines = Lines(ReadFileBytes(dir.Path("e.jsonl")));
        ASSERT_GT(lines.size(), 1200u);
        ASSERT_NE(lines[0].find("\"kind\":\"start\""), std::string::npos);
        std::array<long long, kCountryCount> rulers{};
        for (int i = 0; i < kCountryCount; ++i)
            rulers[i] = start.countries[i].ruler;
        int captures = 0;
        int months = 0;
        for (const std::string& line : lines) {
            ASSERT_EQ(line.rfind("{\"year\":", 0), 0u) << line;
            ASSERT_NE(Field(line, "month"), -(1LL << 40)) << line;
            months += line.find("\"kind\":\"month\"") != std::string::npos;
            if (line.find("\"kind\":\"capture\"") == std::string::npos)
                continue;
            const long long country = Field(line, "country");
            ASSERT_TRUE(country >= 0 && country < kCountryCount) << line;
            EXPECT_EQ(Field(line, "old_ruler"), rulers[country]) << line;
            EXPECT_NE(Field(line, "new_ruler"), rulers[country]) << line;
            rulers[country] = Field(line, "new_ruler");
            ++captures;
        }
        EXPECT_EQ(months, 1200);
        EXPECT_GT(captures, 0);
        ASSERT_EQ(LoadCountryFile(world, dir.Path("observed.txt")).status, LoadStatus::Loaded);
        for (int i = 0; i < kCountryCount; ++i)
            EXPECT_EQ(rulers[i], world.countries[i].GetRuler()) << "country " << i;
    }
}

// The chronicle's log: written by one thread while another reads what is there, across
// the blocks it is kept in, and empty again after a new game.
TEST(EventLogTest, ReadersSeeWhatTheWriterPublishedInOrder)
{
    EventLog log;
    constexpr int kCount = static_cast<int>(EventLog::kBlockSize) * 2 + 17;
    std::thread writer([&log] {
        for (int i = 0; i < kCount; ++i) {
            GameEvent e;
            e.kind = EventKind::Command;
            e.year = i;
            e.SetCommand(DomesticCommand::Train, -i);
            log.OnGameEvent(e);
        }
    });
    std::size_t checked = 0;
    while (checked < static_cast<std::size_t>(kCount)) {
        const std::size_t size = log.Size();
        for (; checked < size; ++checked) {
            ASSERT_EQ(log[checked].year, static_cast<std::int32_t>(checked));
            ASSERT_EQ(log[checked].Value(), -static_cast<std::int32_t>(checked));
        }
    }
    writer.join();
    EXPECT_EQ(log.Size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(log.Dropped(), 0u);

    log.Clear();
    EXPECT_EQ(log.Size(), 0u);
    GameEvent month;
    month.year = 999;
    log.OnGameEvent(month);
    ASSERT_EQ(log.Size(), 1u);
    EXPECT_EQ(log[0], month);
}

TEST_F(EventsTest, TheStandingsSumEachRulersCountriesMostCountriesFirst)
{
    const struct {
        RulerId ruler;
        std::int32_t soldiers, provisions, funds;
    } table[] = {{2, 100, 10, 1}, {3, 200, 20, 2},     {5, 300, 30, 3}, {2, 400, 40, 4},
                 {5, 500, 50, 5}, {3, 2000000000, 60, 6}, {5, 700, 70, 7}, {3, 2000000000, 80, 8}};
    for (int i = 0; i < 8; ++i) {
        C(i).SetRuler(table[i].ruler);
        C(i).SetSoldiers(table[i].soldiers);
        C(i).SetProvisions(table[i].provisions);
        C(i).SetFunds(table[i].funds);
    }
    // Ruler 5: countries 2, 4, 6; ruler 3: 1, 5, 7; ruler 2: 0, 3. Countries 8..13 have none.
    const std::vector<RulerStanding> expected = {
        {3, 3, 4000000200LL, 160, 16},
        {5, 3, 1500, 150, 15},
        {2, 2, 500, 50, 5},
    };
    EXPECT_EQ(RulerStandings(world), expected);
}

TEST_F(EventsTest, TheHistoryOfHoldingsFollowsTheCapturesToTheWorldOfTheEnd)
{
    HeadlessGame game;
    GameSession& session = game.Session();
    ApplyWorld(session.world, MakeTestWorld());
    BuildRulerTable(session.world);
    platform::FixClock(77);
    session.events.Add(&seen);
    SeatPlayer(session.world, 1);
    session.BeginGame(false);
    HeadlessOptions options;
    options.months = 240;
    const HeadlessOutcome outcome = PlayResting(game, options);

    HoldingsHistory history;
    for (const GameEvent& e : seen.events)
        history.Add(e);
    ASSERT_TRUE(history.Started());
    // The test world: the player 1 country, rulers 2..6 two each, ruler 7 one, two unruled.
    const std::array<std::int8_t, kRulerCount> first = {2, 1, 2, 2, 2, 2, 2, 1};
    EXPECT_EQ(history.Points().front().held, first);
    EXPECT_EQ(history.Points().front().year, 190);
    EXPECT_EQ(history.Points().size(), static_cast<std::size_t>(outcome.monthsRun) + 1);
    std::array<std::int8_t, kRulerCount> now{};
    for (const Country& c : session.world.countries)
        ++now[static_cast<std::size_t>(c.GetRuler())];
    EXPECT_EQ(history.Held(), now);
    EXPECT_GT(std::count_if(seen.events.begin(), seen.events.end(),
                            [](const GameEvent& e) { return e.kind == EventKind::Capture; }),
              0);
}

// The chronicle's log is filled in place by the rules; it must hold what any other
// observer hears.
TEST_F(EventsTest, TheLogHoldsWhatAnObserverHears)
{
    EventLog log;
    std::vector<GameEvent> heard[2];
    for (int run = 0; run < 2; ++run) {
        HeadlessGame game;
        GameSession& session = game.Session();
        ApplyWorld(session.world, MakeTestWorld());
        BuildRulerTable(session.world);
        platform::FixClock(99);
        seen.events.clear();
        session.events.Add(run == 0 ? static_cast<EventObserver*>(&log) : &seen);
        SeatPlayer(session.world, 1);
        session.BeginGame(false);
        HeadlessOptions options;
        options.months = 120;
        PlayResting(game, options);
        if (run == 0) {
            for (std::size_t i = 0; i < log.Size(); ++i)
                heard[0].push_back(log[i]);
        } else {
            heard[1] = seen.events;
        }
    }
    EXPECT_GT(heard[0].size(), 300u);
    EXPECT_EQ(heard[0], heard[1]);
}
