// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/advisor.h"

#include <algorithm>

#include "foresight/silent_host.h"
#include "rules/battle_odds.h"
#include "rules/commands.h"
#include "rules/turn.h"
#include "session/game_session.h"

namespace foresight {

namespace {

// Trials of a battle the policy asks before it attacks: enough to tell a sure win.
constexpr int kPolicyOddsTrials = 64;

std::uint64_t Mix(std::uint64_t x)
{
    // splitmix64's finaliser: nearby inputs give unrelated outputs.
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The seed of trial index of a world: from the world's generator states and date,
// read and never drawn, so that the same world gives the same trials.
std::uint64_t TrialSeed(const GameState& world, int index)
{
    std::uint64_t base = Mix(world.random.State());
    base = Mix(base ^ world.commandRandom.State());
    base = Mix(base ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(world.year.Get())) << 8) ^
               static_cast<std::uint64_t>(world.month.Get() * kCountryCount + world.turnCountry));
    return Mix(base + static_cast<std::uint64_t>(index));
}

std::int64_t Strength(const Country& c) { return static_cast<std::int64_t>(c.GetTraining()) * c.GetSoldiers(); }

int CountriesOf(const GameState& world, RulerId ruler)
{
    return static_cast<int>(std::count_if(world.countries.begin(), world.countries.end(),
                                          [ruler](const Country& c) { return c.GetRuler() == ruler; }));
}

// Whether a war from c on target, taken with odds, would leave either half of the army
// (a taken country keeps half of the survivors) weaker than the strongest army left
// beside the country: such a war only spreads the army thin.
bool SpreadsThin(const GameState& world, int c, int target, const BattleOdds& odds)
{
    std::int64_t others = 0;
    for (int n : AttackTargets(world, c))
        if (n != target)
            others = std::max(others, Strength(world.countries[static_cast<std::size_t>(n)]));
    return static_cast<std::int64_t>(odds.attackerKept / 2) * world.countries[static_cast<std::size_t>(c)].GetTraining() <
           others;
}

bool Ended(const GameState& world) { return !PlayerHasCountry(world) || IsUnified(world); }

// One trial: the command on a copy of world, then the months of the horizon with the
// rollout policy at the player's later turns. The countries he rules at the end, or
// -1 when cancelled.
int PlayTrial(const GameState& world, const PlayerCommand& first, std::uint64_t seed, int horizon,
              const std::atomic<bool>& cancel)
{
    SilentHost host;
    GameSession session(host);
    session.world = world;
    GameState& copy = session.world;
    copy.clock.FixFrom(static_cast<std::int64_t>(seed >> 33));
    copy.random.Seed(static_cast<std::uint32_t>(seed));
    copy.commandRandom.Seed(static_cast<std::uint32_t>(seed >> 32));
    session.Resume();
    if (!std::holds_alternative<command::Rest>(first))
        session.Apply(first);
    int months = 0;
    std::int32_t lastMonth = copy.month;
    for (std::uint32_t step = 1; !Ended(copy); ++step) {
        if (cancel.load(std::memory_order_relaxed))
            return -1;
        session.Apply(command::Rest{});
        const std::int32_t month = copy.month;
        months += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        if (Ended(copy) || months >= horizon)
            break;
        const PlayerCommand next = PolicyCommand(copy, static_cast<std::uint32_t>(Mix(seed + step)));
        if (!std::holds_alternative<command::Rest>(next))
            session.Apply(next);
    }
    return CountriesOf(copy, copy.playerRuler);
}

} // namespace

bool RanksBefore(const AdvisedCommand& a, const AdvisedCommand& b)
{
    if (a.spreadsThin != b.spreadsThin)
        return b.spreadsThin;
    // Compared as whole-number cross products, so that equal shares tie exactly.
    const std::int64_t at = std::max(a.trials, 1), bt = std::max(b.trials, 1);
    if (std::int64_t{a.keptOrMore} * bt != std::int64_t{b.keptOrMore} * at)
        return std::int64_t{a.keptOrMore} * bt > std::int64_t{b.keptOrMore} * at;
    if (a.heldSum * bt != b.heldSum * at)
        return a.heldSum * bt > b.heldSum * at;
    return std::int64_t{a.survived} * bt > std::int64_t{b.survived} * at;
}

std::vector<PlayerCommand> CandidateCommands(const GameState& world)
{
    SilentHost host;
    GameSession session(host);
    session.world = world;
    session.Resume();
    const int c = world.turnCountry;
    std::vector<PlayerCommand> all;
    if (session.Phase() != TurnPhase::AwaitingCommand)
        return all;
    const Country& from = world.countries[static_cast<std::size_t>(c)];
    for (int to : MoveTargets(world, c)) {
        const std::int32_t s = from.GetSoldiers(), p = from.GetProvisions(), f = from.GetFunds();
        all.push_back(command::Move{c, to, s / 2, p / 2, f / 2});
        if (s > 0)
            all.push_back(command::Move{c, to, s, p, f});
    }
    for (int target : AttackTargets(world, c))
        all.push_back(command::War{c, target});
    for (const DomesticCommandNames& domestic : kDomesticCommands)
        all.push_back(command::Domestic{domestic.command, c});
    all.push_back(command::Rest{});
    std::vector<PlayerCommand> allowed;
    for (const PlayerCommand& command : all)
        if (session.Check(command).refusal == CommandRefusal::None)
            allowed.push_back(command);
    return allowed;
}

PlayerCommand PolicyCommand(const GameState& world, std::uint32_t seed)
{
    const int c = world.turnCountry;
    if (!GameState::IsCountryIndex(c))
        return command::Rest{};
    const Country& me = world.countries[static_cast<std::size_t>(c)];
    const std::vector<int> targets = AttackTargets(world, c);
    // The strongest army beside the country: what it must still stand up to.
    std::int64_t strongest = 0;
    for (int t : targets)
        strongest = std::max(strongest, Strength(world.countries[static_cast<std::size_t>(t)]));
    if (WarBlock(world, c) == CommandBlock::None) {
        int best = -1;
        double bestOdds = 0;
        for (int t : targets) {
            // A neighbour at least as strong is never a likely win: its odds are not asked.
            const Country& other = world.countries[static_cast<std::size_t>(t)];
            if (other.GetSoldiers() > 0 && Strength(other) >= Strength(me))
                continue;
            const BattleOdds odds = OddsOfBattle(world, c, t, BattleKind::Player, kPolicyOddsTrials, seed + t);
            if (SpreadsThin(world, c, t, odds))
                continue;
            if (odds.TakenShare() > bestOdds) {
                bestOdds = odds.TakenShare();
                best = t;
            }
        }
        if (best >= 0 && bestOdds >= kPolicyAttackOdds)
            return command::War{c, best};
    }
    if (me.CanPayAction() && Strength(me) <= strongest)
        return command::Domestic{DomesticCommand::Conscript, c};
    if (me.CanTrain())
        return command::Domestic{DomesticCommand::Train, c};
    if (me.CanPayAction())
        return command::Domestic{me.GetCultivation() <= me.GetCommerce() ? DomesticCommand::DevelopLand
                                                                           : DomesticCommand::DevelopCommerce,
                                 c};
    return command::Rest{};
}

char CommandKey(const PlayerCommand& command)
{
    struct Key {
        char operator()(const command::Domestic& d) const { return NamesOf(d.what).key; }
        char operator()(const command::Move&) const { return 'M'; }
        char operator()(const command::War&) const { return 'W'; }
        char operator()(const command::Rest&) const { return 'R'; }
    };
    return std::visit(Key{}, command);
}

int CommandTarget(const PlayerCommand& command)
{
    if (const auto* move = std::get_if<command::Move>(&command))
        return move->to;
    if (const auto* war = std::get_if<command::War>(&command))
        return war->target;
    return -1;
}

Advisor::Advisor(const GameState& world, AdviceOptions options) : m_world(world), m_options(options)
{
    m_options.rollouts = std::max(0, m_options.rollouts);
    m_options.roundSize = std::max(1, m_options.roundSize);
    for (const PlayerCommand& command : CandidateCommands(m_world)) {
        AdvisedCommand advised{command};
        if (const auto* war = std::get_if<command::War>(&command))
            advised.spreadsThin = SpreadsThin(
                m_world, war->from, war->target,
                OddsOfBattle(m_world, war->from, war->target, BattleKind::Player, kPolicyOddsTrials));
        m_totals.push_back(advised);
    }
    m_ranking = m_totals;
}

Advisor::~Advisor()
{
    Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<AdvisedCommand> Advisor::Run()
{
    RunRounds();
    return Snapshot();
}

void Advisor::Start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { RunRounds(); });
}

std::vector<AdvisedCommand> Advisor::Snapshot() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_ranking;
}

void Advisor::RunRounds()
{
    const int commands = static_cast<int>(m_totals.size());
    const int now = CountriesOf(m_world, m_world.playerRuler);
    const int threads =
        m_options.threads > 0 ? m_options.threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    for (int first = 0; first < m_options.rollouts && commands > 0; first += m_options.roundSize) {
        const int size = std::min(m_options.roundSize, m_options.rollouts - first);
        const int count = size * commands;
        // Each trial writes only its own place: which thread plays it does not matter.
        std::vector<int> held(static_cast<std::size_t>(count), -1);
        std::atomic<int> next{0};
        auto work = [&] {
            for (int i = next.fetch_add(1); i < count && !m_cancel.load(std::memory_order_relaxed);
                 i = next.fetch_add(1)) {
                const int trial = first + i % size;
                held[static_cast<std::size_t>(i)] =
                    PlayTrial(m_world, m_totals[static_cast<std::size_t>(i / size)].command, TrialSeed(m_world, trial),
                              m_options.horizon, m_cancel);
            }
        };
        std::vector<std::thread> helpers;
        for (int t = 1; t < std::min(threads, count); ++t)
            helpers.emplace_back(work);
        work();
        for (std::thread& helper : helpers)
            helper.join();
        if (m_cancel.load(std::memory_order_acquire))
            break; // a round cut short is not counted
        for (int i = 0; i < count; ++i) {
            AdvisedCommand& total = m_totals[static_cast<std::size_t>(i / size)];
            const int end = held[static_cast<std::size_t>(i)];
            ++total.trials;
            total.keptOrMore += end >= now;
            total.survived += end > 0;
            total.heldSum += end;
        }
        std::vector<AdvisedCommand> ranking = m_totals;
        std::stable_sort(ranking.begin(), ranking.end(), RanksBefore);
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_ranking = std::move(ranking);
        }
        m_trialsDone.store(first + size, std::memory_order_release);
    }
    m_finished.store(true, std::memory_order_release);
}

} // namespace foresight
