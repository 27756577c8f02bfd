// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/headless_game.h"

#include <ostream>
#include <string>

#include "model/country_file.h"
#include "model/scenario_file.h"
#include "rules/difficulty.h"
#include "rules/turn.h"
#include "session/save_companions.h"

namespace {

// "--seat 2=rest", as it was given.
std::string SeatOptionText(const HeadlessOptions::SeatChoice& choice) { return "--seat " + choice.given; }

std::string RulerText(RulerId ruler)
{
    return std::to_string(ruler) + " (" + std::string(kRulerNames[static_cast<std::size_t>(ruler)]) + ")";
}

bool SetUpNewGame(GameSession& session, const HeadlessOptions& options, std::vector<RulerId>& offered, std::ostream& err)
{
    const std::string scenarioPath = ScenarioFilePath(options.dataDir, options.scenario);
    const ScenarioList list = ReadScenarioFile(scenarioPath);
    if (list.status != ScenarioStatus::Read) {
        err << "velcor: " << list.words.Text() << '\n';
        return false;
    }
    const RulerId ruler = options.allRulers && !list.rulers.empty() ? list.rulers.front() : options.ruler;
    if (const std::string refusal = RulerNotOffered(scenarioPath, list, ruler); !refusal.empty()) {
        err << "velcor: " << refusal << '\n';
        return false;
    }
    // Another player is a ruler the scenario offers, as the player is.
    for (const HeadlessOptions::SeatChoice& choice : options.seats) {
        if (!choice.seat.Plays())
            continue;
        if (const std::string refusal = RulerNotOffered(scenarioPath, list, choice.ruler); !refusal.empty()) {
            err << "velcor: " << SeatOptionText(choice) << ": " << refusal << '\n';
            return false;
        }
    }
    const std::string countryPath = CountryFilePath(options.dataDir, options.scenario);
    const LoadOutcome loaded = session.ReadWorld(countryPath, CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        err << "velcor: " << loaded.words.Text() << '\n'; // the message names the file
        return false;
    }
    SeatPlayer(session.world, ruler);
    offered = list.rulers;
    return true;
}

bool SetUpLoadedGame(GameSession& session, const HeadlessOptions& options, std::vector<RulerId>& offered, std::ostream& err)
{
    const LoadOutcome loaded = session.ReadWorld(options.loadFile, CountryFileUse::SavedGame);
    if (loaded.status != LoadStatus::Loaded) {
        err << "velcor: " << loaded.words.Text() << '\n';
        return false;
    }
    // The game loads all the same, without what was set aside (at normal, or as the
    // save's one player).
    for (const GameSession::SetAsideFile& file : session.SetAsideFiles())
        err << "velcor: " << file.path << ": " << file.words.Text() << '\n';
    // Another player is a ruler in the game: one holding a country.
    for (const HeadlessOptions::SeatChoice& choice : options.seats) {
        if (choice.seat.Plays() && !HoldsACountry(session.world, choice.ruler)) {
            err << "velcor: " << SeatOptionText(choice) << ": ruler " << RulerText(choice.ruler)
                << " holds no country in " << options.loadFile << '\n';
            return false;
        }
    }
    offered = {session.world.playerRuler};
    return true;
}

} // namespace

bool SetUpHeadlessGame(GameSession& session, const HeadlessOptions& options, std::vector<RulerId>& offered,
                       std::ostream& err, const std::function<bool(GameState&)>& seated)
{
    const bool loaded = !options.loadFile.empty();
    if (!(loaded ? SetUpLoadedGame(session, options, offered, err) : SetUpNewGame(session, options, offered, err)))
        return false;
    GameState& world = session.world;
    for (const HeadlessOptions::SeatChoice& choice : options.seats) {
        // A level is for a computer ruler: the player's own ruler is his in a single game
        // (each ruler of --ruler all is a computer in the others' games; nobody's in a
        // watched game).
        if (!choice.seat.Plays() && choice.ruler == world.playerRuler &&
            world.IsPlayer(choice.ruler) && !options.allRulers) {
            err << "velcor: " << SeatOptionText(choice) << ": ruler " << RulerText(choice.ruler)
                << " is the player's own; a level is for a computer ruler\n";
            return false;
        }
        // A player's seat as given; the player ruler keeps his own when given a level.
        Seat& seat = world.seats[static_cast<std::size_t>(choice.ruler)];
        if (choice.seat.Plays() || choice.ruler != world.playerRuler)
            seat.kind = choice.seat.kind;
        if (choice.seat.level)
            seat.level = choice.seat.level;
    }
    // The game begins at the difficulty it is played at: its record's start says so.
    if (options.difficulty)
        world.difficulty = *options.difficulty;
    if (seated && !seated(world))
        return false;
    session.BeginGame(loaded);
    return true;
}

Seats SeatsOf(const HeadlessOptions& options)
{
    Seats seats{};
    for (const HeadlessOptions::SeatChoice& choice : options.seats)
        seats[static_cast<std::size_t>(choice.ruler)] = choice.seat;
    return seats;
}

foresight::AdviceOptions AdviceOptionsOf(const HeadlessOptions& options)
{
    foresight::AdviceOptions advice;
    if (options.rollouts > 0)
        advice.rollouts = options.rollouts;
    if (options.horizon > 0)
        advice.horizon = options.horizon;
    advice.threads = options.adviceThreads;
    return advice;
}
