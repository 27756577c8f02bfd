// SPDX-License-Identifier: GPL-3.0-or-later
// Names of rulers for the texts the player sees.
#pragma once

#include <string>

#include "model/world.h"

// The name of a ruler from the world's ruler table; empty for an id outside it.
inline std::string RulerNameUtf8(const World& world, RulerId ruler)
{
    if (ruler < 0 || ruler >= kRulerCount)
        return {};
    return world.rulers[ruler].GetName();
}
