// SPDX-License-Identifier: GPL-3.0-or-later
// The pace of the self-timed windows: the message windows' and the battle window's
// times divided by the speed's step (標準 1, 速い 2, 最速 10). Only the waiting changes:
// the battle window steps through the same script and draws the same numbers.
#pragma once

#include "platform/settings.h"

using platform::settings::GameSpeed;

// The divisor of a speed.
int SpeedDivisor(GameSpeed speed);

// A window's time at a speed, never below 1 ms.
int PacedMilliseconds(int milliseconds, GameSpeed speed);
