// SPDX-License-Identifier: GPL-3.0-or-later
// The clock of the game: the turn worker runs the calendar and the computer rulers'
// turns until the cursor reaches a country of a player, and talks to the interface
// through synchronous calls.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "model/game_state.h"
#include "platform/message.h"
#include "rules/battle.h"
#include "rules/computer.h"
#include "rules/events.h"

// Message numbers of the two synchronous calls, kept for reference in logs.
constexpr int WM_TURN_BEGIN = 0x401;
constexpr int WM_PLAYER_TURN = 0x402;

// What the worker needs from the interface. Every call blocks the worker until the
// interface thread has handled it (TurnBegin, PlayerTurn) or until the window it
// opens has closed (ShowMessage, Present).
class TurnHost : public BattlePresenter {
public:
    // WM_TURN_BEGIN: a computer country's turn begins (again when it attacks a country
    // that is not a player's, after MarkBattle has named the pair).
    virtual void TurnBegin(int country) = 0;
    // The battle a computer country fights against another computer ruler, named on the
    // worker's thread before its TurnBegin and cleared (-1, -1) when it has been fought
    // and when a stretch of the computer's turns begins: the map marks it. Nothing by
    // default.
    virtual void MarkBattle(int attacker, int target)
    {
        (void)attacker;
        (void)target;
    }
    // WM_PLAYER_TURN: the worker's last act.
    virtual void PlayerTurn(int country) = 0;
    // A self-closing message window with the words (a host that translates takes the
    // words, any other shows the Japanese text).
    virtual void ShowMessage(const platform::Message& words, int milliseconds) = 0;

    // Asks the running worker to end at its next step without touching the world
    // any further. A blocking call in progress should return soon after.
    void RequestStop()
    {
        m_stop.store(true, std::memory_order_release);
        OnStopRequested();
    }
    bool StopRequested() const { return m_stop.load(std::memory_order_acquire); }
    void ClearStop() { m_stop.store(false, std::memory_order_release); }

    // Who chooses for a computer ruler whose level looks ahead (rules/computer.h); none:
    // such a ruler plays as at 普通. A look-ahead's own copies are played with none.
    const ComputerPlanner* planner = nullptr;

protected:
    // Wakes a blocking call so that the worker can see the stop.
    virtual void OnStopRequested() {}

private:
    std::atomic<bool> m_stop{false};
};

// The world right after a new game's country file has been loaded, the ruler table
// built and who plays seated: the cursor stands before country 0. Reports the start.
void BeginNewGame(GameState& world, EventSink& events);
// The same for the game of one person: the chosen ruler seated first (SeatPlayer).
void BeginNewGame(GameState& world, EventSink& events, RulerId player);
// The same after a saved game has been loaded: the file's ruler and cursor stand.
void BeginLoadedGame(GameState& world, EventSink& events);

// One step of the cursor; moves the calendar when it wraps (harvest at month 9, taxes,
// upkeep and growth at the new year, drawing from the world's generator).
void AdvanceTurn(GameState& world, EventSink& events);
// Whether ruler holds a country; whether every country is his (or -1: a country with
// no ruler, 0, stands in the way).
bool HoldsACountry(const GameState& world, RulerId ruler);
bool HoldsEveryCountry(const GameState& world, RulerId ruler);
// The same of the player ruler.
bool PlayerHasCountry(const GameState& world);
bool IsUnified(const GameState& world);
// Whether any player (GameState::IsPlayer) holds a country.
bool PlayersHoldACountry(const GameState& world);
// The ruler who holds every country, or 0 when none does.
RulerId UnifyingRuler(const GameState& world);

// Where the computer's turns stopped.
enum class TurnStop : std::uint8_t {
    Asked,      // a stop was requested: the world is as the last step left it
    PlayerTurn, // the cursor stands at a country of a player
    NoPlayer,   // players sit, and none of them holds a country any more
    MonthEnd,   // nobody plays (the game is watched): every country has had its turn this month
    Unified,    // nobody plays, and one ruler holds every country
};

// The computer countries in turn from the cursor on, on the calling thread, until a
// stop above. Reports nothing of its end and calls no PlayerTurn.
TurnStop PlayComputerCountries(GameState& world, EventSink& events, TurnHost& host);

// When the next harvest (September) or the next taxes (January, when the soldiers are
// also fed) come for a country, seen from the world's date, and about what they bring
// at its figures as they stand.
struct SeasonalIncome {
    std::int32_t year = 0;
    std::int32_t month = 0;
    int monthsAway = 0; // 1 for the next month
    std::int64_t amount = 0;
};
SeasonalIncome NextHarvest(const GameState& world, int country);
SeasonalIncome NextTaxes(const GameState& world, int country);

// The worker's procedure on the calling thread: seeds the world's generator from the
// clock, plays the computer countries (PlayComputerCountries), reports a game over when
// no player holds a country any more, tells handOver (when given) where it stopped and
// calls PlayerTurn. Returns 0. Returns early, without PlayerTurn (and without
// handOver), when a stop is requested.
int TurnWorkerProc(GameState& world, EventSink& events, TurnHost& host,
                   const std::function<void(TurnStop)>& handOver = {});

// TurnWorkerProc on a thread of its own.
class TurnWorker {
public:
    // handOver, when given, hears where each worker stopped, on its thread, before its
    // PlayerTurn call.
    TurnWorker(GameState& world, EventSink& events, std::function<void(TurnStop)> handOver = {})
        : m_world(world), m_events(events), m_handOver(std::move(handOver))
    {
    }
    // Asks a worker that still runs to stop, then waits for the thread. (A worker that
    // has already ended is not asked: the host's stop flag stays clear for the next.)
    ~TurnWorker();
    TurnWorker(const TurnWorker&) = delete;
    TurnWorker& operator=(const TurnWorker&) = delete;

    // Starts the next worker. The previous one, if any, is joined first: start only
    // after it has made its PlayerTurn call or has been asked to stop. A stop asked of
    // the host stays in force until ClearStop. False, with nothing started, when the
    // system gives no thread (too many threads or processes already).
    bool Start(TurnHost& host);
    void RequestStop()
    {
        if (m_host)
            m_host->RequestStop();
    }
    // Waits for the thread. Never call it on the interface thread while the worker may
    // be blocked in a call to it: request a stop first.
    void Join();
    bool Running() const { return m_running.load(std::memory_order_acquire); }

private:
    GameState& m_world;
    EventSink& m_events;
    std::function<void(TurnStop)> m_handOver;
    TurnHost* m_host = nullptr; // the last started worker's
    std::thread m_thread;
    std::atomic<bool> m_running{false};
};

// One computer country's turn (the orders it may give and the planner: rules/computer.h).
void RunComputerTurn(GameState& world, EventSink& events, TurnHost& host, int country);
