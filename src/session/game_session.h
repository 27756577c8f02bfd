// SPDX-License-Identifier: GPL-3.0-or-later
// One game being played: its world (with the world's generators), who hears what
// happens in it, and the turn worker that plays the computer's side. The windows and
// the headless runner are clients of a session; a look-ahead copies its world.
#pragma once

#include <string>

#include "model/country_file.h"
#include "model/game_state.h"
#include "rules/events.h"
#include "rules/turn.h"
#include "rules/view_mode.h"
#include "session/player_command.h"

// Hears what the player does with a session's game: each beginning (before its start is
// reported) and each command Apply has carried out, on the interface thread. A recorder.
class SessionObserver {
public:
    virtual void GameBegun(const GameState& world, bool loaded) = 0;
    virtual void CommandGiven(const PlayerCommand& command) = 0;

protected:
    ~SessionObserver() = default;
};

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
    GameState world;
    // Who hears its events.
    EventSink events;

    // Which input the game waits for; the windows' mode. Interface thread only.
    ViewMode mode = ViewMode::NoGame;

    TurnHost& Host() { return m_host; }

    // The one observer of the player's doings (nullptr: none).
    void SetObserver(SessionObserver* observer) { m_observer = observer; }
    SessionObserver* Observer() const { return m_observer; }

    // Carries out a command of the player, when the rules allow it now: one command a
    // turn (and then the rest), by the country whose turn it is, while the game waits
    // for the player. A refused command changes nothing and says why. A war is fought
    // through the host's battle window. A rest starts the worker (refused, the turn
    // still the player's, when no thread can be had for it).
    CommandResult Apply(const PlayerCommand& command);
    // The player's turn has begun: his command of the turn is still to be given.
    void BeginPlayerTurn() { m_acted = false; }
    // When the player holds every country, reports the victory and says so.
    bool CheckVictory();
    // Whether Apply would carry the command out now: a refusal (with its words), or a
    // result with CommandRefusal::None. Changes nothing. (A move of nothing asks
    // whether the destination may be chosen.)
    CommandResult Check(const PlayerCommand& command) const;

    // A new game on a starting world's country file with player as the player's ruler,
    // or a saved game. On failure the world is left as it was. The start is reported;
    // the marks on the map are cleared.
    LoadOutcome StartNewGame(const std::string& countryFile, RulerId player);
    // Only reads a country file into the world (and builds the ruler table), for a
    // front end that begins the game itself (BeginGame) once it is ready.
    LoadOutcome ReadWorld(const std::string& path, CountryFileUse use);
    LoadOutcome LoadGame(const std::string& saveFile);
    // What the last world read set aside, for the player (a difficulty kept beside the
    // save that could not be used); empty when nothing was.
    const platform::Message& SetAside() const { return m_setAside; }
    // Reports the start of the game in the world as it stands (a new game when not
    // loaded), and clears the marks: for a world set up by other means.
    void BeginGame(bool loaded);
    // Writes the world with turnCursor as the stored cursor (see SaveCountryFile), its
    // difficulty beside it, and removes what an earlier game saved there kept beside it
    // (see ReplaceCompanions).
    bool SaveGame(const std::string& path, std::int32_t turnCursor, std::string* error) const;

    // The computer's turns up to the player's next turn (or the end of the game), on
    // the calling thread.
    void PlayComputerTurns()
    {
        m_acted = false;
        TurnWorkerProc(world, events, m_host);
    }
    // The same on the worker's thread (see TurnWorker). False, nothing started, when the
    // system gives no thread.
    bool StartComputerTurns()
    {
        if (!m_worker.Start(m_host))
            return false;
        m_acted = false;
        return true;
    }
    // Why the computer's turns did not start: no thread could be had.
    static platform::Message NoWorkerWords();
    // The player's command of this turn has been carried out (only the rest is left).
    bool TurnCommandGiven() const { return m_acted; }
    // The player's rest where no window waits for it (the headless game, a replay): heard
    // as his command, then the computer's turns on the calling thread, or on the
    // worker's, joined (on the calling thread when no thread can be had: the same turns).
    void RestHere(bool onWorker = false)
    {
        if (m_observer)
            m_observer->CommandGiven(command::Rest{});
        if (onWorker && StartComputerTurns())
            m_worker.Join();
        else
            PlayComputerTurns();
    }
    TurnWorker& Worker() { return m_worker; }
    bool WorkerRunning() const { return m_worker.Running(); }

private:
    CommandResult Refusal(const command::Domestic& order) const;
    CommandResult Refusal(const command::Move& order) const;
    CommandResult Refusal(const command::War& order) const;
    CommandResult Refusal(const command::Rest& order) const;
    CommandResult Do(const command::Domestic& order);
    CommandResult Do(const command::Move& order);
    CommandResult Do(const command::War& order);
    CommandResult Do(const command::Rest& order);
    // Why country may not give a command now; None when it may.
    CommandRefusal MayAct(int country) const;

    TurnHost& m_host;
    SessionObserver* m_observer = nullptr;
    bool m_acted = false; // the player's command of this turn has been carried out
    platform::Message m_setAside;
    TurnWorker m_worker{world, events};
};
