// SPDX-License-Identifier: GPL-3.0-or-later
// The odds of a battle before it is fought: the battle's own exchanges played many
// times on copies of the two armies, with a generator of their own, so that asking
// never moves a draw of the game.
#pragma once

#include <cstdint>

#include "model/game_state.h"

struct BattleOdds {
    int trials = 0;
    int taken = 0;     // the target fell
    int beatenOff = 0; // both sides still stand: the attacker withdraws
    int wipedOut = 0;  // the attacker fell and the target did not
    double attackerKept = 0; // soldiers each side is expected to keep
    double targetKept = 0;

    double TakenShare() const { return trials ? static_cast<double>(taken) / trials : 0.0; }
    double BeatenOffShare() const { return trials ? static_cast<double>(beatenOff) / trials : 0.0; }
    double WipedOutShare() const { return trials ? static_cast<double>(wipedOut) / trials : 0.0; }
};

// Who fights the battle: the player's battle has the battle window's exchanges, the
// computer's fewer, and a computer takes a country without a ruler at once.
enum class BattleKind : std::uint8_t { Player, Computer };

inline constexpr int kOddsTrials = 4000;

// The odds of attacker's army attacking target as the world stands. The same world
// and seed give the same odds.
BattleOdds OddsOfBattle(const GameState& world, int attacker, int target, BattleKind kind,
                        int trials = kOddsTrials, std::uint32_t seed = 1);
