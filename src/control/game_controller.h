// SPDX-License-Identifier: GPL-3.0-or-later
// The game as the windows play it: the session with its record, the worker's host, new,
// load and save, the players' commands, going back, a record played back, the end of
// the game. It has no window of its own: it tells the windows what changed through its
// signals, and they pass it what the player chose (a path, a ruler, a command).
//
// The worker's calls run on the interface thread while the worker waits (a sent
// message, as it were): the signals that show something (message, battleToShow,
// handOver) are emitted there and return when what they show has closed.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "conduct/game_conductor.h"
#include "conduct/turn_description.h"
#include "model/game_state.h"
#include "platform/message.h"
#include "platform/sync_call.h"
#include "rules/commands.h"
#include "rules/turn.h"
#include "session/game_record.h"
#include "session/game_replay.h"
#include "session/game_session.h"
#include "session/player_command.h"

class GameController : public QObject, public ConductorListener {
    Q_OBJECT

public:
    // Seeds the game's command generator from the clock.
    explicit GameController(QObject* parent = nullptr);
    // A worker still running is asked to stop and waited for.
    ~GameController() override;

    // The game. Change the world only while no worker plays it (and then Resume or
    // begin it through the session, so that the phase follows).
    GameSession& Session() { return m_conductor.Session(); }
    const GameSession& Session() const { return m_conductor.Session(); }
    const GameState& World() const { return m_conductor.World(); }
    TurnPhase Phase() const { return m_conductor.Session().Phase(); }
    // The conductor these signals are of.
    GameConductor& Conductor() { return m_conductor; }
    // The turn as it stands, and as last published (for any thread).
    const TurnDescription& Turn() { return m_conductor.Describe(); }
    std::shared_ptr<const TurnDescription> PublishedTurn() const { return m_conductor.Published(); }
    // The record of the game being played, made as it is played (docs/replay-format.md).
    GameRecorder& Recorder() { return *m_conductor.Recorder(); }

    // ---- New, load and save (the dialogs are the windows') ----

    // How strongly the computer plays in the games started from now on.
    void SetNewGameDifficulty(Difficulty difficulty) { m_conductor.SetNewGameDifficulty(difficulty); }
    Difficulty NewGameDifficulty() const { return m_conductor.NewGameDifficulty(); }
    // A new game on a starting world's country file: seats says who plays each ruler
    // (nobody: the game is watched), first is the player ruler a save names. The
    // computer's turns start. False, with the reason, when it cannot begin.
    bool NewGame(const QString& countryFile, const Seats& seats, RulerId first, QString* why);
    // The same for one person playing ruler.
    bool NewGame(const QString& countryFile, RulerId ruler, QString* why);
    // A saved game, its record taken up when one tied to it lies beside it; the
    // computer's turns start.
    bool LoadGame(const QString& path, QString* why);
    // What the last load set aside (a difficulty, seats or a record beside the save it
    // could not use), worded; emptied.
    QStringList TakeNotices();
    // Writes the game (and what goes beside it) with SaveCursor; gameSaved follows.
    bool SaveGame(const QString& path, QString* why);
    // The turn cursor a save stores now: before the command awaited one back, so that
    // loading the file gives the same turn again.
    int SaveCursor() const { return m_conductor.SaveCursor(); }
    // A game is in play and not over.
    bool CanSave() const { return m_conductor.CanSave(); }
    // A player's command (or rest) has been given since the game was begun, loaded or
    // last saved: leaving the game now loses it.
    bool UnsavedCommands() const { return m_conductor.UnsavedCommands(); }
    // New game and load wait until the computer's turns are over and the worker has
    // handed the turn back.
    bool CanStartGame() const { return m_conductor.CanStartGame(); }
    // A game played with other machines: no going back, no load in its place.
    bool Networked() const { return m_conductor.Networked(); }
    // The turn has been handed to a player (or the watched month is over) and the rest
    // has not been given: the game waits for a command (the worker may still be
    // finishing its last call).
    bool AtPlayersTurn() const;

    // ---- The players' commands ----

    // Carries out the command of the player whose turn it is (not the rest: Rest): the
    // status line says what came of it, a move done or a war shows its result, a war
    // that unifies the country ends the game. With one key a turn, a command that used
    // the turn up is followed by the rest at once. from: the seat it comes from (this
    // screen's, or a ruler's), refused when the turn is not his (GameConductor::Give).
    CommandResult Give(const PlayerCommand& command, RulerId from = GameConductor::kThisScreen);
    CommandResult Check(const PlayerCommand& command) const { return Session().Check(command); }
    // The rest: the computer's turns (those of a new or loaded game, too). False when
    // they cannot start now (a worker still runs, or no thread could be had: the
    // player has been told).
    bool Rest();
    // 残りを休養 (the conductor's): the rests of every country of the person whose turn
    // it is this month, one after another.
    bool RestRemaining() { return m_conductor.RestRemaining(); }
    bool CanRestRemaining() const { return m_conductor.CanRestRemaining(); }
    // When on, a command that uses the turn up is followed by the rest.
    void SetOneKeyTurn(bool on) { m_conductor.SetOneKeyTurn(on); }
    bool OneKeyTurn() const { return m_conductor.OneKeyTurn(); }
    // The status line as the game last said it (the windows word it in their language).
    const platform::Message& StatusWords() const { return m_conductor.StatusWords(); }
    // How the signals word the rules' texts (the windows' translation); by default the
    // Japanese text.
    void SetWording(std::function<QString(const platform::Message&)> wording) { m_wording = std::move(wording); }
    QString Words(const platform::Message& words) const;
    // Says the turn's words again (the country whose turn it is, its command to give).
    void SayTurnStatus();

    // ---- Seats ----

    // A ruler's seat changes hands (a person's ruler to the computer at a level or to
    // the advisor, and back): at once where the game stands still, else at its next
    // stop. The advisor plays its seats here, each command shown as a person's is.
    bool ChangeSeat(RulerId ruler, const Seat& seat) { return m_conductor.ChangeSeat(ruler, seat); }
    // His seat as it stands, or as a change waiting for the next stop leaves it.
    Seat SeatOf(RulerId ruler) const { return m_conductor.SeatOf(ruler); }

    // ---- Going back and records played back ----

    // The players' turns the record holds, and the number of the one being played
    // (0 the first; -1 when none is).
    std::size_t RecordedTurns() const { return m_conductor.RecordedTurns(); }
    int CurrentTurn() const { return m_conductor.CurrentTurn(); }
    // The number of the last turn before the current one of the person whose turn it
    // is; -1 when he has none (or none is at his turn).
    int PersonsLastTurn() { return m_conductor.PersonsLastTurn(); }
    // Back to the start of an earlier turn (where stop says), the game played again from
    // its record off screen; the record's later part is dropped, the files on disk stay
    // as they are. Only at a player's turn. False, with the reason, when it cannot.
    bool GoBack(const ReplayStop& stop, QString* why);
    // Back to the last turn of the person whose turn it is.
    bool GoBackOneTurn(QString* why);
    // Back to the turn of the country at year and month (この時点から再開).
    bool ResumeFrom(int year, int month, int country, QString* why);
    // A record played back in the game from its start, a step at a time at the step
    // time (paused: by StepReplay alone). False, with the reason, when it cannot be.
    bool StartReplay(RecordedGame record, QString* why);
    bool Replaying() const { return m_conductor.Replaying(); }
    void SetReplayStepTime(int milliseconds) { m_conductor.SetReplayStepTime(milliseconds); }
    void SetReplayPaused(bool paused) { m_conductor.SetReplayPaused(paused); }
    bool ReplayPaused() const { return m_conductor.ReplayPaused(); }
    // A record followed as it grows (a networked game's player).
    bool Following() const { return m_conductor.Following(); }
    void StepReplay() { m_conductor.StepReplay(); }

    // ---- Watching (nobody plays) ----

    // Between two months of a watched game (0: at once); the next starts by itself
    // unless paused.
    static constexpr int kWatchMs = 800;
    void SetWatchTime(int milliseconds) { m_conductor.SetWatchTime(milliseconds); }
    void SetWatchPaused(bool paused) { m_conductor.SetWatchPaused(paused); }
    bool WatchPaused() const { return m_conductor.WatchPaused(); }
    // The next month of a watched game, now.
    void StepWatch() { m_conductor.StepWatch(); }

    // Ends a running worker for good: it stops at its next step (a window it has open is
    // the windows' to close). Used when the program ends.
    void Stop();
    bool StopRequested() const { return m_conductor.StopRequested(); }
    // Stops a running worker and waits for it: before the windows that hear its events go.
    void EndWorker() { m_conductor.EndWorker(); }

    // The conductor's listener: on the interface thread (BattleMarked on the worker's).
    bool OnOwner(const std::function<void()>& call) override;
    void Described(const TurnDescription& turn) override;
    void TurnBegan(int country) override;
    void BattleMarked(int attacker, int target) override;
    void Say(const platform::Message& words, int milliseconds) override;
    void Tell(const platform::Message& words, int milliseconds) override;
    void Trouble(const platform::Message& words) override;
    void Status(const platform::Message& words) override;
    bool ShowBattle(BattleScript& script) override;
    void HandingOver(RulerId next) override;
    void TurnReached(int country) override;
    void TurnSettled() override;
    void PersonFell(RulerId ruler) override;
    void WatchPaused(bool paused) override;
    void ComputerTurnsStarted() override;
    void WorldReplaced(const std::string& savePath) override;
    void GameBegun() override;
    void CommandGiven(const PlayerCommand& command, const CommandResult& result) override;
    void GameWon() override;
    void GameEnded() override;
    void TurnTakenBack() override;
    void PlayerTurnPassed() override;
    void StepDue(int milliseconds) override;
    void ReplayEnded(const platform::Message& words) override;
    void Stopping() override;

signals:
    // The phase may have moved (a command, a rest, a turn reached, a game begun or
    // ended): menus and tool windows follow.
    void phaseChanged();
    // The world changed outside the computer's turns (a command, going back).
    void worldChanged();
    // The status line, worded.
    void statusChanged(const QString& text);
    // A message window: shown with the text for a time, returned from when closed.
    void message(const QString& text, int milliseconds);
    // A message box the player must close (something could not be done).
    void trouble(const QString& text);
    // A battle to fight on screen: fought is left true unless the window was abandoned.
    // With nobody connected the battle is fought at once.
    void battleToShow(BattleScript& script, bool& fought);
    // The turn passes from one person to another (two or more persons play): next's
    // turn begins once the receivers return.
    void handOver(RulerId next);
    // A person of a game of several has lost his last country, and the game goes on for
    // the others (once at most for each; the fall of the last is the game's end,
    // gameEnded). Emitted before the turn that follows is handed over.
    void personFell(RulerId ruler);
    // The battle between two computer rulers being fought (-1, -1: none). Emitted on the
    // worker's thread: connect directly and only store the figures.
    void battleMarked(int attacker, int target);
    // A watched game has been paused, or goes on.
    void watchPausedChanged(bool paused);
    // A computer country's turn begins.
    void turnBegan(int country);
    // The computer's turns have started.
    void computerTurnsStarted();
    // The worker handed the game back at country (a player's turn, a watched month's
    // end, or the end of the game): the windows' part of it. playerTurnReached follows
    // once the game's own part (its end told) is done.
    void turnReached(int country);
    void playerTurnReached();
    // The player's command has been given (the world may have changed).
    void commandGiven(const PlayerCommand& command, const CommandResult& result);
    // A new game (savePath empty) or a saved one is about to begin: the world has been
    // read, no worker runs, and nothing of the new game has been reported yet.
    void worldReplaced(const QString& savePath);
    // The game has begun: nothing of the last is marked.
    void gameBegun();
    // The game has been saved to path.
    void gameSaved(const QString& path);
    // The game is won: the victory is about to be told.
    void gameWon();
    // The game has ended, won or lost; its message has been shown.
    void gameEnded();
    // The game has gone back to an earlier turn (its events told again from the start);
    // the turn is about to begin.
    void turnTakenBack();
    // The turn's description changed.
    void turnDescribed();
    // A record played back has ended: at its end (words empty) or at a step the rules
    // refused (words say which).
    void replayEnded(const QString& words);
    // Going back, the game played again off screen has passed a player's turn (each but
    // the one it stops at): what follows the turns moves on as it did then.
    void playerTurnPassed();

private:
    void Show(const QString& text, int milliseconds);
    // The conductor's answer passed on: done, or false with its reason worded in why.
    bool Answered(bool done, const platform::Message& words, QString* why) const;

    GameConductor m_conductor{ComputerPlay::Background};
    platform::UiCaller m_caller;
    QTimer m_stepTimer; // the next month of a watched game, or step of a record
    std::function<QString(const platform::Message&)> m_wording;
    std::vector<platform::Message> m_notices; // what the last load set aside
};
