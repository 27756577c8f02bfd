// SPDX-License-Identifier: GPL-3.0-or-later
// A game played on with nobody at the players' side: at each turn of a player his seat
// chooses his command (the caller's seats: a person rests, the advisor gives its best
// command), and the advisor gives its best for the player ruler when advised. The
// headless game, the many-games runner and the fairness table all play their games
// through this one loop.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

#include "foresight/advisor.h"
#include "session/game_session.h"

namespace foresight {

// The command of the seat of ruler at his turn, chosen on the world as it stands (the
// advisor's with the loop's advice options); none (or a rest) when he rests.
using SeatCommand =
    std::function<std::optional<PlayerCommand>(const GameState& world, RulerId ruler, const AdviceOptions& advice)>;

struct PlayOnOptions {
    std::int64_t months = 0; // stop at the player's first turn after this many months
    bool advised = false;    // the advisor's best command at each turn of the player ruler
    AdviceOptions advice;
    // Each player's command but the advised player ruler's (none: every player rests).
    SeatCommand seatCommand;
    // Each stretch of computer turns on the session's worker thread, started and
    // joined: the same draws as on the calling thread.
    bool workerThread = false;
    // Called each time the computer rulers have played up to the player's turn or to
    // the end of the game, before the loop looks whether to go on; no worker runs then.
    // Returning false ends the game there. Between two calls at most one month passes.
    std::function<bool()> atPlayerTurn;
    // Each advised command the session carried out, with its result.
    std::function<void(const CommandResult&)> commandDone;
    // The game goes on from a player's turn it stands at (a record played through to
    // it): his seat is asked for his command before the rest, as at any other turn.
    bool fromTurn = false;
    // Set from another thread: the game stops at the player's next turn.
    const std::atomic<bool>* cancel = nullptr;
};

// How the game ended.
struct PlayOnOutcome {
    std::int64_t monthsRun = 0; // months the calendar turned before the run ended
    bool playerHolds = false;   // the player still holds a country
    bool unified = false;       // he holds every country
    int countriesHeld = 0;      // countries of the player at the end
};

// Plays the session's game, begun (GameSession::BeginGame), until the options' months
// have passed, the game has ended or the observer ends it. Each stretch of computer
// turns seeds the world's generator from its clock as the turn worker does. The
// session's computer's turns are played here (or joined, workerThread).
PlayOnOutcome PlayOn(GameSession& session, const PlayOnOptions& options);

} // namespace foresight
