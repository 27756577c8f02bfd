// SPDX-License-Identifier: GPL-3.0-or-later
// The game controller without a window: where the game stands after each step the
// windows can ask of it, and what it tells them on the way.
#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include "control/game_controller.h"
#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "test_support.h"
#include "test_world.h"

// Hears the controller's signals (all but those that show something or come from the
// worker's thread) by name, as the windows would.
#define HEAR(signal) QObject::connect(&game, &GameController::signal, &game, [&heard] { heard.insert(#signal); })

TEST(GameControllerTest, EachStepLeavesThePhaseAndTellsTheWindows)
{
    TempDir dir;
    platform::FixClock(1'700'000'000);
    WorldRecord start = MakeTestWorld();
    start.playerRuler = 2;
    std::string error;
    const std::string startFile = dir.Path("start.txt");
    ASSERT_TRUE(WriteCountryFile(startFile, start, &error)) << error;
    // A save in which the player's ruler holds nothing any more.
    WorldRecord beaten = start;
    for (CountryRecord& c : beaten.countries)
        if (c.ruler == 2)
            c.ruler = 3;
    ASSERT_TRUE(WriteCountryFile(dir.Path("beaten.txt"), beaten, &error)) << error;

    GameController game;
    std::set<std::string> heard;
    HEAR(phaseChanged);
    HEAR(worldChanged);
    HEAR(statusChanged);
    HEAR(message);
    HEAR(trouble);
    HEAR(handOver);
    HEAR(turnBegan);
    HEAR(computerTurnsStarted);
    HEAR(turnReached);
    HEAR(playerTurnReached);
    HEAR(commandGiven);
    HEAR(worldReplaced);
    HEAR(gameBegun);
    HEAR(gameSaved);
    HEAR(gameWon);
    HEAR(gameEnded);
    HEAR(turnTakenBack);
    HEAR(playerTurnPassed);
    const GameState& world = game.World();
    auto worldBytes = [&] { return platform::JoinLines(FormatCountryFile(CaptureWorld(world, game.SaveCursor()))); };
    auto toTurn = [&] { return WaitUntil([&] { return game.AtPlayersTurn() && game.CanStartGame(); }, 20000); };
    std::string firstTurn;    // the world at the player's first turn
    std::string secondTurn;   // and at his second
    RecordedGame played;

    using Set = std::set<std::string>;
    const Set begun = {"worldReplaced", "gameBegun", "statusChanged", "computerTurnsStarted", "phaseChanged",
                       "turnReached", "playerTurnReached"};
    const struct Step {
        const char* what;
        std::function<bool()> act; // false: the step could not be taken
        TurnPhase phase;
        Set told;    // among what the windows hear
        Set notTold; // and never
        bool canSave;
    } steps[] = {
        {"a new game",
         [&] {
             QString why;
             const bool ok = game.NewGame(QString::fromStdString(startFile), 2, &why) && toTurn();
             firstTurn = worldBytes();
             return ok;
         },
         TurnPhase::AwaitingCommand, begun, {"handOver", "gameEnded", "message"}, true},
        {"a command", [&] { return game.Give(command::Domestic{DomesticCommand::Train, world.turnCountry}).done; },
         TurnPhase::CommandGiven, {"statusChanged", "commandGiven", "worldChanged", "phaseChanged"},
         {"message", "computerTurnsStarted", "turnReached"}, true},
        {"the computer's turns",
         [&] {
             const bool ok = game.Rest() && toTurn();
             secondTurn = worldBytes();
             played = game.Recorder().Record();
             return ok;
         },
         TurnPhase::AwaitingCommand, {"computerTurnsStarted", "turnReached", "playerTurnReached", "phaseChanged"},
         {"handOver", "gameBegun"}, true},
        {"going back", [&] { return game.GoBackOneTurn(nullptr) && worldBytes() == firstTurn; },
         TurnPhase::AwaitingCommand,
         {"worldReplaced", "turnTakenBack", "worldChanged", "turnReached", "playerTurnReached", "phaseChanged"},
         {"computerTurnsStarted", "handOver"}, true},
        {"a record played back to its end",
         [&] {
             game.SetReplayStepTime(0);
             if (!game.StartReplay(played, nullptr) || !WaitUntil([&] { return !game.Replaying(); }, 20000))
                 return false;
             return toTurn() && worldBytes() == secondTurn;
         },
         TurnPhase::AwaitingCommand, begun, {"handOver", "gameEnded"}, true},
        {"victory",
         [&] {
             // Every country his but the one he attacks, which he already holds too.
             GameState& w = game.Session().world;
             for (Country& c : w.countries)
                 c.SetRuler(2);
             Country& own = w.countries[static_cast<std::size_t>(w.turnCountry.Get())];
             own.SetFunds(5000);
             own.SetProvisions(own.GetSoldiers());
             const int other = w.turnCountry == 1 ? 2 : 1;
             game.Give(command::War{w.turnCountry, other});
             return game.Session().Winner() == 2;
         },
         TurnPhase::Won, {"gameWon", "message", "gameEnded", "statusChanged", "phaseChanged"}, {"computerTurnsStarted"},
         false},
        {"a load", [&] { return game.LoadGame(QString::fromStdString(dir.Path("start.txt")), nullptr) && toTurn(); },
         TurnPhase::AwaitingCommand, begun, {"gameEnded"}, true},
        {"one key a turn",
         [&] {
             game.SetOneKeyTurn(true);
             const bool done = game.Give(command::Domestic{DomesticCommand::Train, world.turnCountry}).done;
             game.SetOneKeyTurn(false);
             const RecordedGame record = game.Recorder().Record();
             // The record holds the command and then the rest, as two keys would give.
             return done && toTurn() && record.steps.size() >= 3 &&
                    std::holds_alternative<command::Rest>(std::get<PlayerCommand>(record.steps.back())) &&
                    std::holds_alternative<command::Domestic>(std::get<PlayerCommand>(record.steps.end()[-2]));
         },
         TurnPhase::AwaitingCommand, {"commandGiven", "computerTurnsStarted", "turnReached", "playerTurnReached"},
         {"handOver"}, true},
        {"the turn passes to another person",
         [&] {
             Seats seats{};
             seats[1] = Seat::Person();
             seats[2] = Seat::Person();
             if (!game.NewGame(QString::fromStdString(startFile), seats, 1, nullptr) || !toTurn())
                 return false;
             // The first person's first turn is no hand-over; the next person's is.
             if (game.Session().TurnRuler() != 1 || heard.count("handOver"))
                 return false;
             return game.Rest() && toTurn() && game.Session().TurnRuler() == 2;
         },
         TurnPhase::AwaitingCommand, {"handOver", "computerTurnsStarted", "turnReached"}, {"gameEnded"}, true},
        {"a command from the other person's seat",
         [&] {
             const CommandResult refused = game.Give(command::Domestic{DomesticCommand::Train, world.turnCountry}, 1);
             return refused.refusal == CommandRefusal::NotYourTurn && game.Session().TurnRuler() == 2;
         },
         TurnPhase::AwaitingCommand, {"statusChanged"}, {"commandGiven", "computerTurnsStarted"}, true},
        {"his ruler handed to the advisor, which plays it",
         [&] {
             // The advisor plays his turn and rests; the other person's turn comes with
             // nobody to hand it over from.
             // A few short trials: the test is of the seat's turn, not of the advice.
            foresight::AdviceOptions quick;
            quick.rollouts = 2;
            quick.horizon = 6;
            game.Conductor().SetSeatAdvice(quick);
            if (!game.ChangeSeat(2, Seat::Advisor()))
                 return false;
             const bool played = WaitUntil(
                 [&] { return game.Session().TurnRuler() == 1 && game.AtPlayersTurn() && game.CanStartGame(); }, 20000);
             const RecordedGame record = game.Recorder().Record();
             return played && std::count_if(record.steps.begin(), record.steps.end(), [](const RecordStep& s) {
                        const auto* change = std::get_if<SeatChange>(&s);
                        return change && *change == SeatChange{2, Seat::Advisor()};
                    }) == 1;
         },
         TurnPhase::AwaitingCommand, {"computerTurnsStarted", "turnReached"}, {"handOver", "gameEnded"}, true},
        {"watching",
         [&] {
             game.SetWatchTime(0);
             if (!game.NewGame(QString::fromStdString(startFile), Seats{}, 0, nullptr))
                 return false;
             // The months go on by themselves until paused.
             const int month = world.month;
             const bool on = WaitUntil([&] { return world.month != month && world.month != month + 1; }, 20000);
             game.SetWatchPaused(true);
             return on && toTurn();
         },
         TurnPhase::Watching, {"computerTurnsStarted", "turnReached"}, {"handOver", "message"}, true},
        {"defeat",
         [&] {
             return game.LoadGame(QString::fromStdString(dir.Path("beaten.txt")), nullptr) &&
                    WaitUntil([&] { return game.CanStartGame(); }, 20000);
         },
         TurnPhase::Lost, {"worldReplaced", "gameBegun", "turnReached", "message", "gameEnded", "playerTurnReached"},
         {"gameWon"}, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        heard.clear();
        ASSERT_TRUE(step.act());
        EXPECT_EQ(game.Phase(), step.phase);
        for (const std::string& name : step.told)
            EXPECT_TRUE(heard.count(name)) << "not told: " << name;
        for (const std::string& name : step.notTold)
            EXPECT_FALSE(heard.count(name)) << "told: " << name;
        EXPECT_EQ(game.CanSave(), step.canSave);
        EXPECT_TRUE(game.CanStartGame());
    }
    platform::UseRealClock();
}

// 残りを休養 rests the person's countries left this month, each a rest of the record, and
// stops at the next person's turn or at his own first country of the next month.
TEST(GameControllerTest, RestingTheRemainingCountriesStopsAtTheNextPersonOrMonth)
{
    TempDir dir;
    platform::FixClock(1'700'000'000);
    WorldRecord start = MakeTestWorld(); // ruler 2 holds countries 1 and 2, ruler 3 holds 3 and 4
    std::string error;
    const std::string startFile = dir.Path("start.txt");
    ASSERT_TRUE(WriteCountryFile(startFile, start, &error)) << error;
    const struct {
        const char* what;
        std::vector<RulerId> persons;
        RulerId stopsAt;
        int months; // months passed when it stops
    } cases[] = {
        {"one person", {2}, 2, 1},
        {"two persons", {2, 3}, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GameController game;
        Seats seats{};
        for (RulerId r : c.persons)
            seats[static_cast<std::size_t>(r)].kind = SeatKind::Person;
        auto toTurn = [&] { return WaitUntil([&] { return game.AtPlayersTurn() && game.CanStartGame(); }, 20000); };
        ASSERT_TRUE(game.NewGame(QString::fromStdString(startFile), seats, c.persons.front(), nullptr) && toTurn());
        ASSERT_EQ(game.World().turnCountry, 1);
        const int month = game.World().year * 12 + game.World().month;
        const std::size_t steps = game.Recorder().Record().steps.size();
        ASSERT_TRUE(game.RestRemaining());
        ASSERT_TRUE(WaitUntil(
            [&] { return game.AtPlayersTurn() && game.CanStartGame() && game.Session().TurnRuler() == c.stopsAt &&
                         game.World().year * 12 + game.World().month == month + c.months; },
            20000));
        // It stays there: no rest is given once it has stopped.
        QTest::qWait(50);
        EXPECT_EQ(game.Session().TurnRuler(), c.stopsAt);
        EXPECT_EQ(game.World().turnCountry, c.months == 0 ? 3 : 1);
        const RecordedGame record = game.Recorder().Record();
        ASSERT_EQ(record.steps.size(), steps + 2);
        for (std::size_t i = steps; i < record.steps.size(); ++i)
            EXPECT_TRUE(std::holds_alternative<command::Rest>(std::get<PlayerCommand>(record.steps[i])));
    }
    platform::UseRealClock();
}

// The turn as the windows publish it, read on another thread (a screen reader's, say)
// while the worker plays a watched game month after month: each read is a whole
// description, never older than one read before it. ThreadSanitizer runs it for races.
TEST(GameControllerTest, ThePublishedTurnIsReadOnAnotherThreadWhileTheWorkerPlays)
{
    platform::FixClock(1'700'000'000);
    GameController game;
    std::atomic<bool> done{false};
    std::uint64_t last = 0;
    int older = 0;
    int namingAPerson = 0; // descriptions of this game of nobody's that name a person
    std::thread reader([&] {
        while (!done.load(std::memory_order_relaxed)) {
            const std::shared_ptr<const TurnDescription> turn = game.PublishedTurn();
            older += turn->sequence < last;
            last = turn->sequence;
            namingAPerson += turn->acting != 0 || !turn->persons.empty();
        }
    });
    game.SetWatchTime(0);
    const bool begun = game.NewGame(QString::fromStdString(CountryFilePath(VELCOR_SOURCE_DIR "/data", 1)), Seats{}, 1, nullptr);
    const int start = game.World().year * 12 + game.World().month;
    const bool played = begun && WaitUntil([&] { return game.World().year * 12 + game.World().month >= start + 6; }, 30000);
    game.SetWatchPaused(true);
    const bool settled = WaitUntil([&] { return game.CanStartGame(); }, 30000);
    done = true;
    reader.join();
    ASSERT_TRUE(begun && played && settled);
    EXPECT_EQ(older, 0);
    EXPECT_EQ(namingAPerson, 0);
    EXPECT_GE(last, 6u) << "a description for every month at least";
    platform::UseRealClock();
}
