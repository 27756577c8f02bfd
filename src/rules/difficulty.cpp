// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/difficulty.h"

#include <array>

#include "rules/battle_odds.h"

namespace {

// The players' battles have the battle window's exchanges; the others the computer's.
BattleOdds Odds(const GameState& world, int attacker, int target)
{
    const BattleKind kind = world.IsPlayer(world.countries[target].GetRuler()) ? BattleKind::Player : BattleKind::Computer;
    return OddsOfBattle(world, attacker, target, kind, kComputerOddsTrials, world.random.State());
}

// A country of a player is preferred over one whose odds are this much better.
constexpr double kPlayerPreference = 0.1;

constexpr std::array<std::string_view, kDifficultyLevels> kNames = {"easy", "normal", "hard", "master"};

} // namespace

bool WeighsWar(Difficulty difficulty, int draw)
{
    return draw == 0 || (difficulty == Difficulty::Hard && draw == 1);
}

int LikeliestConquest(const GameState& world, int country)
{
    if (!GameState::IsCountryIndex(country))
        return -1;
    const Country& c = world.countries[country];
    int best = -1;
    double bestScore = kHardAttackOdds;
    for (std::uint32_t n : c.GetNeighbours()) {
        if (n >= static_cast<std::uint32_t>(kCountryCount) || !c.IsHostileNeighbour(world.countries[n]))
            continue;
        const int target = static_cast<int>(n);
        const double odds = Odds(world, country, target).TakenShare();
        if (odds < kHardAttackOdds)
            continue;
        const bool player = world.IsPlayer(world.countries[target].GetRuler());
        const double score = odds + (player ? kPlayerPreference : 0.0);
        if (best < 0 || score > bestScore) {
            best = target;
            bestScore = score;
        }
    }
    return best;
}

bool ClearAdvantage(const GameState& world, int country, int target)
{
    if (!GameState::IsCountryIndex(country) || !GameState::IsCountryIndex(target))
        return false;
    return Odds(world, country, target).TakenShare() >= kEasyAttackOdds;
}

bool ParseDifficulty(std::string_view name, Difficulty& difficulty)
{
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (name == kNames[i]) {
            difficulty = static_cast<Difficulty>(i);
            return true;
        }
    }
    return false;
}

std::string_view DifficultyName(Difficulty difficulty)
{
    const auto i = static_cast<std::size_t>(difficulty);
    return i < kNames.size() ? kNames[i] : kNames[1];
}
