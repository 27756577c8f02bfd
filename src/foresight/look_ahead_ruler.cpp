// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/look_ahead_ruler.h"

#include <algorithm>
#include <atomic>

#include "foresight/silent_host.h"
#include "rules/battle_odds.h"
#include "session/game_session.h"

namespace foresight {

namespace {

// One trial of an order: the order on a copy of world, then the months of the horizon.
TrialEnd PlayTrial(const GameState& world, int country, const ComputerOrder& order, std::uint64_t seed,
                   const LookAheadOptions& options)
{
    static const std::atomic<bool> kNeverCancelled{false};
    const RulerId ruler = world.countries[static_cast<std::size_t>(country)].GetRuler();
    SilentHost host;
    GameSession session(host);
    session.world = world;
    SeedCopy(session.world, seed);
    LossWatch watch(ruler);
    session.events.Add(&watch);
    CarryOutComputerOrder(session.world, session.events, host, country, order);
    PlayOn(session, seed, options.horizon, options.policy, kNeverCancelled);
    return EndOf(session.world, ruler, watch);
}

// Whether a war is worth trying: its odds of taking the target reach kMasterLeastOdds.
bool WorthTrying(const GameState& world, int country, const ComputerOrder& order)
{
    if (order.kind != ComputerOrder::Kind::War)
        return true;
    const BattleKind kind =
        world.IsPlayer(world.countries[static_cast<std::size_t>(order.target)].GetRuler()) ? BattleKind::Player
                                                                                             : BattleKind::Computer;
    const auto seed = static_cast<std::uint32_t>(TrialSeed(world, -1 - order.target));
    return OddsOfBattle(world, country, order.target, kind, kPolicyOddsTrials, seed).TakenShare() >= kMasterLeastOdds;
}

} // namespace

std::int64_t WeighedOrder::ScoreTimesTrials(const LookAheadOptions& options) const
{
    return 100 * heldSum - std::int64_t{options.playerWeightPercent} * playerHeldSum -
           std::int64_t{options.riskPenaltyPercent} * lost;
}

std::vector<WeighedOrder> LookAheadRuler::Weigh(const GameState& world, int country) const
{
    std::vector<WeighedOrder> orders;
    for (const ComputerOrder& order : ComputerChoices(world, country))
        if (WorthTrying(world, country, order))
            orders.push_back(WeighedOrder{order});
    const int rollouts = std::max(1, m_options.rollouts);
    const int count = rollouts * static_cast<int>(orders.size());
    if (orders.size() < 2)
        return orders; // nothing to choose between
    std::vector<TrialEnd> ends(static_cast<std::size_t>(count));
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            ends[static_cast<std::size_t>(i)] = PlayTrial(world, country, orders[static_cast<std::size_t>(i / rollouts)].order,
                                                          TrialSeed(world, i % rollouts), m_options);
    };
    RunOnThreads(std::min(ThreadsFor(m_options.threads), count), work, m_options.startThread);
    for (int i = 0; i < count; ++i) {
        WeighedOrder& o = orders[static_cast<std::size_t>(i / rollouts)];
        const TrialEnd& end = ends[static_cast<std::size_t>(i)];
        ++o.trials;
        o.heldSum += end.held;
        o.playerHeldSum += end.playerHeld;
        o.lost += end.lost;
    }
    return orders;
}

ComputerOrder LookAheadRuler::Choose(const GameState& world, int country) const
{
    const std::vector<WeighedOrder> orders = Weigh(world, country);
    if (orders.empty())
        return ComputerOrder::Domestic(DomesticCommand::Train);
    // Every order has the same number of trials: the scores compare as they stand.
    const auto best = std::max_element(orders.begin(), orders.end(), [this](const WeighedOrder& a, const WeighedOrder& b) {
        return a.ScoreTimesTrials(m_options) < b.ScoreTimesTrials(m_options);
    });
    return best->order;
}

const ComputerPlanner& DefaultPlanner()
{
    static const LookAheadRuler ruler;
    return ruler;
}

} // namespace foresight
