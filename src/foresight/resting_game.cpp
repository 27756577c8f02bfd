// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/resting_game.h"

#include <algorithm>
#include <variant>

#include "rules/events.h"
#include "rules/turn.h"

namespace foresight {

namespace {

// A command chosen for the turn country, carried out through the session (a rest is the
// loop's own); the turn then goes on as after a rest.
void GiveChosenCommand(GameSession& session, const std::optional<PlayerCommand>& command, const PlayOnOptions& options)
{
    if (!command || std::holds_alternative<command::Rest>(*command))
        return;
    const CommandResult result = session.Apply(*command);
    if (options.commandDone && result.done)
        options.commandDone(result);
}

} // namespace

PlayOnOutcome PlayOn(GameSession& session, const PlayOnOptions& options)
{
    const GameState& world = session.world;
    session.SetComputerPlay(options.workerThread ? ComputerPlay::Joined : ComputerPlay::Here);
    // Months are counted as the calendar turns, not from the date: the year stops at
    // its largest figure, after which the date no longer moves.
    PlayOnOutcome outcome;
    std::int32_t lastMonth = world.month;
    for (bool first = true;; first = false) {
        // The computer rulers play up to the players' first turn (of a game just begun,
        // or after a rest of the turn it stands at), then after each of their rests up
        // to the next. A game the observer began anew (a save loaded) starts again
        // with the computer's turns.
        const bool standing = session.Phase() == TurnPhase::AwaitingCommand || session.Phase() == TurnPhase::CommandGiven;
        if (first && options.fromTurn && standing) {
            // His turn has come already: on to his seat.
        } else if (session.Phase() == TurnPhase::ComputerTurns) {
            session.StartComputerTurns();
        } else if (!(first && session.Ended()) && session.Apply(command::Rest{}).refusal != CommandRefusal::None) {
            break; // no game to play on
        }
        const std::int32_t month = world.month;
        outcome.monthsRun += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        if (options.atPlayerTurn && !options.atPlayerTurn())
            break;
        if (session.Ended() || outcome.monthsRun >= options.months)
            break;
        if (options.cancel && options.cancel->load(std::memory_order_relaxed))
            break;
        // The player's seat chooses his command, or the advisor its best; then the rest.
        const RulerId turn = session.TurnRuler();
        if (options.advised && turn == world.playerRuler)
            GiveChosenCommand(session, AdvisedCommandFor(world, options.advice), options);
        else if (options.seatCommand)
            GiveChosenCommand(session, options.seatCommand(world, turn, options.advice), options);
    }
    outcome.playerHolds = PlayerHasCountry(world);
    outcome.unified = session.Phase() == TurnPhase::Won && session.Winner() == world.playerRuler;
    const RulerId player = world.playerRuler;
    outcome.countriesHeld = static_cast<int>(std::count_if(
        world.countries.begin(), world.countries.end(), [player](const Country& c) { return c.GetRuler() == player; }));
    return outcome;
}

} // namespace foresight
