// SPDX-License-Identifier: GPL-3.0-or-later
// The main view's interaction state: which input the view accepts.
#pragma once

#include <cstdint>

enum class ViewMode : std::int32_t {
    NoGame = 0,             // no game in play
    PlayerTurn = 1,         // a country of the player is to move
    ComputerTurns = 2,      // a turn worker runs
    ChooseMoveTarget = 3,   // the Move command waits for the destination
    ChooseAttackTarget = 4, // the War command waits for the target
    Victory = 5,            // the player holds every country
    GameOver = 6,           // the player holds no country
};
