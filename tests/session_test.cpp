// SPDX-License-Identifier: GPL-3.0-or-later
// The seams of one game: a world is a value that forks, games on threads share nothing,
// and a command the session refuses leaves the game untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

#include "cli/headless.h"
#include "foresight/advisor.h"
#include "foresight/look_ahead_ruler.h"
#include "model/country_file.h"
#include "rules/battle_odds.h"
#include "rules/event_json.h"
#include "session/game_session.h"
#include "session/save_companions.h"
#include "test_support.h"
#include "test_world.h"

namespace {

// What a game left behind: its saved figures and every event it reported as JSON.
struct Trace {
    std::vector<std::string> save;
    std::string events;
    bool operator==(const Trace&) const = default;
};

// Plays game on for months from where it stands, the player resting.
Trace PlayOn(HeadlessGame& game, std::int64_t months)
{
    std::ostringstream events;
    JsonLinesWriter writer(events, game.GetWorld());
    game.Session().events.Add(&writer);
    HeadlessOptions options;
    options.months = months;
    PlayResting(game, options);
    game.Session().events.Remove(&writer);
    return {FormatCountryFile(CaptureWorld(game.GetWorld(), game.GetWorld().turnCountry)), events.str()};
}

// A new game of the test world for the player, with a clock of its own.
void StartTestGame(HeadlessGame& game, std::int64_t clock)
{
    GameState& world = game.GetWorld();
    ApplyWorld(world, MakeTestWorld());
    BuildRulerTable(world);
    world.clock.FixFrom(clock);
    game.Session().BeginGame(false);
}

} // namespace

// A copy of a world taken at any moment goes on exactly as the original does: the
// figures, the generators and the clock are all in the value.
TEST(WorldValue, ACopyPlayedOnGoesWhereTheOriginalGoes)
{
    for (const std::int64_t firstMonths : {0, 1, 7, 30}) {
        SCOPED_TRACE(firstMonths);
        HeadlessGame original;
        StartTestGame(original, 1700000000 + firstMonths);
        PlayOn(original, firstMonths);
        HeadlessGame fork;
        fork.GetWorld() = original.GetWorld();
        fork.Session().Resume();
        const Trace forked = PlayOn(fork, 120);
        const Trace played = PlayOn(original, 120);
        EXPECT_EQ(forked, played);
        EXPECT_FALSE(played.events.empty());
    }
}

// Games played at once on two threads give the bytes each gives alone.
TEST(WorldValue, GamesOnTwoThreadsPlayAsOneAfterTheOther)
{
    constexpr int kGames = 6;
    auto play = [](int i) {
        HeadlessGame game;
        StartTestGame(game, 1234567 + i);
        return PlayOn(game, 240);
    };
    std::vector<Trace> alone;
    for (int i = 0; i < kGames; ++i)
        alone.push_back(play(i));
    std::vector<Trace> together(kGames);
    std::thread other([&] {
        for (int i = 1; i < kGames; i += 2)
            together[static_cast<std::size_t>(i)] = play(i);
    });
    for (int i = 0; i < kGames; i += 2)
        together[static_cast<std::size_t>(i)] = play(i);
    other.join();
    EXPECT_EQ(together, alone);
    EXPECT_NE(alone[0], alone[1]) << "games with different clocks should differ";
}

// Asking for advice and for the odds of a war plays copies only: a game asked at its
// player's turn goes on byte for byte as the same game not asked, at every level (the
// computer rulers reckon odds of their own at 易しい and 難しい, and look ahead at 達人).
TEST(WorldValue, AskingAdviceChangesNothingOfTheGame)
{
    foresight::LookAheadOptions quick;
    quick.rollouts = 3;
    quick.horizon = 2;
    const foresight::LookAheadRuler master(quick);
    for (int level = 0; level < kDifficultyLevels; ++level) {
        SCOPED_TRACE(level);
        HeadlessGame asked;
        HeadlessGame quiet;
        for (HeadlessGame* game : {&asked, &quiet}) {
            StartTestGame(*game, 1700000321);
            game->GetWorld().difficulty = static_cast<Difficulty>(level);
            game->Conductor().planner = &master;
            PlayOn(*game, 2);
        }
        GameState& world = asked.GetWorld();
        ASSERT_EQ(world.countries[static_cast<std::size_t>(world.turnCountry.Get())].GetRuler(), world.playerRuler.Get());
        const std::uint32_t random = world.random.State(), commandRandom = world.commandRandom.State();
        foresight::AdviceOptions options;
        options.rollouts = 6;
        options.horizon = 3;
        EXPECT_FALSE(foresight::Advisor(world, options).Run().empty());
        for (int target = 0; target < kCountryCount; ++target)
            for (BattleKind kind : {BattleKind::Player, BattleKind::Computer})
                OddsOfBattle(world, world.turnCountry, target, kind);
        EXPECT_EQ(world.random.State(), random);
        EXPECT_EQ(world.commandRandom.State(), commandRandom);
        EXPECT_EQ(PlayOn(asked, 60), PlayOn(quiet, 60));
    }
}

// A command the rules refuse changes nothing (no figure, no draw, no event) and says
// why; the same command allowed is carried out.
TEST(GameSessionApply, ARefusedCommandChangesNothingAndSaysWhy)
{
    struct Case {
        const char* name;
        PlayerCommand command;
        CommandRefusal why;
        void (*prepare)(GameState&, GameSession&);
    };
    const auto none = [](GameState&, GameSession&) {};
    // In the test world the player (ruler 1) holds country 0, which borders 1 and 7
    // (rulers 2 and 5); he is made to hold 7 as well for moves.
    const Case cases[] = {
        {"the computer's turns are next", command::Domestic{DomesticCommand::Train, 0}, CommandRefusal::NotNow,
         [](GameState&, GameSession& s) { s.BeginGame(false); }},
        {"another country's turn", command::Domestic{DomesticCommand::Train, 1}, CommandRefusal::NotTurnCountry, none},
        {"no funds", command::Domestic{DomesticCommand::DevelopLand, 0}, CommandRefusal::Funds,
         [](GameState& w, GameSession&) { w.countries[0].SetFunds(999); }},
        {"training full", command::Domestic{DomesticCommand::Train, 0}, CommandRefusal::TrainingFull,
         [](GameState& w, GameSession&) { w.countries[0].SetTraining(Country::kMaxTraining); }},
        {"move to a stranger", command::Move{0, 1, 10, 0, 0}, CommandRefusal::NotNeighbour, none},
        {"move off the map", command::Move{0, 14, 0, 0, 0}, CommandRefusal::NotNeighbour, none},
        {"move more than held", command::Move{0, 7, 40001, 0, 0}, CommandRefusal::Amounts,
         [](GameState& w, GameSession&) { w.countries[7].SetRuler(1); }},
        {"move less than nothing", command::Move{0, 7, 0, -1, 0}, CommandRefusal::Amounts,
         [](GameState& w, GameSession&) { w.countries[7].SetRuler(1); }},
        {"war without provisions", command::War{0, 1}, CommandRefusal::Provisions,
         [](GameState& w, GameSession&) { w.countries[0].SetProvisions(39999); }},
        {"war without funds", command::War{0, 1}, CommandRefusal::Funds,
         [](GameState& w, GameSession&) { w.countries[0].SetFunds(999); }},
        {"war on his own country", command::War{0, 7}, CommandRefusal::NotNeighbour,
         [](GameState& w, GameSession&) { w.countries[7].SetRuler(1); }},
        {"war on a country not beside it", command::War{0, 5}, CommandRefusal::NotNeighbour, none},
        {"a second command in a turn", command::Domestic{DomesticCommand::Train, 0}, CommandRefusal::NotNow,
         [](GameState&, GameSession& s) { s.Apply(command::Domestic{DomesticCommand::DevelopCommerce, 0}); }},
        {"rest once no player holds a country", command::Rest{}, CommandRefusal::NotNow,
         [](GameState& w, GameSession& s) {
             w.countries[0].SetRuler(2);
             s.Resume();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HeadlessGame game;
        GameState& world = game.GetWorld();
        GameSession& session = game.Session();
        ApplyWorld(world, MakeTestWorld());
        BuildRulerTable(world);
        world.turnCountry = 0;
        world.commandRandom.Seed(7);
        session.Resume();
        c.prepare(world, session);
        std::ostringstream heard;
        JsonLinesWriter writer(heard, world);
        session.events.Add(&writer);
        const WorldRecord before = CaptureWorld(world, world.turnCountry);
        const std::uint32_t drawsBefore = world.commandRandom.State();

        EXPECT_EQ(session.Check(c.command).refusal, c.why);
        const CommandResult result = session.Apply(c.command);
        EXPECT_FALSE(result.done);
        EXPECT_EQ(result.refusal, c.why);
        EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
        EXPECT_EQ(world.commandRandom.State(), drawsBefore);
        EXPECT_EQ(heard.str(), "");
        EXPECT_EQ(result.words.empty(), c.why == CommandRefusal::NotNow || c.why == CommandRefusal::NotTurnCountry);
        session.events.Remove(&writer);
    }
}

// A war that leaves its player holding every country wins the game there and then,
// not at the next turn; one that leaves a country to take wins nothing yet.
TEST(GameSessionApply, AWarThatTakesTheLastCountryWinsAtOnce)
{
    for (const bool last : {true, false}) {
        SCOPED_TRACE(last ? "the last country" : "one left after it");
        HeadlessGame game;
        GameState& world = game.GetWorld();
        GameSession& session = game.Session();
        ApplyWorld(world, MakeTestWorld());
        BuildRulerTable(world);
        for (Country& c : world.countries)
            c.SetRuler(1);
        world.countries[1].SetRuler(2);
        world.countries[1].SetSoldiers(0);
        if (!last)
            world.countries[5].SetRuler(3);
        world.countries[0].SetSoldiers(200000);
        world.countries[0].SetTraining(Country::kMaxTraining);
        world.countries[0].SetProvisions(400000);
        world.countries[0].SetFunds(100000);
        world.turnCountry = 0;
        session.Resume();
        const CommandResult result = session.Apply(command::War{0, 1});
        ASSERT_TRUE(result.taken);
        EXPECT_EQ(session.Phase(), last ? TurnPhase::Won : TurnPhase::CommandGiven);
        EXPECT_EQ(session.Winner(), last ? 1 : 0);
    }
}

TEST(SaveCompanions, TheDifficultyGoesWithItsSaveOnly)
{
    // Kept beside a save and read back with it; a save written over by other means, or
    // a kept difficulty that is damaged or cannot be read, leaves the game at normal and
    // is said to be set aside.
    TempDir dir;
    const std::string path = dir.Path("game.txt");
    using After = void (*)(const std::string& path);
    const struct {
        const char* name;
        Difficulty saved;
        After after;
        Difficulty loaded;
        bool setAside;
    } cases[] = {
        {"kept", Difficulty::Hard, [](const std::string&) {}, Difficulty::Hard, false},
        {"easy kept", Difficulty::Easy, [](const std::string&) {}, Difficulty::Easy, false},
        {"normal leaves none", Difficulty::Normal, [](const std::string&) {}, Difficulty::Normal, false},
        {"save written over",
         Difficulty::Hard,
         [](const std::string& p) {
             GameState other;
             ApplyWorld(other, MakeTestWorld());
             other.year = 250;
             std::string error;
             ASSERT_TRUE(SaveCountryFile(other, p, -1, &error)) << error;
         },
         Difficulty::Normal, true},
        {"damaged", Difficulty::Hard, [](const std::string& p) { WriteFileBytes(DifficultyFileName(p), "hard\n1 2\n"); },
         Difficulty::Normal, true},
        {"binary", Difficulty::Hard,
         [](const std::string& p) { WriteFileBytes(DifficultyFileName(p), std::string("\0\xff\x81hard\0", 8)); },
         Difficulty::Normal, true},
        {"a FIFO", Difficulty::Hard,
         [](const std::string& p) {
             std::filesystem::remove(DifficultyFileName(p));
             ASSERT_EQ(::mkfifo(DifficultyFileName(p).c_str(), 0600), 0);
         },
         Difficulty::Normal, true},
        {"a folder", Difficulty::Hard,
         [](const std::string& p) {
             std::filesystem::remove(DifficultyFileName(p));
             std::filesystem::create_directory(DifficultyFileName(p));
         },
         Difficulty::Normal, true},
        {"3 GB", Difficulty::Hard,
         [](const std::string& p) { std::filesystem::resize_file(DifficultyFileName(p), 3ull << 30); },
         Difficulty::Normal, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        std::filesystem::remove_all(DifficultyFileName(path), ignored);
        HeadlessGame game;
        StartTestGame(game, 1000);
        game.GetWorld().difficulty = c.saved;
        std::string error;
        ASSERT_TRUE(game.Session().SaveGame(path, -1, &error)) << error;
        c.after(path);
        HeadlessGame loaded;
        loaded.GetWorld().difficulty = Difficulty::Easy == c.loaded ? Difficulty::Hard : Difficulty::Easy;
        ASSERT_EQ(loaded.Session().LoadGame(path).status, LoadStatus::Loaded);
        EXPECT_EQ(loaded.GetWorld().difficulty, c.loaded);
        EXPECT_EQ(loaded.Session().SetAside().empty(), !c.setAside) << loaded.Session().SetAside().Text();
    }
}
