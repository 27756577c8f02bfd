// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/battle_odds.h"

#include "rules/battle.h"

BattleOdds OddsOfBattle(const GameState& world, int attacker, int target, BattleKind kind, int trials,
                        std::uint32_t seed)
{
    BattleOdds odds;
    if (!GameState::IsCountryIndex(attacker) || !GameState::IsCountryIndex(target) || trials <= 0)
        return odds;
    const Country& a = world.countries[attacker];
    const Country& t = world.countries[target];
    const std::int32_t aTraining = a.GetTraining();
    const std::int32_t tTraining = t.GetTraining();
    const bool computer = kind == BattleKind::Computer;
    const int exchanges = computer ? kComputerBattleExchanges : BattleScript::kBattleExchanges;
    platform::Random rng(seed);
    double aSum = 0;
    double tSum = 0;
    odds.trials = trials;
    for (int i = 0; i < trials; ++i) {
        std::int32_t aSoldiers = a.GetSoldiers();
        std::int32_t tSoldiers = t.GetSoldiers();
        bool fallen = computer ? t.GetRuler() == 0 : (aSoldiers <= 0 || tSoldiers <= 0);
        for (int e = 0; e < exchanges && !fallen; ++e) {
            FightExchange(aSoldiers, aTraining, tSoldiers, tTraining, rng);
            fallen = aSoldiers == 0 || tSoldiers == 0;
        }
        // A computer's battle against a country without a ruler is no fight at all.
        if (computer && t.GetRuler() == 0)
            tSoldiers = 0;
        if (tSoldiers <= 0)
            ++odds.taken;
        else if (aSoldiers <= 0)
            ++odds.wipedOut;
        else
            ++odds.beatenOff;
        aSum += aSoldiers;
        tSum += tSoldiers;
    }
    odds.attackerKept = aSum / trials;
    odds.targetKept = tSum / trials;
    return odds;
}
