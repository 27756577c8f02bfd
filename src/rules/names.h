// SPDX-License-Identifier: GPL-3.0-or-later
// Names of rulers for the texts the player sees.
#pragma once

#include <string>

#include "model/game_state.h"
#include "platform/message.h"

// The name of a ruler from the world's ruler table; empty for an id outside it.
inline std::string RulerNameUtf8(const GameState& world, RulerId ruler)
{
    if (ruler < 0 || ruler >= kRulerCount)
        return {};
    return world.rulers[ruler].GetName();
}

// The same names as words for the player, which the windows name by id.
inline platform::Message CountryWords(const GameState& world, int country)
{
    return platform::Message::CountryName(country, CountryNameUtf8(world, country));
}
inline platform::Message RulerWords(const GameState& world, RulerId ruler)
{
    return platform::Message::RulerName(ruler, RulerNameUtf8(world, ruler));
}
