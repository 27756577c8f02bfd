// SPDX-License-Identifier: GPL-3.0-or-later
// The player's commands as values: what the windows (or a script, a test, a replay) ask
// of a game session, and what came of it.
#pragma once

#include <cstdint>
#include <variant>

#include "model/game_state.h"
#include "platform/message.h"
#include "rules/domestic_command.h"

namespace command {

// 開墾, 商業, 徴兵 or 訓練 in the country whose turn it is.
struct Domestic {
    DomesticCommand what = DomesticCommand::DevelopLand;
    int country = -1;
};

// 移動: soldiers, provisions and funds from one country of the player to a neighbour
// of his.
struct Move {
    int from = -1;
    int to = -1;
    std::int32_t soldiers = 0;
    std::int32_t provisions = 0;
    std::int32_t funds = 0;
};

// 戦争: an attack on a neighbour of another ruler.
struct War {
    int from = -1;
    int target = -1;
};

// 休養: the turn passes to the computer rulers.
struct Rest {};

} // namespace command

using PlayerCommand = std::variant<command::Domestic, command::Move, command::War, command::Rest>;

// A ruler's seat changing hands during a game: a person's ruler handed to the computer
// at a level or to the advisor, and taken back.
struct SeatChange {
    RulerId ruler = 0;
    Seat seat;

    bool operator==(const SeatChange&) const = default;
};

// Why a command was not carried out.
enum class CommandRefusal {
    None,
    NotNow,        // no game, the computer is playing, the game has ended, or the turn's command was given
    NotTurnCountry, // the command names a country whose turn it is not
    Funds,         // fewer funds than the command needs
    Provisions,    // war: fewer provisions than soldiers
    TrainingFull,  // training is already at its top
    NotNeighbour,  // the destination or target is not a neighbour it may go to
    Amounts,       // a move of more than the country holds, or of less than nothing
    NotYourTurn,   // the command comes from a seat whose turn it is not (the conductor's)
};

struct CommandResult {
    bool done = false; // the world changed (a war fought counts, won or lost)
    CommandRefusal refusal = CommandRefusal::None;
    platform::Message words; // the report or the refusal, in the status line's words
    bool taken = false;      // war: the target fell
    bool abandoned = false;  // war: the battle was broken off because the program is ending
};
