#include "rules/turn.h"

#include "model/arithmetic.h"
#include "model/game_state.h"
#include "platform/random.h"

namespace {
constexpr int kHarvestMonth = 9;
constexpr int kMonthsPerYear = 12;
} // namespace

void BeginNewGame(RulerId player)
{
    GameState::playerRuler = player;
    GameState::turnCountry = -1;
    BeginLoadedGame();
}

void BeginLoadedGame()
{
    GameState::shownCountry = -1;
    GameState::battleAttacker = -1;
    GameState::battleTarget = -1;
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
    if (month <= kMonthsPerYear) {
        GameState::month = month;
        if (month == kHarvestMonth) {
            for (Country& c : GameState::countries)
                c.Harvest();
        }
    } else {
        // A loaded year may be the largest figure there is; the calendar stops there.
        GameState::year = SaturatingAdd(GameState::year, 1);
        GameState::month = 1;
        // Country by country; taxes are raised on the population before it grows.
        for (Country& c : GameState::countries) {
            c.CollectTaxes();
            c.FeedTroops();
            c.GrowPopulation();
        }
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
