// SPDX-License-Identifier: GPL-3.0-or-later
// One game being played: its world (with the world's generators and who plays each
// ruler), who hears what happens in it, the turn worker that plays the computer's side,
// and where the game stands (its phase). The windows and the headless runner are
// clients of a session; a look-ahead copies its world.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "model/country_file.h"
#include "model/game_state.h"
#include "rules/events.h"
#include "rules/turn.h"
#include "session/player_command.h"

// Hears what the players do with a session's game: each beginning (before its start is
// reported), each command Apply has carried out and each seat changing hands, on the
// interface thread. A recorder.
class SessionObserver {
public:
    virtual void GameBegun(const GameState& world, bool loaded) = 0;
    virtual void CommandGiven(const PlayerCommand& command) = 0;
    virtual void SeatChanged(const SeatChange& change) = 0;

protected:
    ~SessionObserver() = default;
};

// Where the game stands; the session alone moves it on.
//
//   NoGame ──BeginGame──▶ ComputerTurns ──(the computer rulers play)──▶ AwaitingCommand
//   AwaitingCommand ──a command──▶ CommandGiven ──rest──▶ ComputerTurns
//   AwaitingCommand ──rest──▶ ComputerTurns
//   a war that leaves its player holding every country ──▶ Won
//   the computer's turns end with no player holding a country ──▶ Lost
//   nobody plays: ComputerTurns ──a month──▶ Watching ──rest──▶ ComputerTurns,
//                 and ──▶ Won when one ruler holds every country
enum class TurnPhase : std::uint8_t {
    NoGame,          // no game has begun
    ComputerTurns,   // the computer rulers play (a game begun or loaded starts here)
    AwaitingCommand, // a player's country waits for its command of the turn (or the rest)
    CommandGiven,    // its command has been given: only the rest is left
    Watching,        // nobody plays: the computers have played a month; a rest plays the next
    Won,             // a player holds every country (watched: one ruler does); a rest
                     // still lets the computer play on, as a record may
    Lost,            // no player holds a country any more
};

// Where the computer's turns run once started (StartComputerTurns, or a rest).
enum class ComputerPlay : std::uint8_t {
    Here,       // on the calling thread, before the call returns
    Joined,     // on the worker's thread, joined before the call returns (the same turns)
    Background, // on the worker's thread while the caller goes on; the host's PlayerTurn
                // tells their end (the windows)
};

class GameSession {
public:
    // The world starts empty (every country without a name or a ruler) with the fixed
    // ruler table. host is whom the worker reaches: the windows, or the headless runner.
    explicit GameSession(TurnHost& host, ComputerPlay play = ComputerPlay::Here);
    // A worker still running is asked to stop and waited for.
    ~GameSession() = default;
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    // The game. Replace or change it only while no worker plays it (and then Resume, or
    // begin it, so that the phase follows).
    GameState world;
    // Who hears its events.
    EventSink events;

    TurnHost& Host() { return m_host; }
    void SetComputerPlay(ComputerPlay play) { m_play = play; }
    ComputerPlay GetComputerPlay() const { return m_play; }

    // The one observer of the players' doings (nullptr: none).
    void SetObserver(SessionObserver* observer) { m_observer = observer; }
    SessionObserver* Observer() const { return m_observer; }

    // Where the game stands. Read it on the interface thread: the worker moves it only
    // at its hand-over, before its PlayerTurn call.
    TurnPhase Phase() const { return m_phase.load(std::memory_order_acquire); }
    // Whose turn it is: the player whose country awaits its command or has given it;
    // 0 at any other phase.
    RulerId TurnRuler() const;
    // Who won (Won): the player who holds every country, or the computer ruler who does
    // in a watched game; 0 before.
    RulerId Winner() const { return m_winner.load(std::memory_order_acquire); }
    // Won or Lost: nothing is left to play.
    bool Ended() const { return Phase() == TurnPhase::Won || Phase() == TurnPhase::Lost; }

    // Carries out a command of the player whose turn it is, when the rules allow it now:
    // one command a turn, by the country whose turn it is, then the rest. A refused
    // command changes nothing and says why. A war is fought through the host's battle
    // window; one that leaves its player holding every country wins the game, reported
    // here (and so does a war refused only by its target, when he already holds them).
    // A rest plays the computer's turns as ComputerPlay says (refused, the turn still
    // the player's, when no thread can be had for them); with nobody playing, a rest
    // plays the next month; once the game is lost there is none.
    CommandResult Apply(const PlayerCommand& command);
    // Whether Apply would carry the command out now: a refusal (with its words), or a
    // result with CommandRefusal::None. Changes nothing. (A move of nothing asks
    // whether the destination may be chosen.)
    CommandResult Check(const PlayerCommand& command) const;
    // A ruler's seat changes hands where the game stands still (a player's turn, before
    // or after his command, or a watched month's end), from the computer's next turn on:
    // a computer's level the same as the game's difficulty, or a player's, is not kept.
    // The first player handed to the computer while others play gives that place to
    // the next of them (the ruler a save names plays). A ruler whose turn it is and who
    // plays no more has only the rest left. Reported to the observer. False, nothing
    // changed, at any other time, for no ruler, or for the seat he has.
    bool ChangeSeat(SeatChange change);
    // Whether the game stands where a seat may change hands.
    bool MayChangeSeat() const;

    // A new game on a starting world's country file, or a saved game. On failure the
    // world is left as it was. The start is reported; the computer's turns are next
    // (StartComputerTurns).
    // The game of one person, player:
    LoadOutcome StartNewGame(const std::string& countryFile, RulerId player);
    // Of several: seats says who plays each ruler and each computer ruler's level, first
    // is the player ruler (the first player; with nobody playing, the ruler a save of the
    // game names), difficulty the level of every computer without one of his own.
    LoadOutcome StartNewGame(const std::string& countryFile, const Seats& seats, RulerId first,
                             Difficulty difficulty = Difficulty::Normal);
    // Only reads a country file into the world (and builds the ruler table), for a
    // front end that begins the game itself (BeginGame) once it is ready. A saved game
    // takes the difficulty and the seats kept beside it; a starting world has nobody
    // playing yet.
    LoadOutcome ReadWorld(const std::string& path, CountryFileUse use);
    LoadOutcome LoadGame(const std::string& saveFile);
    // What the last world read set aside, for the player (a difficulty or seats kept
    // beside the save that could not be used); empty when nothing was. When both were,
    // the seats', the more of the game.
    const platform::Message& SetAside() const { return m_setAside; }
    // Each file the last world read set aside, named, with why.
    struct SetAsideFile {
        std::string path;
        platform::Message words;
    };
    const std::vector<SetAsideFile>& SetAsideFiles() const { return m_setAsideFiles; }
    // Reports the start of the game in the world as it stands (a new game when not
    // loaded), its seats said as simply as they can be (SimplifySeats): for a world set
    // up by other means. The computer's turns are next.
    void BeginGame(bool loaded);
    // Writes the world with turnCursor as the stored cursor (see SaveCountryFile), its
    // difficulty and seats beside it, and removes what an earlier game saved there kept
    // beside it (see ReplaceCompanions).
    bool SaveGame(const std::string& path, std::int32_t turnCursor, std::string* error) const;
    // The cursor a save made now stores: one back while a command is awaited, so that
    // the loaded game gives the same turn again; the cursor as it stands otherwise.
    std::int32_t SaveCursor() const;

    // The computer's turns up to the next player's turn (or a month, or the end of the
    // game), where ComputerPlay says, when the game waits for them (ComputerTurns, no
    // worker running): after BeginGame. False, nothing started, when the system gives
    // no thread.
    bool StartComputerTurns();
    // Why the computer's turns did not start: no thread could be had.
    static platform::Message NoWorkerWords();

    // The world has been set as it stands by other means (a copy of a world at a
    // player's turn, a replay stopped there): the phase follows from it, and nothing is
    // reported. A player's country at the cursor awaits its command.
    void Resume();

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
    // After a war of ruler's (fought, or refused by its target): the game is won when he
    // holds every country.
    void WinIfUnified(RulerId ruler);
    void Win(RulerId ruler);
    // The phase the computer's turns stopped at (on the worker's thread).
    void HandOver(TurnStop stop);
    // Runs the computer's turns where ComputerPlay says; the rest's observer is told
    // when they start. False when no thread could be had.
    bool RunComputerTurns(bool rest);
    void SetPhase(TurnPhase phase) { m_phase.store(phase, std::memory_order_release); }

    TurnHost& m_host;
    ComputerPlay m_play;
    SessionObserver* m_observer = nullptr;
    std::atomic<TurnPhase> m_phase{TurnPhase::NoGame};
    std::atomic<RulerId> m_winner{0};
    platform::Message m_setAside;
    std::vector<SetAsideFile> m_setAsideFiles;
    TurnWorker m_worker{world, events, [this](TurnStop stop) { HandOver(stop); }};
};
