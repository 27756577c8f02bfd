// SPDX-License-Identifier: GPL-3.0-or-later
// Names of rulers for the texts the player sees.
#pragma once

#include <string>

#include "model/game_state.h"

// The name of a ruler from GameState::rulers; empty for an id outside the table.
inline std::string RulerNameUtf8(RulerId ruler)
{
    if (ruler < 0 || ruler >= kRulerCount)
        return {};
    return GameState::rulers[ruler].GetName();
}
