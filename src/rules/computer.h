// SPDX-License-Identifier: GPL-3.0-or-later
// A computer country's turn as orders: what a computer ruler may do at its turn, carried
// out as every computer turn is, and who chooses for a ruler whose level looks ahead.
#pragma once

#include <cstdint>
#include <vector>

#include "model/game_state.h"
#include "rules/domestic_command.h"
#include "rules/events.h"

class TurnHost;

// One computer country's act at its turn: a domestic command, or a war on a neighbour.
struct ComputerOrder {
    enum class Kind : std::uint8_t { Domestic, War };
    Kind kind = Kind::Domestic;
    DomesticCommand what = DomesticCommand::Train; // Domestic
    int target = -1;                               // War: the hostile neighbour attacked

    static ComputerOrder Domestic(DomesticCommand command) { return {Kind::Domestic, command, -1}; }
    static ComputerOrder War(int target) { return {Kind::War, DomesticCommand::Train, target}; }
    bool operator==(const ComputerOrder&) const = default;
};

// The orders computer country chooses among at its turn when it has a choice: 開墾,
// 商業 and 徴兵 (it has the funds), 訓練 below the top, and a war on each hostile
// neighbour while its provisions cover its soldiers. Empty when the rules choose for
// it: a country whose army is under the minimum conscripts, one without the funds for
// a paid action does nothing.
std::vector<ComputerOrder> ComputerChoices(const GameState& world, int country);

// Carries out an order of computer country: a domestic command drawing from the
// world's generator; a war fought as every computer war is (at once against a computer
// or a country without a ruler, through the host's battle window against a player).
void CarryOutComputerOrder(GameState& world, EventSink& events, TurnHost& host, int country,
                           const ComputerOrder& order);

// One computer country's turn: the rules' choice, or the planner's for a ruler whose
// level looks ahead (TurnHost::planner).
void RunComputerTurn(GameState& world, EventSink& events, TurnHost& host, int country);

// Chooses the order of a computer ruler whose level looks ahead (達人). The floor above
// the rules that thinks ahead implements it; the front ends hand theirs to the host.
// Choose is called on the turn worker's thread with the world as it stands, which it
// must leave as it is (its look-ahead plays copies with draws of their own), and
// returns one of ComputerChoices.
class ComputerPlanner {
public:
    virtual ComputerOrder Choose(const GameState& world, int country) const = 0;

protected:
    ~ComputerPlanner() = default;
};
