// SPDX-License-Identifier: GPL-3.0-or-later
// One game being played: its world (with the world's generators), who hears what
// happens in it, and the turn worker that plays the computer's side. The windows and
// the headless runner are clients of a session; a look-ahead copies its world.
#pragma once

#include <string>

#include "model/country_file.h"
#include "model/world.h"
#include "rules/events.h"
#include "rules/turn.h"

class GameSession {
public:
    // The world starts empty (every country without a name or a ruler) with the fixed
    // ruler table. host is whom the worker reaches: the windows, or the headless runner.
    explicit GameSession(TurnHost& host);
    // A worker still running is asked to stop and waited for.
    ~GameSession() = default;
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // The game. Replace or change it only while no worker plays it.
    World world;
    // Who hears its events.
    EventSink events;

    TurnHost& Host() { return m_host; }

    // A new game on a starting world's country file with player as the player's ruler,
    // or a saved game. On failure the world is left as it was. The start is reported;
    // the marks on the map are cleared.
    LoadOutcome StartNewGame(const std::string& countryFile, RulerId player);
    LoadOutcome LoadGame(const std::string& saveFile);
    // Reports the start of the game in the world as it stands (a new game when not
    // loaded), and clears the marks: for a world set up by other means.
    void BeginGame(bool loaded);
    // Writes the world with turnCursor as the stored cursor (see SaveCountryFile).
    bool SaveGame(const std::string& path, std::int32_t turnCursor, std::string* error) const;

    // The computer's turns up to the player's next turn (or the end of the game), on
    // the calling thread.
    void PlayComputerTurns() { TurnWorkerProc(world, events, m_host); }
    // The same on the worker's thread (see TurnWorker).
    void StartComputerTurns() { m_worker.Start(m_host); }
    TurnWorker& Worker() { return m_worker; }
    bool WorkerRunning() const { return m_worker.Running(); }

private:
    TurnHost& m_host;
    TurnWorker m_worker{world, events};
};
