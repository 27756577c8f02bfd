// SPDX-License-Identifier: GPL-3.0-or-later
// 自国一覧: a person's own countries as the windows and the page list them, each with
// the country whose turn it is marked and what it could do at its turn as things stand
// (each command's reason not to act, by the commands' own tests). It changes nothing
// of the game.
#pragma once

#include <array>
#include <vector>

#include "conduct/turn_description.h"
#include "model/game_state.h"
#include "platform/message.h"

struct OwnCountryRow {
    int country = -1;
    bool hasTurn = false; // the country whose turn it is
    bool spent = false;   // its command of the turn is given: nothing is left to do
    std::array<platform::Message, kTurnCommandCount> reasons; // why each would not act (empty: it would)
};

// Whose countries are listed: the person whose turn it is; between turns the one listed
// before (when several play, each in turn); else the world's player.
RulerId ListedPerson(const GameState& world, RulerId atTurn, RulerId before);

// The countries of person, by number, while a game is in play (none otherwise);
// atPlayersTurn: the turn is a person's, waiting for his command or past it.
std::vector<OwnCountryRow> OwnCountryRows(const GameState& world, RulerId person, const TurnDescription& turn,
                                          bool atPlayersTurn);
