// SPDX-License-Identifier: GPL-3.0-or-later
// The look-ahead in the windows' words: the odds of a war on a target, and a command the
// advisor ranks, as the status line, the map's tooltip and the advice window show them.
#pragma once

#include <QString>

#include <cstddef>
#include <vector>

#include "foresight/advisor.h"
#include "model/game_state.h"
#include "platform/message.h"
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

// The advice in whole sentences, as the advice window and the advised button say it.
// Why ranking[index] ranks where it does: the countries held on average over the months
// looked ahead and the trials that end with as many as now; the trials that lost a
// country and whose attack took it most often (under 1 % said so, not as 0 %); and,
// when its score ties with a neighbour's in the ranking, that the army at the end decided
// and how large it was. Empty before its first trial.
QString AdviceReason(const GameState& world, const std::vector<foresight::AdvisedCommand>& ranking,
                     std::size_t index, int horizon);
// A command's score as the list shows it: in countries, to two places.
QString ScoreText(const foresight::AdvisedCommand& advised);
// How the score reads: the months looked ahead, the countries held now (what a score is
// measured against) and what a trial that loses a country costs.
QString ScoreScale(int horizon, int countriesNow, double riskPenalty);
// Why no war is among the commands advised: the war's reason (why), worded as its
// button's tooltip words it. Empty when a war may be given.
QString NoWarReason(const platform::Message& why);

} // namespace foresight_words
