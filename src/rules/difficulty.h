// SPDX-License-Identifier: GPL-3.0-or-later
// How the computer rulers play at each difficulty (each at his own level,
// GameState::LevelOf). They never cheat: the same figures,
// no soldiers, provisions or funds of their own making, and nothing the player could
// not see himself (the odds of a battle are shown to him too). Only their choices
// differ:
//   easy    a computer country attacks a country of the player only with a clear
//           advantage: at least kEasyAttackOdds of taking it;
//   normal  the game as it has always been, draw for draw;
//   hard    a computer country weighs war twice as often, and goes for the hostile
//           neighbour it is likeliest to take (the player's countries first when the
//           odds are close), whenever those odds reach kHardAttackOdds;
//   master  a computer country chooses its order by looking ahead: each order it may
//           give tried on copies of the world, played on for some months, and weighed
//           as the ruler wants (foresight/look_ahead_ruler.h), through the planner the
//           front end hands to the turn's host (rules/computer.h). Where nobody looks
//           ahead for it (in a look-ahead's own copies) it plays as normal: quick, and
//           the game as it has always been.
// The odds are reckoned on copies with a generator of their own, seeded from the
// state of the world's, which is read and never drawn from: the same clock still
// gives the same game.
#pragma once

#include <string_view>

#include "model/game_state.h"

inline constexpr double kEasyAttackOdds = 0.95;
inline constexpr double kHardAttackOdds = 0.25;
// Trials for each odds a computer ruler reckons.
inline constexpr int kComputerOddsTrials = 600;

// Whether a computer country whose turn drew draw (0..9) weighs war.
bool WeighsWar(Difficulty difficulty, int draw);

// Hard: the hostile neighbour of country that it is likeliest to take (a player's
// first when the odds are close), when those odds reach kHardAttackOdds; -1 otherwise.
int LikeliestConquest(const GameState& world, int country);

// Easy: whether country may attack target, a country of a player.
bool ClearAdvantage(const GameState& world, int country, int target);

// "easy", "normal", "hard", "master"; false when name is none of them.
bool ParseDifficulty(std::string_view name, Difficulty& difficulty);
std::string_view DifficultyName(Difficulty difficulty);
