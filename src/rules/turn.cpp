// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/turn.h"

#include <array>
#include <system_error>

#include "model/arithmetic.h"
#include "model/game_state.h"
#include "platform/random.h"
#include "rules/event_report.h"

namespace {
constexpr int kHarvestMonth = 9;
constexpr int kMonthsPerYear = 12;

// What each ruler's countries gained of a figure in a seasonal update, for the harvest
// and taxes events; nothing is summed when nobody observes.
struct RulerGains {
    explicit RulerGains(EventSink& sink) : events(sink) {}
    EventSink& events;
    const bool observed = events.Observed();
    std::array<std::int64_t, kRulerCount> sums{};
    std::array<bool, kRulerCount> holds{};

    void Add(const Country& c, std::int32_t before, std::int32_t after)
    {
        const RulerId r = c.GetRuler();
        if (!observed || r <= 0 || r >= kRulerCount)
            return;
        sums[static_cast<std::size_t>(r)] += std::int64_t{after} - before;
        holds[static_cast<std::size_t>(r)] = true;
    }
    // One event for each ruler who holds a country.
    void Report(const GameState& world, EventKind kind) const
    {
        for (RulerId r = 1; r < kRulerCount && observed; ++r) {
            if (!holds[static_cast<std::size_t>(r)])
                continue;
            if (EventReport e{world, events, kind}) {
                e->ruler = static_cast<std::int8_t>(r);
                e->SetAmount(sums[static_cast<std::size_t>(r)]);
            }
        }
    }
};

void ReportMonth(const GameState& world, EventSink& events)
{
    const EventReport month{world, events, EventKind::Month}; // nothing more to say than the date
}

} // namespace

void BeginNewGame(GameState& world, EventSink& events)
{
    world.turnCountry = -1;
    ReportStart(world, events, false);
}

void BeginNewGame(GameState& world, EventSink& events, RulerId player)
{
    SeatPlayer(world, player);
    BeginNewGame(world, events);
}

void BeginLoadedGame(GameState& world, EventSink& events)
{
    ReportStart(world, events, true);
}

void AdvanceTurn(GameState& world, EventSink& events)
{
    const std::int32_t next = world.turnCountry + 1;
    if (next < kCountryCount) {
        // A cursor below -1 (never stored by the game) starts the month from country 0.
        world.turnCountry = next < 0 ? 0 : next;
        return;
    }
    world.turnCountry = 0;
    // The new month is worked out before it is stored: a repaint or a save made while
    // the worker runs never sees a thirteenth month.
    const std::int32_t month = world.month + 1;
    const bool newYear = month > kMonthsPerYear;
    if (newYear) {
        // A loaded year may be the largest figure there is; the calendar stops there.
        world.year = SaturatingAdd(world.year, 1);
        world.month = 1;
    } else {
        world.month = month;
    }
    ReportMonth(world, events);
    if (month == kHarvestMonth) {
        RulerGains gains(events);
        for (Country& c : world.countries) {
            const std::int32_t before = gains.observed ? c.GetProvisions() : 0;
            c.Harvest();
            gains.Add(c, before, c.GetProvisions());
        }
        gains.Report(world, EventKind::Harvest);
    }
    if (newYear) {
        RulerGains gains(events);
        // Country by country; taxes are raised on the population before it grows.
        for (Country& c : world.countries) {
            const std::int32_t before = gains.observed ? c.GetFunds() : 0;
            c.CollectTaxes();
            gains.Add(c, before, c.GetFunds());
            c.FeedTroops();
            c.GrowPopulation(world.random);
        }
        gains.Report(world, EventKind::Taxes);
    }
}

namespace {

// The next time the calendar turns to month (1..12), from the world's date.
SeasonalIncome NextMonthOf(const GameState& world, std::int32_t month)
{
    SeasonalIncome next;
    const std::int32_t now = world.month;
    next.month = month;
    next.monthsAway = ((month - now) % kMonthsPerYear + kMonthsPerYear - 1) % kMonthsPerYear + 1;
    next.year = now + next.monthsAway > kMonthsPerYear ? SaturatingAdd(world.year, 1) : world.year.Get();
    return next;
}

} // namespace

SeasonalIncome NextHarvest(const GameState& world, int country)
{
    SeasonalIncome next = NextMonthOf(world, kHarvestMonth);
    if (GameState::IsCountryIndex(country))
        next.amount = world.countries[static_cast<std::size_t>(country)].HarvestYield();
    return next;
}

SeasonalIncome NextTaxes(const GameState& world, int country)
{
    SeasonalIncome next = NextMonthOf(world, 1);
    if (GameState::IsCountryIndex(country))
        next.amount = world.countries[static_cast<std::size_t>(country)].TaxYield();
    return next;
}

bool HoldsACountry(const GameState& world, RulerId ruler)
{
    for (const Country& c : world.countries) {
        if (c.GetRuler() == ruler)
            return true;
    }
    return false;
}

bool HoldsEveryCountry(const GameState& world, RulerId ruler)
{
    for (const Country& c : world.countries) {
        if (c.GetRuler() != ruler && c.GetRuler() != -1)
            return false;
    }
    return true;
}

bool PlayerHasCountry(const GameState& world) { return HoldsACountry(world, world.playerRuler); }
bool IsUnified(const GameState& world) { return HoldsEveryCountry(world, world.playerRuler); }

namespace {

// The rulers the computer does not play, one bit each: taken once for a stretch of
// turns, as the seats do not change while the computer plays.
std::uint32_t PlayerMask(const GameState& world)
{
    std::uint32_t mask = 0;
    for (RulerId r = 1; r < kRulerCount; ++r) {
        if (world.IsPlayer(r))
            mask |= 1u << r;
    }
    return mask;
}

bool InMask(std::uint32_t mask, RulerId ruler) { return ruler > 0 && ((mask >> ruler) & 1u) != 0; }

// Whether a ruler of mask holds a country; found is set to the first such country.
bool FindMaskCountry(const GameState& world, std::uint32_t mask, int& found)
{
    for (int c = 0; c < kCountryCount; ++c) {
        if (InMask(mask, world.countries[c].GetRuler())) {
            found = c;
            return true;
        }
    }
    return false;
}

} // namespace

bool PlayersHoldACountry(const GameState& world)
{
    int found = 0;
    return FindMaskCountry(world, PlayerMask(world), found);
}

RulerId UnifyingRuler(const GameState& world)
{
    for (const Country& c : world.countries) {
        if (c.GetRuler() > 0)
            return HoldsEveryCountry(world, c.GetRuler()) ? c.GetRuler() : 0;
    }
    return 0;
}

TurnStop PlayComputerCountries(GameState& world, EventSink& events, TurnHost& host)
{
    // Nobody plays: the computers play the month out, and the game ends when one of
    // them holds every country.
    const std::uint32_t players = PlayerMask(world);
    const bool watched = players == 0;
    // Tested before every step, so a computer country that takes the last country of
    // the players is the last to act. held is a country of a player found at the last
    // test, looked at first: countries rarely change hands.
    int held = 0;
    // A battle marked when an earlier stretch of turns was stopped in it is over.
    host.MarkBattle(-1, -1);
    for (bool first = true;; first = false) {
        const bool over = watched ? UnifyingRuler(world) != 0
                                  : !InMask(players, world.countries[held].GetRuler()) &&
                                        !FindMaskCountry(world, players, held);
        if (over)
            return watched ? TurnStop::Unified : TurnStop::NoPlayer;
        if (host.StopRequested())
            return TurnStop::Asked;
        if (watched && !first && world.turnCountry == kCountryCount - 1)
            return TurnStop::MonthEnd;
        AdvanceTurn(world, events);
        const int c = world.turnCountry;
        const RulerId ruler = world.countries[c].GetRuler();
        if (ruler == 0)
            continue;
        if (InMask(players, ruler))
            return TurnStop::PlayerTurn;
        host.TurnBegin(c);
        if (host.StopRequested())
            return TurnStop::Asked;
        RunComputerTurn(world, events, host, c);
    }
}

int TurnWorkerProc(GameState& world, EventSink& events, TurnHost& host, const std::function<void(TurnStop)>& handOver)
{
    platform::SeedFromClock(world.random, world.clock);
    const TurnStop stop = PlayComputerCountries(world, events, host);
    if (stop == TurnStop::Asked || host.StopRequested())
        return 0;
    if (stop == TurnStop::NoPlayer) {
        if (EventReport over{world, events, EventKind::GameOver})
            over->ruler = static_cast<std::int8_t>(world.playerRuler);
    }
    if (handOver)
        handOver(stop);
    host.PlayerTurn(world.turnCountry);
    return 0;
}

TurnWorker::~TurnWorker()
{
    if (!m_thread.joinable())
        return;
    if (Running())
        RequestStop();
    Join();
}

bool TurnWorker::Start(TurnHost& host)
{
    // The previous worker has made its last call by now (or has been asked to stop).
    Join();
    m_host = &host;
    m_running.store(true, std::memory_order_release);
    try {
        m_thread = std::thread([this] {
            TurnWorkerProc(m_world, m_events, *m_host, m_handOver);
            m_running.store(false, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        m_running.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void TurnWorker::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
