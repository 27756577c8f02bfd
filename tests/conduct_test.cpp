// SPDX-License-Identifier: GPL-3.0-or-later
// The conductor's seams: the turn it describes at each stage of each seating, the
// description agreeing with the session's own Check (and the page's JSON with the
// description), and the description read on another thread while the worker plays.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "conduct/game_conductor.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "rules/commands.h"
#include "test_world.h"
#include "web/turn_json.h"
#include "web/web_game.h"

namespace {

const std::string kData = VELCOR_SOURCE_DIR "/data";

std::string CountryFile(int scenario) { return CountryFilePath(kData, scenario); }

std::vector<RulerId> Offered(int scenario) { return ReadScenarioFile(ScenarioFilePath(kData, scenario)).rulers; }

Seats PersonsAt(const std::vector<RulerId>& persons)
{
    Seats seats{};
    for (const RulerId r : persons)
        seats[static_cast<std::size_t>(r)] = Seat::Person();
    return seats;
}

// Hears the hand-overs with the description as it stood then.
struct Ear : ConductorListener {
    GameConductor* game = nullptr;
    std::vector<TurnDescription> handOvers;
    int told = 0;
    void HandingOver(RulerId) override { handOvers.push_back(game->Describe()); }
    void Described(const TurnDescription&) override { ++told; }
};

// What a command of the turn country would meet, asked of the session alone: a move or
// a war may act when one country of the map may be its target.
bool SessionAllows(const GameConductor& game, TurnCommand command, std::vector<int>* targets = nullptr)
{
    if (command != TurnCommand::Move && command != TurnCommand::War)
        return game.Session().Check(game.CommandOf(command)).refusal == CommandRefusal::None;
    bool any = false;
    for (int t = 0; t < kCountryCount; ++t) {
        if (game.Session().Check(game.CommandOf(command, t)).refusal == CommandRefusal::None) {
            any = true;
            if (targets)
                targets->push_back(t);
        }
    }
    return any;
}

std::string SavedWorld(const WorldRecord& world, const std::string& name)
{
    // Each test program its own file: ctest runs the tests of one program side by side.
    const std::string path = (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + name)).string();
    std::string error;
    EXPECT_TRUE(WriteCountryFile(path, world, &error)) << error;
    return path;
}

TEST(TurnDescription, EachStageOfEachSeatingSaysWhoActsAndWhatHeMayDo)
{
    struct Expected {
        TurnStage stage;
        bool personActs;      // acting is a person and country his turn's
        bool anyActionOffered; // some of the six actions may be pressed
        bool restOffered;
    };
    struct Case {
        const char* name;
        std::function<void(GameConductor&, Ear&)> reach; // from a game of nobody's
        Expected expected;
    };
    const std::vector<RulerId> offered = Offered(1);
    ASSERT_GE(offered.size(), 2u);
    const RulerId one = offered.front();
    auto newGame = [&](GameConductor& game, const std::vector<RulerId>& persons) {
        platform::Message why;
        ASSERT_TRUE(game.NewGame(CountryFile(1), PersonsAt(persons), persons.empty() ? one : persons.front(), &why))
            << why.Text();
    };
    WorldRecord allHis = MakeTestWorld();
    for (CountryRecord& c : allHis.countries)
        c.ruler = 1;
    const std::string wonPath = SavedWorld(allHis, "velcor_conduct_won.txt");
    WorldRecord noneHis = MakeTestWorld();
    noneHis.countries[0].ruler = 2;
    const std::string lostPath = SavedWorld(noneHis, "velcor_conduct_lost.txt");

    const std::vector<Case> cases = {
        {"no game", [](GameConductor&, Ear&) {}, {TurnStage::NoGame, false, false, false}},
        {"one person", [&](GameConductor& g, Ear&) { newGame(g, {one}); }, {TurnStage::Command, true, true, true}},
        {"one person after his command",
         [&](GameConductor& g, Ear&) {
             newGame(g, {one});
             g.Give(g.CommandOf(TurnCommand::DevelopLand));
         },
         {TurnStage::Command, true, false, true}},
        {"choosing a move",
         [&](GameConductor& g, Ear&) {
             newGame(g, {one});
             ASSERT_TRUE(g.BeginChoice(TurnCommand::Move));
         },
         {TurnStage::ChoosingMove, true, false, false}},
        {"a choice taken back",
         [&](GameConductor& g, Ear&) {
             newGame(g, {one});
             g.BeginChoice(TurnCommand::Move);
             g.CancelChoice();
         },
         {TurnStage::Command, true, true, true}},
        {"two people taking turns",
         [&](GameConductor& g, Ear& ear) {
             newGame(g, {offered.front(), offered.back()});
             for (int i = 0; i < 40 && ear.handOvers.empty(); ++i)
                 g.Rest();
             ASSERT_FALSE(ear.handOvers.empty());
         },
         {TurnStage::Command, true, true, true}},
        {"watching", [&](GameConductor& g, Ear&) { newGame(g, {}); }, {TurnStage::Watching, false, false, false}},
        {"the advisor's turn: none of this screen's",
         [&](GameConductor& g, Ear&) {
             Seats seats{};
             seats[static_cast<std::size_t>(one)] = Seat::Advisor();
             platform::Message why;
             ASSERT_TRUE(g.NewGame(CountryFile(1), seats, one, &why)) << why.Text();
         },
         {TurnStage::Command, true, false, false}},
        {"a replay",
         [&](GameConductor& g, Ear&) {
             GameConductor played;
             newGame(played, {one});
             played.Give(played.CommandOf(TurnCommand::DevelopLand));
             played.Rest();
             platform::Message why;
             ASSERT_TRUE(g.StartReplay(played.Recorder()->Record(), &why)) << why.Text();
         },
         {TurnStage::Replaying, true, false, false}},
        {"won", [&](GameConductor& g, Ear&) { ASSERT_TRUE(g.LoadGame(wonPath, nullptr)); },
         {TurnStage::Won, false, false, false}},
        {"lost", [&](GameConductor& g, Ear&) { ASSERT_TRUE(g.LoadGame(lostPath, nullptr)); },
         {TurnStage::Lost, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameConductor game;
        Ear ear;
        ear.game = &game;
        game.SetListener(&ear);
        c.reach(game, ear);
        const TurnDescription& d = game.Describe();
        const Expected& e = c.expected;
        EXPECT_EQ(StageName(d.stage), std::string(StageName(e.stage)));
        EXPECT_EQ(d.acting != 0 && d.country >= 0, e.personActs);
        if (e.personActs) {
            EXPECT_EQ(d.acting, game.World().countries[static_cast<std::size_t>(d.country)].GetRuler());
            EXPECT_EQ(d.moveTargets, MoveTargets(game.World(), d.country));
            EXPECT_EQ(d.warTargets, AttackTargets(game.World(), d.country));
        }
        bool anyOffered = false;
        for (const TurnCommand command : kTurnCommands) {
            const CommandState& s = d.Of(command);
            if (command != TurnCommand::Rest)
                anyOffered = anyOffered || s.offered;
            // A command refused says why; one allowed is offered (but a watched month's rest).
            EXPECT_EQ(s.allowed, s.why.empty()) << TurnCommandKey(command);
            if (s.allowed && d.stage != TurnStage::Watching) {
                EXPECT_TRUE(s.offered) << TurnCommandKey(command);
            }
        }
        EXPECT_EQ(anyOffered, e.anyActionOffered);
        EXPECT_EQ(d.Offered(TurnCommand::Rest), e.restOffered);
        EXPECT_EQ(d.persons.size(), std::count(game.World().seats.begin(), game.World().seats.end(), Seat::Person()));
        if (e.stage == TurnStage::Won) {
            EXPECT_EQ(d.winner, 1);
        }
        // The hand-over names both people, the turn that came before and the next.
        for (const TurnDescription& h : ear.handOvers) {
            EXPECT_EQ(h.stage, TurnStage::HandingOver);
            EXPECT_NE(h.previous, 0);
            EXPECT_NE(h.previous, h.acting);
            EXPECT_NE(h.acting, 0);
        }
        // Every change was told, each described once with a larger number.
        EXPECT_GE(static_cast<std::uint64_t>(ear.told), d.sequence > 0 ? d.sequence - 1 : 0);
        game.SetListener(nullptr);
    }
    std::filesystem::remove(wonPath);
    std::filesystem::remove(lostPath);
}

TEST(TurnDescription, AgreesWithTheSessionAndThePageAfterRandomCommands)
{
    for (int scenario = 1; scenario <= 3; ++scenario) {
        SCOPED_TRACE(scenario);
        const std::vector<RulerId> offered = Offered(scenario);
        GameConductor game;
        platform::Message why;
        ASSERT_TRUE(game.NewGame(CountryFile(scenario), PersonsAt({offered.front(), offered.back()}), offered.front(),
                                 &why));
        std::mt19937 pick(static_cast<unsigned>(scenario));
        int compared = 0;
        for (int step = 0; step < 300 && !game.Describe().Ended(); ++step) {
            const TurnDescription& d = game.Describe();
            ASSERT_EQ(d.stage, TurnStage::Command);
            web::JsonText json;
            web::WriteTurn(json, d);
            const std::string page = json.Take();
            // What a window listing the person's countries says of the turn country.
            const auto reasons = CommandReasons(game.World(), d.country);
            for (const TurnCommand command : kTurnCommands) {
                std::vector<int> targets;
                const bool allowed = SessionAllows(game, command, &targets);
                EXPECT_EQ(d.Allowed(command), allowed) << TurnCommandKey(command) << " at step " << step;
                EXPECT_EQ(reasons[IndexOf(command)].empty(), allowed) << TurnCommandKey(command) << " at step " << step;
                const std::string said = std::string("\"") + TurnCommandKey(command) + "\":{\"allowed\":" +
                                         (allowed ? "true" : "false");
                EXPECT_NE(page.find(said), std::string::npos) << said;
                if (command == TurnCommand::Move && allowed) {
                    EXPECT_EQ(d.moveTargets, targets);
                }
                ++compared;
            }
            // A random command, any country its target, or the rest.
            const auto command = kTurnCommands[pick() % kTurnCommandCount];
            const int target = static_cast<int>(pick() % kCountryCount);
            if (command == TurnCommand::Rest)
                game.Rest();
            else
                game.Give(game.CommandOf(command, target, MoveAmounts{100, 100, 100}));
            if (game.Describe().commandGiven || pick() % 3 == 0)
                game.Rest();
        }
        EXPECT_GT(compared, 100);
    }
}

// The JSON value that follows the first "key": in text, as written; empty when none.
std::string JsonValue(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find("\"" + key + "\":");
    if (at == std::string::npos)
        return {};
    const std::size_t begin = at + key.size() + 3;
    std::size_t i = begin;
    int depth = 0;
    for (bool quoted = false; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            i += c == '\\';
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && depth-- == 0) {
            break;
        } else if (c == ',' && depth == 0) {
            break;
        }
    }
    return text.substr(begin, i - begin);
}

// The turn an answer of the page's describes (after the shows, each with its own).
std::string PageTurn(const std::string& answer)
{
    return JsonValue(answer.substr(answer.rfind("\"description\":")), "description");
}

// The page plays a game by its calls, commands crossing by their keys; at each of the
// player's turns its answer says of the turn what the windows' conductor says loading
// the page's save: the stage and country, and for each command allowed, offered and why.
TEST(TurnDescription, ThePageSaysWhatTheWindowsSay)
{
    const std::string scratch =
        (std::filesystem::temp_directory_path() / ("velcor_page_agreement" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(scratch);
    const std::string savePath = scratch + "/velcor-save.txt";
    const std::shared_ptr<void> realClockAfter(nullptr, [](void*) { platform::UseRealClock(); });
    for (int scenario = 1; scenario <= 3; ++scenario) {
        SCOPED_TRACE(scenario);
        platform::FixClock(1'700'000'000 + scenario * 100'000);
        web::WebGame page(kData, scratch);
        std::string answer = page.NewGame(scenario, Offered(scenario).back(), 1);
        std::mt19937 pick(static_cast<unsigned>(scenario) * 7);
        int compared = 0;
        int games = 1;
        // The page's game is seeded from the clock, fixed here so that each new game
        // reads new seconds (games started within one real second would all be the same
        // game) and a run repeats: a game lost early is followed by another, until
        // enough turns have been compared.
        for (int step = 0; step < 4000 && compared <= 10; ++step) {
            const std::string described = PageTurn(answer);
            ASSERT_FALSE(described.empty()) << answer.substr(0, 200);
            const std::string stage = JsonValue(described, "stage");
            if (stage != "\"command\"") {
                if (++games > 40)
                    break;
                answer = page.NewGame(scenario, Offered(scenario).back(), 1);
                continue;
            }
            if (JsonValue(described, "commandGiven") == "false") {
                ASSERT_NE(JsonValue(page.Save(), "save"), "");
                GameConductor windows;
                platform::Message why;
                ASSERT_TRUE(windows.LoadGame(savePath, &why)) << why.Text();
                web::JsonText json;
                web::WriteTurn(json, windows.Describe());
                const std::string theirs = json.Take();
                for (const char* key : {"stage", "country", "acting", "commands", "moveTargets", "warTargets"})
                    EXPECT_EQ(JsonValue(described, key), JsonValue(theirs, key)) << key << " at step " << step;
                ++compared;
            }
            // A random command by its key, any country its target; or the rest.
            const std::string key(1, "MWLCSTR"[pick() % 7]);
            const int target = static_cast<int>(pick() % kCountryCount);
            answer = page.Command(key, target, 100, 100, 100);
            if (key != "R" && (pick() % 2 == 0 || JsonValue(PageTurn(answer), "commandGiven") == "true"))
                answer = page.Command("R", 0, 0, 0, 0);
        }
        EXPECT_GT(compared, 10);
    }
    std::filesystem::remove_all(scratch);
}

// A front end whose owner's thread is this test's: the worker's calls wait in a queue
// that the test's loop runs, as the windows' event loop runs them.
class OwnerLoop : public ConductorListener {
public:
    bool OnOwner(const std::function<void()>& call) override
    {
        std::unique_lock lock(m_mutex);
        bool done = false;
        m_calls.push_back([&] {
            call();
            std::lock_guard doneLock(m_mutex);
            done = true;
            m_changed.notify_all();
        });
        m_changed.notify_all();
        m_changed.wait(lock, [&] { return done || m_stopping; });
        return done;
    }
    // The game is ending: a call still waiting is given up, as the windows give it up.
    void Stopping() override
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_changed.notify_all();
    }
    void TurnReached(int) override { ++reached; }
    // Runs the calls waiting until a turn has been reached.
    void RunUntilReached(int turns)
    {
        while (reached < turns) {
            std::function<void()> next;
            {
                std::unique_lock lock(m_mutex);
                m_changed.wait(lock, [&] { return !m_calls.empty(); });
                next = std::move(m_calls.front());
                m_calls.pop_front();
            }
            next();
        }
    }
    int reached = 0;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_calls;
    bool m_stopping = false;
};

TEST(TurnDescription, IsReadWholeOnAnotherThreadWhileTheWorkerPlays)
{
    GameConductor game(ComputerPlay::Background);
    OwnerLoop loop;
    game.SetListener(&loop, true, true);
    std::atomic<bool> done{false};
    std::uint64_t lastSeen = 0;
    int decreased = 0;
    std::thread reader([&] {
        while (!done.load()) {
            const std::shared_ptr<const TurnDescription> d = game.Published();
            decreased += d->sequence < lastSeen;
            lastSeen = d->sequence;
            // A whole description: a person acting has his country's targets.
            if (d->stage == TurnStage::Command) {
                EXPECT_GE(d->country, 0);
            }
        }
    });
    platform::Message why;
    ASSERT_TRUE(game.NewGame(CountryFile(1), PersonsAt({Offered(1).front()}), Offered(1).front(), &why));
    // No rest after the last turn: a worker left running would wait on a loop no longer run.
    for (int turn = 1; turn <= 24; ++turn) {
        loop.RunUntilReached(turn);
        if (turn == 24 || game.Describe().Ended())
            break;
        game.Rest();
    }
    done = true;
    reader.join();
    game.EndWorker();
    game.SetListener(nullptr);
    EXPECT_EQ(decreased, 0);
    EXPECT_GT(lastSeen, 0u);
}

// A record tied to a save (one made while the computer's turns were due, as the headless
// game makes it) played to its end, at once or a step at a time: a save made then is
// the save it is tied to, byte for byte.
TEST(GameConductor, ARecordPlayedToItsEndSavesTheSaveItIsTiedTo)
{
    const RulerId one = Offered(1).front();
    GameConductor played;
    platform::Message why;
    ASSERT_TRUE(played.NewGame(CountryFile(1), PersonsAt({one}), one, &why)) << why.Text();
    played.Rest();
    const std::string path = (std::filesystem::temp_directory_path() / (std::to_string(::getpid()) + "tied.txt")).string();
    const std::int32_t cursor = played.World().turnCountry; // not the one before the command awaited
    std::string error;
    ASSERT_TRUE(played.Session().SaveGame(path, cursor, &error)) << error;
    std::string tied;
    ASSERT_TRUE(platform::ReadWholeFile(path, tied, nullptr, &error)) << error;
    const RecordedGame record = played.RecordTiedTo(tied, cursor);
    const std::vector<std::pair<const char*, std::function<void(GameConductor&)>>> ways = {
        {"at once", [&](GameConductor& g) { ASSERT_TRUE(g.PlayRecordThrough(record).played); }},
        {"a step at a time",
         [&](GameConductor& g) {
             ASSERT_TRUE(g.StartReplay(record, &why)) << why.Text();
             for (int step = 0; g.Replaying() && step < 100; ++step)
                 g.StepReplay();
             ASSERT_FALSE(g.Replaying());
         }},
    };
    for (const auto& [name, play] : ways) {
        SCOPED_TRACE(name);
        GameConductor game;
        play(game);
        ASSERT_TRUE(game.SaveGame(path, &why, false)) << why.Text();
        std::string saved;
        ASSERT_TRUE(platform::ReadWholeFile(path, saved, nullptr, &error)) << error;
        EXPECT_EQ(saved, tied);
    }
    std::filesystem::remove(path);
}

} // namespace
