// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/policy.h"

#include <algorithm>
#include <array>

#include "rules/battle_odds.h"
#include "rules/commands.h"

namespace foresight {

namespace {

// The neighbour of interior country c one step nearer to the nearest country of its
// ruler that has a hostile neighbour (the lowest index among equals); -1 when none of
// his countries has one.
int StepToFront(const GameState& world, int c)
{
    const RulerId ruler = world.countries[static_cast<std::size_t>(c)].GetRuler();
    std::array<int, kCountryCount> distance;
    distance.fill(-1);
    std::array<int, kCountryCount> queue{};
    int head = 0, tail = 0;
    for (int i = 0; i < kCountryCount; ++i) {
        if (world.countries[static_cast<std::size_t>(i)].GetRuler() == ruler && !AttackTargets(world, i).empty()) {
            distance[static_cast<std::size_t>(i)] = 0;
            queue[static_cast<std::size_t>(tail++)] = i;
        }
    }
    while (head < tail) {
        const int at = queue[static_cast<std::size_t>(head++)];
        for (int n : MoveTargets(world, at)) {
            if (distance[static_cast<std::size_t>(n)] < 0) {
                distance[static_cast<std::size_t>(n)] = distance[static_cast<std::size_t>(at)] + 1;
                queue[static_cast<std::size_t>(tail++)] = n;
            }
        }
    }
    int best = -1;
    for (int n : MoveTargets(world, c))
        if (distance[static_cast<std::size_t>(n)] >= 0 &&
            (best < 0 || distance[static_cast<std::size_t>(n)] < distance[static_cast<std::size_t>(best)]))
            best = n;
    return best;
}

// The strongest army among these hostile neighbours; 0 when there are none.
std::int64_t Strongest(const GameState& world, const std::vector<int>& targets)
{
    std::int64_t strongest = 0;
    for (int t : targets)
        strongest = std::max(strongest, Strength(world.countries[static_cast<std::size_t>(t)]));
    return strongest;
}

// The strongest army among the hostile neighbours of country c; 0 when it has none.
std::int64_t Threat(const GameState& world, int c) { return Strongest(world, AttackTargets(world, c)); }

// The neighbour of c of its own ruler that stands weakest against its strongest hostile
// neighbour, when it is the weaker of the two; -1 when none is.
int WeakestFront(const GameState& world, int c)
{
    int weakest = -1;
    double lowest = 1.0; // its army over its threat's
    for (int n : MoveTargets(world, c)) {
        const std::int64_t threat = Threat(world, n);
        if (threat <= 0)
            continue;
        const double ratio =
            static_cast<double>(Strength(world.countries[static_cast<std::size_t>(n)])) / static_cast<double>(threat);
        if (ratio < lowest) {
            lowest = ratio;
            weakest = n;
        }
    }
    return weakest;
}

} // namespace

int CountriesOf(const GameState& world, RulerId ruler)
{
    return static_cast<int>(std::count_if(world.countries.begin(), world.countries.end(),
                                          [ruler](const Country& c) { return c.GetRuler() == ruler; }));
}

PlayerCommand PolicyCommand(const GameState& world, std::uint32_t seed, const PolicyThresholds& thresholds)
{
    const int c = world.turnCountry;
    if (!GameState::IsCountryIndex(c))
        return command::Rest{};
    const Country& me = world.countries[static_cast<std::size_t>(c)];
    const std::vector<int> targets = AttackTargets(world, c);
    if (targets.empty()) {
        if (!thresholds.moveToFront || me.GetSoldiers() < kMoveAtLeast)
            return command::Rest{};
        const int to = StepToFront(world, c);
        if (to < 0)
            return command::Rest{};
        return command::Move{c, to, me.GetSoldiers(), me.GetProvisions(), me.GetFunds() / 2};
    }
    // The strongest army beside the country: what it must still stand up to.
    const std::int64_t strongest = Strongest(world, targets);
    if (WarBlock(world, c) == CommandBlock::None) {
        int best = -1;
        double bestOdds = 0;
        for (int t : targets) {
            // A neighbour at least as strong is never a likely win: its odds are not asked.
            const Country& other = world.countries[static_cast<std::size_t>(t)];
            if (other.GetSoldiers() > 0 && Strength(other) >= Strength(me))
                continue;
            const BattleOdds odds = OddsOfBattle(world, c, t, BattleKind::Player, kPolicyOddsTrials, seed + t);
            if (thresholds.guard > 0) {
                std::int64_t others = 0;
                for (int n : targets)
                    if (n != t)
                        others = std::max(others, Strength(world.countries[static_cast<std::size_t>(n)]));
                const double home = odds.attackerKept / 2 * me.GetTraining();
                if (home < thresholds.guard * static_cast<double>(others))
                    continue;
            }
            if (odds.TakenShare() > bestOdds) {
                bestOdds = odds.TakenShare();
                best = t;
            }
        }
        if (best >= 0 && bestOdds >= thresholds.attackOdds)
            return command::War{c, best};
    }
    if (thresholds.reinforceAbove > 0 && me.GetSoldiers() >= kMoveAtLeast &&
        static_cast<double>(Strength(me)) > thresholds.reinforceAbove * static_cast<double>(strongest)) {
        const int to = WeakestFront(world, c);
        if (to >= 0)
            return command::Move{c, to, me.GetSoldiers() / 2, me.GetProvisions() / 2, 0};
    }
    if (me.CanPayAction() && static_cast<double>(Strength(me)) < thresholds.conscriptBelow * static_cast<double>(strongest))
        return command::Domestic{DomesticCommand::Conscript, c};
    if (me.CanTrain())
        return command::Domestic{DomesticCommand::Train, c};
    if (me.CanPayAction())
        return command::Domestic{me.GetCultivation() <= me.GetCommerce() ? DomesticCommand::DevelopLand
                                                                           : DomesticCommand::DevelopCommerce,
                                 c};
    return command::Rest{};
}

} // namespace foresight
