// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/resting_game.h"

#include <algorithm>
#include <variant>

#include "rules/events.h"
#include "rules/turn.h"

namespace foresight {

namespace {

// The advisor's best command for the turn country, carried out through the session; the
// turn then goes on as after a rest.
void GiveAdvisedCommand(GameSession& session, const PlayOnOptions& options)
{
    session.mode = ViewMode::PlayerTurn;
    session.BeginPlayerTurn();
    const std::vector<AdvisedCommand> ranking = Advisor(session.world, options.advice).Run();
    if (ranking.empty() || std::holds_alternative<command::Rest>(ranking.front().command))
        return;
    const CommandResult result = session.Apply(ranking.front().command);
    if (options.commandDone && result.done)
        options.commandDone(result);
}

} // namespace

bool GameEnded(const GameState& world) { return !PlayerHasCountry(world) || IsUnified(world); }

PlayOnOutcome PlayOn(GameSession& session, const PlayOnOptions& options)
{
    const GameState& world = session.world;
    // Months are counted as the calendar turns, not from the date: the year stops at
    // its largest figure, after which the date no longer moves.
    PlayOnOutcome outcome;
    std::int32_t lastMonth = world.month;
    for (bool first = true;; first = false) {
        // The computer rulers play up to the player's first turn, then after each of his
        // rests up to his next.
        if (!first) {
            session.RestHere(options.workerThread);
        } else if (options.workerThread) {
            session.StartComputerTurns();
            session.Worker().Join();
        } else {
            session.PlayComputerTurns();
        }
        const std::int32_t month = world.month;
        outcome.monthsRun += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        if (options.atPlayerTurn && !options.atPlayerTurn())
            break;
        if (GameEnded(world) || outcome.monthsRun >= options.months)
            break;
        if (options.cancel && options.cancel->load(std::memory_order_relaxed))
            break;
        if (options.advised)
            GiveAdvisedCommand(session, options);
    }
    outcome.playerHolds = PlayerHasCountry(world);
    outcome.unified = outcome.playerHolds && IsUnified(world);
    if (outcome.unified)
        ReportVictory(world, session.events);
    const RulerId player = world.playerRuler;
    outcome.countriesHeld = static_cast<int>(std::count_if(
        world.countries.begin(), world.countries.end(), [player](const Country& c) { return c.GetRuler() == player; }));
    return outcome;
}

} // namespace foresight
