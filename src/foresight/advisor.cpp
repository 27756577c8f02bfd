// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/advisor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "foresight/silent_host.h"
#include "rules/commands.h"
#include "rules/names.h"
#include "session/game_session.h"

namespace foresight {

namespace {

// Whom the advice is for: the player whose country's turn it is (in a game of several,
// not always the first).
RulerId AdvisedRuler(const GameState& world)
{
    const int c = world.turnCountry;
    const RulerId atTurn = GameState::IsCountryIndex(c) ? world.countries[static_cast<std::size_t>(c)].GetRuler() : 0;
    return world.IsPlayer(atTurn) ? atTurn : world.playerRuler.Get();
}

// Mixed into a trial's seed for the draws after its command.
constexpr std::uint64_t kAfterCommand = 0x5EEDull;

// One trial of a command: the command on a copy of world, then the months of the
// horizon. Sets done to false when cancelled.
TrialEnd PlayTrial(const GameState& world, const PlayerCommand& first, std::uint64_t seed,
                   const AdviceOptions& options, const std::atomic<bool>& cancel, bool& done)
{
    TurnSeededHost host(seed);
    GameSession session(host);
    host.world = &session.world;
    session.world = world;
    SeedCopy(session.world, seed);
    const RulerId ruler = AdvisedRuler(world);
    LossWatch watch(ruler, &session.world);
    session.events.Add(&watch);
    session.Resume();
    if (!std::holds_alternative<command::Rest>(first))
        session.Apply(first);
    // Trial k of every command plays on from the same draws: the commands are weighed on
    // the same luck after the command, not only before it (the command itself, a battle
    // say, draws a different number of times), and at every turn after it the generators
    // start afresh from the trial's seed and the turn, so that a country the command
    // does not touch plays its turns alike in the trials of every command.
    SeedCopy(session.world, Mix(seed ^ kAfterCommand));
    done = PlayOn(session, seed, options.horizon, options.policy, cancel, true);
    return EndOf(session.world, ruler, watch, options.horizon);
}

// The score over a common denominator (100 times the months and the trials of both):
// whole numbers, so that equal scores tie exactly.
__int128 ScoreAgainst(const AdvisedCommand& a, const AdvisedCommand& other)
{
    const __int128 months = std::max<std::int64_t>(a.monthsSum, 1), trials = std::max(a.trials, 1);
    return (100 * a.heldMonthsSum * trials - __int128{a.penaltyPercent} * a.lost * months) *
           std::max<std::int64_t>(other.monthsSum, 1) * std::max(other.trials, 1);
}

int Percent(double share) { return static_cast<int>(std::lround(share * 100)); }

std::string Decimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

int AdvisedCommand::MainThreat() const
{
    int threat = -1;
    for (int c = 0; c < kCountryCount; ++c)
        if (lostTo[static_cast<std::size_t>(c)] > 0 &&
            (threat < 0 || lostTo[static_cast<std::size_t>(c)] > lostTo[static_cast<std::size_t>(threat)]))
            threat = c;
    return threat;
}

bool SameScore(const AdvisedCommand& a, const AdvisedCommand& b) { return ScoreAgainst(a, b) == ScoreAgainst(b, a); }

bool RanksBefore(const AdvisedCommand& a, const AdvisedCommand& b)
{
    if (!SameScore(a, b))
        return ScoreAgainst(a, b) > ScoreAgainst(b, a);
    const std::int64_t at = std::max(a.trials, 1), bt = std::max(b.trials, 1);
    // Armies compared as sums scaled by the other's trials; wide enough for any figures.
    return static_cast<__int128>(a.strengthSum) * bt > static_cast<__int128>(b.strengthSum) * at;
}

platform::Message ReasonOf(const GameState& world, const std::vector<AdvisedCommand>& ranking, std::size_t index,
                           int horizon)
{
    using platform::Message;
    if (index >= ranking.size() || ranking[index].trials == 0)
        return {};
    const AdvisedCommand& a = ranking[index];
    Message outlook(VELCOR_TEXT("Message", "%1か月間 平均 %2か国・国を保つ %3%"),
                    {Message::Number(horizon), Message::Plain(Decimal(a.MeanHeldOverMonths())),
                     Message::Number(Percent(a.KeptShare()))});
    Message risk(VELCOR_TEXT("Message", "失う危険なし"));
    if (a.lost > 0) {
        const int threat = a.MainThreat();
        risk = threat >= 0 ? Message(VELCOR_TEXT("Message", "危険: %1 の攻撃 %2%"),
                                     {CountryWords(world, threat), Message::Number(Percent(a.LostShare()))})
                           : Message(VELCOR_TEXT("Message", "危険: 国を失う %1%"),
                                     {Message::Number(Percent(a.LostShare()))});
    }
    const bool tied = (index > 0 && SameScore(ranking[index - 1], a)) ||
                      (index + 1 < ranking.size() && SameScore(ranking[index + 1], a));
    Message tie = Message::Plain(std::string());
    if (tied)
        tie = Message(VELCOR_TEXT("Message", "・同点は兵力 %1 で"), {Message::Number(std::llround(a.MeanArmy()))});
    return Message(VELCOR_TEXT("Message", "%1／%2%3"), {outlook, risk, tie});
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

Advisor::Advisor(const GameState& world, AdviceOptions options) : m_world(world), m_options(std::move(options))
{
    m_options.rollouts = std::max(0, m_options.rollouts);
    m_options.roundSize = std::max(1, m_options.roundSize);
    m_penaltyPercent = RiskPenaltyPercent(CountriesOf(m_world, AdvisedRuler(m_world)));
    for (const PlayerCommand& command : CandidateCommands(m_world)) {
        m_totals.push_back(AdvisedCommand{command});
        m_totals.back().penaltyPercent = m_penaltyPercent;
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
    if (m_thread.joinable() || m_finished.load(std::memory_order_acquire))
        return;
    try {
        m_thread = m_options.startThread ? m_options.startThread([this] { RunRounds(); })
                                         : std::thread([this] { RunRounds(); });
    } catch (const std::system_error&) {
        RunRounds(); // no thread to spare: the answer comes before Start returns
    }
}

std::vector<AdvisedCommand> Advisor::Snapshot() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_ranking;
}

void Advisor::RunRounds()
{
    const int commands = static_cast<int>(m_totals.size());
    const int now = CountriesOf(m_world, AdvisedRuler(m_world));
    const int threads = ThreadsFor(m_options.threads);
    for (int first = 0; first < m_options.rollouts && commands > 0; first += m_options.roundSize) {
        const int size = std::min(m_options.roundSize, m_options.rollouts - first);
        const int count = size * commands;
        // Each trial writes only its own place: which thread plays it does not matter.
        std::vector<TrialEnd> ends(static_cast<std::size_t>(count));
        std::atomic<int> next{0};
        std::atomic<bool> cut{false};
        auto work = [&] {
            for (int i = next.fetch_add(1); i < count && !m_cancel.load(std::memory_order_relaxed);
                 i = next.fetch_add(1)) {
                bool done = true;
                ends[static_cast<std::size_t>(i)] =
                    PlayTrial(m_world, m_totals[static_cast<std::size_t>(i / size)].command,
                              TrialSeed(m_world, first + i % size), m_options, m_cancel, done);
                if (!done)
                    cut.store(true, std::memory_order_relaxed);
            }
        };
        RunOnThreads(std::min(threads, count), work, m_options.startThread);
        if (m_cancel.load(std::memory_order_acquire) || cut.load(std::memory_order_relaxed))
            break; // a round cut short is not counted
        for (int i = 0; i < count; ++i) {
            AdvisedCommand& total = m_totals[static_cast<std::size_t>(i / size)];
            const TrialEnd& end = ends[static_cast<std::size_t>(i)];
            ++total.trials;
            total.keptOrMore += end.held >= now;
            total.survived += end.held > 0;
            total.heldSum += end.held;
            total.heldMonthsSum += end.heldMonths;
            total.monthsSum += end.months;
            total.strengthSum += end.strength;
            if (end.lost) {
                ++total.lost;
                if (GameState::IsCountryIndex(end.lostTo))
                    ++total.lostTo[static_cast<std::size_t>(end.lostTo)];
            }
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

std::optional<PlayerCommand> BestOf(const std::vector<AdvisedCommand>& ranking)
{
    if (ranking.empty() || std::holds_alternative<command::Rest>(ranking.front().command))
        return std::nullopt;
    return ranking.front().command;
}

std::optional<PlayerCommand> AdvisedCommandFor(const GameState& world, const AdviceOptions& options)
{
    return BestOf(Advisor(world, options).Run());
}

} // namespace foresight
