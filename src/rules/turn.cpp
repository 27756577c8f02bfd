// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/turn.h"

#include <array>

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
    const bool observed = EventsObserved();
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
    void Report(EventKind kind) const
    {
        for (RulerId r = 1; r < kRulerCount && observed; ++r) {
            if (!holds[static_cast<std::size_t>(r)])
                continue;
            if (EventReport e{kind}) {
                e->ruler = static_cast<std::int8_t>(r);
                e->SetAmount(sums[static_cast<std::size_t>(r)]);
            }
        }
    }
};

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
    // The new month is worked out before it is stored: a repaint or a save made while
    // the worker runs never sees a thirteenth month.
    const std::int32_t month = GameState::month + 1;
    const bool newYear = month > kMonthsPerYear;
    if (newYear) {
        // A loaded year may be the largest figure there is; the calendar stops there.
        GameState::year = SaturatingAdd(GameState::year, 1);
        GameState::month = 1;
    } else {
        GameState::month = month;
    }
    ReportMonth();
    if (month == kHarvestMonth) {
        RulerGains gains;
        for (Country& c : GameState::countries) {
            const std::int32_t before = gains.observed ? c.GetProvisions() : 0;
            c.Harvest();
            gains.Add(c, before, c.GetProvisions());
        }
        gains.Report(EventKind::Harvest);
    }
    if (newYear) {
        RulerGains gains;
        // Country by country; taxes are raised on the population before it grows.
        for (Country& c : GameState::countries) {
            const std::int32_t before = gains.observed ? c.GetFunds() : 0;
            c.CollectTaxes();
            gains.Add(c, before, c.GetFunds());
            c.FeedTroops();
            c.GrowPopulation();
        }
        gains.Report(EventKind::Taxes);
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
