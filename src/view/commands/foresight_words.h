// SPDX-License-Identifier: GPL-3.0-or-later
// The look-ahead in the windows' words: the odds of a war on a target, and a command the
// advisor ranks, as the status line, the map's tooltip and the advice window show them.
#pragma once

#include <QString>

#include "model/game_state.h"
#include "rules/battle_odds.h"
#include "session/player_command.h"

struct CommandEntry;

namespace foresight_words {

// The odds of the player's war from attacker on target as the world stands (the
// battle's exchanges played on copies, with a generator of their own).
BattleOdds WarOdds(const GameState& world, int attacker, int target);

// "占領 85%  退却 10%  全滅 5%  残る兵士 味方 4000 敵 0": a line of its own under the
// buttons while the target is chosen, each figure's side named.
QString OddsLine(const BattleOdds& odds);
// "3 徐州 へ攻撃 (Enter)": the status line for the target chosen.
QString WarChoiceLine(const GameState& world, int target);
// The same over lines, for the map's tooltip.
QString OddsTip(const BattleOdds& odds);

// The command's button in the command table.
const CommandEntry* EntryOf(const PlayerCommand& command);
// "戦争 5 荊州", "移動 3 徐州 (兵士 5000 兵糧 2000 資金 1000)", "開墾".
QString CommandText(const GameState& world, const PlayerCommand& command);

} // namespace foresight_words
