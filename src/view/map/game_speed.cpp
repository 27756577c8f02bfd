// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/game_speed.h"

#include <algorithm>

int SpeedDivisor(GameSpeed speed)
{
    switch (speed) {
    case GameSpeed::Fast:
        return 2;
    case GameSpeed::Fastest:
        return 10;
    case GameSpeed::Normal:
        break;
    }
    return 1;
}

int PacedMilliseconds(int milliseconds, GameSpeed speed) { return std::max(1, milliseconds / SpeedDivisor(speed)); }
