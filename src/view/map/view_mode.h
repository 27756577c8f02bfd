// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's interaction state: which input it accepts, as the turn's description
// says (the stage, and the choice of a target being made).
#pragma once

#include <cstdint>

#include "conduct/turn_description.h"
#include "model/shared_int.h"

enum class ViewMode : std::int32_t {
    NoGame = 0,             // no game in play
    PlayerTurn = 1,         // a country of the player is to move
    ComputerTurns = 2,      // a turn worker runs
    ChooseMoveTarget = 3,   // the Move command waits for the destination
    ChooseAttackTarget = 4, // the War command waits for the target
    Victory = 5,            // the player holds every country
    GameOver = 6,           // the player holds no country
};

// The mode as the turn's description has it: the view keeps none of its own.
inline ViewMode ViewModeOf(const TurnDescription& turn)
{
    switch (turn.stage) {
    case TurnStage::NoGame:
        return ViewMode::NoGame;
    case TurnStage::Command:
    case TurnStage::Watching:
    case TurnStage::Replaying:
        return ViewMode::PlayerTurn;
    case TurnStage::Battle:
        return turn.acting != 0 ? ViewMode::PlayerTurn : ViewMode::ComputerTurns;
    case TurnStage::ChoosingMove:
        return ViewMode::ChooseMoveTarget;
    case TurnStage::ChoosingWar:
        return ViewMode::ChooseAttackTarget;
    case TurnStage::Won:
        return ViewMode::Victory;
    case TurnStage::Lost:
        return ViewMode::GameOver;
    case TurnStage::ComputerTurns:
    case TurnStage::HandingOver:
        break;
    }
    return ViewMode::ComputerTurns;
}

// What the map marks while the computer plays: the country in the status panel and the
// battle being fought. The windows' own, not the world's: a fork of the game has none.
// The battle is marked from the worker's thread (TurnHost::MarkBattle).
struct ViewMarks {
    SharedInt shownCountry{-1};   // country in the status panel, -1 = none
    SharedInt battleAttacker{-1}; // battle shown on the map, -1 = none
    SharedInt battleTarget{-1};

    void Reset()
    {
        shownCountry = -1;
        battleAttacker = -1;
        battleTarget = -1;
    }
};
