// SPDX-License-Identifier: GPL-3.0-or-later
// 先月の戦い on the map: the battles heard since the player's last turn
// (rules/battle_arrows.h) as arrows from the attacking country to its target: red where
// the target fell, blue where the attack failed; with the rulers' patterns on, a failed
// attack is also dashed with an open head, a taken country solid with a closed one.
#pragma once

#include <vector>

#include "rules/battle_arrows.h"

class MapPicture;
class QPainter;

// Draws arrows on the map in its own pixels, beneath the countries' numbers; shapes
// tells failed attacks by their lines and heads as well as by their colour.
void DrawBattleArrows(QPainter& painter, const MapPicture& map, const std::vector<BattleArrow>& arrows, bool shapes);
