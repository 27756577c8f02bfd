#include "rules/turn.h"

#include <array>

#include "model/arithmetic.h"
#include "model/game_state.h"
#include "platform/random.h"
#include "rules/events.h"

namespace {
constexpr int kHarvestMonth = 9;
constexpr int kMonthsPerYear = 12;

// A figure summed over each ruler's countries, for the harvest and taxes events; empty
// when nobody observes.
struct RulerTotals {
    bool taken = false;
    std::array<std::int64_t, kRulerCount> sums{};
    std::array<bool, kRulerCount> holds{};
};

RulerTotals TotalsByRuler(std::int32_t (Country::*figure)() const)
{
    RulerTotals totals;
    if (!EventsObserved())
        return totals;
    totals.taken = true;
    for (const Country& c : GameState::countries) {
        const RulerId r = c.GetRuler();
        if (r > 0 && r < kRulerCount) {
            totals.sums[static_cast<std::size_t>(r)] += (c.*figure)();
            totals.holds[static_cast<std::size_t>(r)] = true;
        }
    }
    return totals;
}

// One event for each ruler who holds a country: what the figure gained since before.
void ReportGains(EventKind kind, const RulerTotals& before, std::int32_t (Country::*figure)() const)
{
    if (!before.taken)
        return;
    const RulerTotals after = TotalsByRuler(figure);
    for (RulerId r = 1; r < kRulerCount; ++r) {
        if (!before.holds[static_cast<std::size_t>(r)])
            continue;
        if (EventReport e{kind}) {
            e->ruler = static_cast<std::int8_t>(r);
            e->SetAmount(after.sums[static_cast<std::size_t>(r)] - before.sums[static_cast<std::size_t>(r)]);
        }
    }
}

void ReportMonth()
{
    const EventReport month{EventKind::Month}; // nothing more to say than the date
}

} // namespace

namespace {
void ResetViewIndexes()
{
    GameState::shownCountry = -1;
    GameState::battleAttacker = -1;
    GameState::battleTarget = -1;
}
} // namespace

void BeginNewGame(RulerId player)
{
    GameState::playerRuler = player;
    GameState::turnCountry = -1;
    ResetViewIndexes();
    ReportStart(false);
}

void BeginLoadedGame()
{
    ResetViewIndexes();
    ReportStart(true);
}

void AdvanceTurn()
{
    const std::int32_t next = GameState::turnCountry + 1;
    if (next < kCountryCount) {
        // A cursor below -1 (never stored by the game) starts the month from country 0.
        GameState::turnCountry = next < 0 ? 0 : next;
        return;
    }
    GameState::turnCountry = 0;
    GameState::month += 1;
    const bool harvest = GameState::month == kHarvestMonth;
    const bool newYear = GameState::month > kMonthsPerYear;
    if (newYear) {
        GameState::month = 1;
        // A loaded year may be the largest figure there is; the calendar stops there.
        GameState::year = SaturatingAdd(GameState::year, 1);
    }
    ReportMonth();
    if (harvest) {
        const RulerTotals before = TotalsByRuler(&Country::GetProvisions);
        for (Country& c : GameState::countries)
            c.Harvest();
        ReportGains(EventKind::Harvest, before, &Country::GetProvisions);
    }
    if (newYear) {
        const RulerTotals before = TotalsByRuler(&Country::GetFunds);
        // Country by country; taxes are raised on the population before it grows.
        for (Country& c : GameState::countries) {
            c.CollectTaxes();
            c.FeedTroops();
            c.GrowPopulation();
        }
        ReportGains(EventKind::Taxes, before, &Country::GetFunds);
    }
}

bool PlayerHasCountry()
{
    const RulerId player = GameState::playerRuler;
    for (const Country& c : GameState::countries) {
        if (c.GetRuler() == player)
            return true;
    }
    return false;
}

bool IsUnified()
{
    const RulerId player = GameState::playerRuler;
    for (const Country& c : GameState::countries) {
        if (c.GetRuler() != player && c.GetRuler() != -1)
            return false;
    }
    return true;
}

int TurnWorkerProc(TurnHost& host)
{
    platform::SeedThreadRandomFromClock();
    // Tested before every step, so a computer country that takes the player's last
    // country is the last to act.
    while (PlayerHasCountry()) {
        if (host.StopRequested())
            return 0;
        AdvanceTurn();
        const int c = GameState::turnCountry;
        const RulerId ruler = GameState::countries[c].GetRuler();
        if (ruler == 0)
            continue;
        if (ruler == GameState::playerRuler)
            break;
        host.TurnBegin(c);
        if (host.StopRequested())
            return 0;
        GameState::battleAttacker = -1;
        GameState::battleTarget = -1;
        RunComputerTurn(host, c);
    }
    if (host.StopRequested())
        return 0;
    if (!PlayerHasCountry()) {
        if (EventReport over{EventKind::GameOver})
            over->ruler = static_cast<std::int8_t>(GameState::playerRuler);
    }
    GameState::shownCountry = GameState::turnCountry.Get();
    host.PlayerTurn(GameState::turnCountry);
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

void TurnWorker::Start()
{
    // The previous worker has made its last call by now (or has been asked to stop).
    Join();
    m_running.store(true, std::memory_order_release);
    m_thread = std::thread([this] {
        TurnWorkerProc(m_host);
        m_running.store(false, std::memory_order_release);
    });
}

void TurnWorker::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
