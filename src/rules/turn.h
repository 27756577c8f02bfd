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
#include "rules/computer.h"
#include "rules/events.h"
#include "rules/turn_host.h"

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
