// SPDX-License-Identifier: GPL-3.0-or-later
// One game as every front end plays it: the session with its record, the turn worker's
// host, new, load and save, the players' commands and the choice of their targets,
// going back to an earlier turn, a record played step by step, a game watched month by
// month, and the end of the game. It keeps the turn's stage (the one place it is kept)
// and describes the turn (TurnDescription) for every front end to read. The windows'
// GameController is the Qt signals over it, the page's WebGame its JSON and the
// headless runner its printout; none of them drives the session around it.
//
// Threads: its calls are made on the thread that owns it (the windows' interface
// thread). The worker's calls reach the front end through the listener's OnOwner, which
// runs them there while the worker waits; the description last published may be read
// from any thread (Published).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "conduct/seat_role.h"
#include "conduct/turn_description.h"
#include "foresight/resting_game.h"
#include "model/game_state.h"
#include "platform/message.h"
#include "rules/commands.h"
#include "rules/turn_host.h"
#include "session/game_record.h"
#include "session/game_replay.h"
#include "session/game_session.h"
#include "session/player_command.h"

// What a front end hears from its conductor. Every call but BattleMarked comes on the
// owner's thread; each has a default that shows nothing.
class ConductorListener {
public:
    // Runs call on the owner's thread and returns when it has run, the worker waiting
    // (the windows' interface thread); false when it did not run because the program is
    // ending. By default at once, on the calling thread.
    virtual bool OnOwner(const std::function<void()>& call)
    {
        call();
        return true;
    }
    // The turn's description changed (its sequence is larger than the last told).
    virtual void Described(const TurnDescription& description) { (void)description; }
    // A computer country's turn begins.
    virtual void TurnBegan(int country) { (void)country; }
    // The battle between two computer rulers being fought (-1, -1: none); on the
    // worker's thread: only store the figures.
    virtual void BattleMarked(int attacker, int target)
    {
        (void)attacker;
        (void)target;
    }
    // A message window of the computer's turns with the words for a time; returns when
    // it has closed.
    virtual void Say(const platform::Message& words, int milliseconds)
    {
        (void)words;
        (void)milliseconds;
    }
    // The same for what the conductor itself tells: a command's result, the prompt of a
    // choice, the end of the game.
    virtual void Tell(const platform::Message& words, int milliseconds)
    {
        (void)words;
        (void)milliseconds;
    }
    // Something could not be done (a message box the player closes).
    virtual void Trouble(const platform::Message& words) { (void)words; }
    // The status line, in the game's words.
    virtual void Status(const platform::Message& words) { (void)words; }
    // A battle to show: fought at once when not shown. False when the window was
    // abandoned (the program is ending).
    virtual bool ShowBattle(BattleScript& script)
    {
        script.Start();
        script.Finish();
        return true;
    }
    // The turn passes from one person to another at the one screen: next's turn begins
    // once this returns.
    virtual void HandingOver(RulerId next) { (void)next; }
    // The worker handed the game back at country: a person's turn, a watched month's
    // end, or the end of the game (told by GameEnded after).
    virtual void TurnReached(int country) { (void)country; }
    // The game's own part of a turn reached is done (its end told).
    virtual void TurnSettled() {}
    // A person of a game of several has lost his last country and the game goes on for
    // the others (once at most for each): told before the turn that follows is handed over.
    virtual void PersonFell(RulerId ruler) { (void)ruler; }
    // A watched game has been paused, or goes on.
    virtual void WatchPaused(bool paused) { (void)paused; }
    // The computer's turns have started.
    virtual void ComputerTurnsStarted() {}
    // A new game or a saved one is about to begin (savePath empty for a new one): the
    // world has been read, no worker runs, nothing of it has been reported yet.
    virtual void WorldReplaced(const std::string& savePath) { (void)savePath; }
    // The game has begun: nothing of the last is marked.
    virtual void GameBegun() {}
    // A command has been given (the world may have changed).
    virtual void CommandGiven(const PlayerCommand& command, const CommandResult& result)
    {
        (void)command;
        (void)result;
    }
    // The game is won: the victory is about to be told.
    virtual void GameWon() {}
    // The game has ended, won or lost; its message has been said.
    virtual void GameEnded() {}
    // The game has gone back to an earlier turn (its events told again from the start).
    virtual void TurnTakenBack() {}
    // Going back, the game played again off screen passed a player's turn.
    virtual void PlayerTurnPassed() {}
    // Call StepWatch (a watched game) or StepReplay (a record played back) after so many
    // milliseconds, unless something else happens first; a negative time takes the
    // last such wish back.
    virtual void StepDue(int milliseconds) { (void)milliseconds; }
    // The program is ending: a call waiting for the owner's thread should give up.
    virtual void Stopping() {}
    // A record played back has ended (its end, or a step the rules refused: words say
    // which, empty at its end).
    virtual void ReplayEnded(const platform::Message& words) { (void)words; }

protected:
    ~ConductorListener() = default;
};

class GameConductor : public TurnHost {
public:
    // play says where the computer's turns run; recording, whether the game keeps its
    // record as it is played (the windows and the page do; the headless game when asked).
    explicit GameConductor(ComputerPlay play = ComputerPlay::Here, bool recording = true);
    // A worker still running is asked to stop and waited for.
    ~GameConductor();
    GameConductor(const GameConductor&) = delete;
    GameConductor& operator=(const GameConductor&) = delete;

    // Who hears the game. describing: each change is described and told (Described); a
    // front end that reads the description only now and then (the headless game) leaves
    // it off and calls Describe. marshalling: the worker runs on a thread of its own and
    // its calls go through the listener's OnOwner.
    void SetListener(ConductorListener* listener, bool describing = true, bool marshalling = false)
    {
        m_listener = listener ? listener : &m_quiet;
        m_describing = describing;
        m_marshalling = marshalling;
    }

    // The game. Change the world only through the conductor while it is in play.
    GameSession& Session() { return m_session; }
    const GameSession& Session() const { return m_session; }
    const GameState& World() const { return m_session.world; }
    // The record of the game being played, made as it is played; nullptr when not kept.
    GameRecorder* Recorder() { return m_recorder ? &*m_recorder : nullptr; }
    const GameRecorder* Recorder() const { return m_recorder ? &*m_recorder : nullptr; }

    // ---- The turn described ----

    // The turn as it stands, described now (on the owner's thread). A description is
    // made again only when something has changed since the last.
    const TurnDescription& Describe();
    // The description last published, for any thread: made on the owner's thread and
    // never changed after (empty stage NoGame before the first).
    std::shared_ptr<const TurnDescription> Published() const;
    // Described again now, whatever has changed (the figures a tooltip shows, which the
    // computer's turns change without a word).
    const TurnDescription& Redescribe()
    {
        ++m_changes;
        return Describe();
    }
    TurnStage Stage() const;

    // ---- New, load and save ----

    void SetNewGameDifficulty(Difficulty difficulty) { m_newGameDifficulty = difficulty; }
    Difficulty NewGameDifficulty() const { return m_newGameDifficulty; }
    // A new game on a starting world's country file: seats say who plays each ruler
    // (nobody: the game is watched), first is the player ruler a save names. The
    // computer's turns start. False, with the reason, when it cannot begin.
    bool NewGame(const std::string& countryFile, const Seats& seats, RulerId first, platform::Message* why);
    // A saved game, its record taken up when one tied to it lies beside it; the
    // computer's turns start. notices receives what was set aside (a difficulty, seats
    // or a record kept beside the save that could not be used).
    bool LoadGame(const std::string& path, platform::Message* why, std::vector<platform::Message>* notices = nullptr);
    // The world read by other means begins (a front end's own set-up): reported, and
    // the computer's turns start unless play is off (the headless loop starts them).
    void BeginGame(bool loaded, bool play = true);
    // New games and loads wait until the worker has handed the turn back.
    bool CanStartGame() const { return !WorkerActive(); }
    // A game is in play and not over.
    bool CanSave() const;
    // A person's command (or rest) has been given since the game was begun, loaded or
    // last saved: leaving the game now loses it.
    bool UnsavedCommands() const { return m_unsaved && CanSave(); }
    // The turn has been handed to a person (or a watched month has ended) and the rest
    // has not been given.
    bool AtTurn() const { return m_atTurn; }
    // The cursor a save made now stores: before the command awaited one back, so that
    // loading the file gives the same turn again; a record played to its end tied to a
    // save stores that save's.
    std::int32_t SaveCursor() const;
    // Writes the game with SaveCursor, and what goes beside it; with the record, the
    // record tied to the save beside it (NAME.record). False with the reason.
    bool SaveGame(const std::string& path, platform::Message* why, bool withRecord = true);
    // The record as it stands, tied to the save of bytes saveBytes stored with cursor.
    RecordedGame RecordTiedTo(const std::string& saveBytes, std::int32_t cursor) const;

    // ---- The players' commands ----

    // Carries out the command of the person whose turn it is (not the rest: Rest): the
    // status says what came of it, a move done or a war says its result, a war that
    // unifies the country ends the game. With one key a turn, a command that used the
    // turn up is followed by the rest at once. from is the seat the command comes from:
    // 0 this screen (the windows, the page), else a ruler (the page's field, another
    // machine). A command from a seat whose turn it is not, or whose seat chooses its
    // own commands, is refused (CommandRefusal::NotYourTurn) with the reason.
    CommandResult Give(const PlayerCommand& command, RulerId from = kThisScreen);
    static constexpr RulerId kThisScreen = 0;
    // Why a command from the seat from would be refused now; empty when it would not.
    platform::Message SeatRefusal(RulerId from) const;
    // The command of a turn command of the turn country (a move or a war to target, of
    // amounts for a move).
    PlayerCommand CommandOf(TurnCommand command, int target = -1, const MoveAmounts& amounts = {}) const;
    // The rest: the computer's turns (those of a new or loaded game, too). False when
    // they cannot start now (a worker still runs, or no thread could be had: said).
    bool Rest();
    // 残りを休養: the rest for the country whose turn it is and then for every other
    // country of the same person this month, each recorded as a rest; it stops at
    // another person's turn (a hand-over), at the next month and at the end of the
    // game (each next rest when the listener's StepDue says). A joined seat's rests go
    // to the host one by one, each once the record has brought his turn back. False
    // when it cannot begin now.
    bool RestRemaining();
    bool CanRestRemaining() const;
    // The step the listener's StepDue asked for: the next rest of 残りを休養, the next
    // step of a record played back or the next month of a watched game.
    void Step();
    // One key a turn: a command that uses the turn up is followed by the rest (a joined
    // seat's, once the record has brought the command back).
    void SetOneKeyTurn(bool on) { m_oneKeyTurn = on; }
    bool OneKeyTurn() const { return m_oneKeyTurn; }
    // The status as the game last said it.
    const platform::Message& StatusWords() const { return m_status; }
    // Says the turn's line again.
    void SayTurnStatus();

    // The choice of a move's or a war's target begins (at a person's turn before his
    // command). A war the country cannot pay for is refused here, before a target is
    // chosen: false, and the status says why.
    bool BeginChoice(TurnCommand command);
    // The choice is taken back: the turn as it was.
    void CancelChoice();
    // The choice has been made (the target is the front end's to give with the command).
    void EndChoice();

    // The end of a game won or lost has been seen: the screen is the map's again.
    void PutEndAway();

    // ---- Seats ----

    // The seats that choose their own commands are played here at their turns (the
    // advisor's command shown as a person's is, then the rest), each step when the
    // listener's StepDue says; off, the front end plays them (the headless loop, PlayOn).
    void SetPlaysSeats(bool on) { m_playsSeats = on; }
    // The advisor's options when it plays a seat here.
    void SetSeatAdvice(const foresight::AdviceOptions& advice) { m_seatAdvice = advice; }
    // A ruler's seat changes hands (a step of the record): at once where the game
    // stands still, else at its next stop (a player's turn, a watched month's end).
    // A turn left to a seat that chooses its commands is played by it. False when no
    // game is in play, the game has ended, a record plays, or the seat is the one he
    // has (or will have).
    bool ChangeSeat(RulerId ruler, const Seat& seat);
    // The seat of ruler as it stands, or as a change waiting for the next stop leaves it.
    Seat SeatOf(RulerId ruler) const;
    // A seat whose command is being chosen (the advisor thinking).
    bool SeatChoosing() const { return m_seatChoice != nullptr; }

    // ---- Going back ----

    // The players' turns the record holds, and the number of the one being played (0
    // the first; -1 when none is).
    std::size_t RecordedTurns() const;
    int CurrentTurn() const;
    // The number of the last turn before the current one of the person whose turn it
    // is; -1 when he has none.
    int PersonsLastTurn();
    // Back to an earlier turn (where stop says), the game played again from its record
    // off screen; the record's later part is dropped. Only at a player's turn.
    bool GoBack(const ReplayStop& stop, platform::Message* why);
    // A game played with other machines: going back is refused (the description says so).
    void SetNetworked(bool networked);
    bool Networked() const { return m_networked; }
    bool GoBackOneTurn(platform::Message* why);
    // Back to the turn of the country at year and month (この時点から再開).
    bool ResumeFrom(std::int32_t year, std::int32_t month, int country, platform::Message* why);

    // ---- A record played back ----

    // Plays a record in this game from its start, a step at a time (StepReplay, when
    // the listener's StepDue says). Refused whole, with the reason, when a step of it is
    // refused by the rules.
    bool StartReplay(RecordedGame record, platform::Message* why);
    bool Replaying() const { return m_replay.has_value(); }
    // The next step of the record now.
    void StepReplay();
    // Between two commands of a record played back.
    void SetReplayStepTime(int milliseconds) { m_replayMs = milliseconds; }
    // Not while a record is followed: it is played as it comes.
    void SetReplayPaused(bool paused);
    bool ReplayPaused() const { return m_replayPaused; }
    // A record played to its end at once, off screen: the game goes on from where it ends
    // (the page's replay). Plays with the listener told nothing of the turns.
    ReplayOutcome PlayRecordThrough(const RecordedGame& record, const ReplayStop& stop = {},
                                    const std::function<void()>& atLastStep = {});

    // ---- A record that grows (a networked game's player) ----

    // Adds more of a record to the one followed: its readings from firstReading on and
    // its steps from firstStep on (what is held past them is dropped; a step already
    // played is never taken back). fresh: the record begins anew, and the game with it.
    // False, with the reason, when the part leaves a gap or would change a step played.
    bool Follow(const RecordedGame& part, std::size_t firstReading, std::size_t firstStep, bool fresh,
                platform::Message* why);
    // Plays the next step held, as a record played back plays it; false when none is
    // held, the game cannot take it now (a worker runs), or the rules refused it (why).
    bool FollowStep(platform::Message* why);
    bool Following() const { return m_following; }
    // What is held now is the past (a record begun anew, a player joined again): it is
    // played at once, off screen (no pause between steps, no battle or message shown),
    // and the window shows where it ends. A record begun anew is caught up by itself.
    void CatchUp();
    bool CatchingUp() const;
    // The record followed as it is held; nullptr when none is.
    const RecordedGame* Followed() const { return m_following && m_replay ? &*m_replay : nullptr; }
    // The steps played and the readings and steps held.
    std::size_t FollowedSteps() const { return m_following ? m_nextStep : 0; }
    std::size_t HeldReadings() const { return m_following && m_replay ? m_replay->readings.size() : 0; }
    std::size_t HeldSteps() const { return m_following && m_replay ? m_replay->steps.size() : 0; }
    // This screen plays seat in the record followed (a player joined to another
    // machine's game; 0: none, the seats at this screen are the persons'): once every
    // step held has been played, his turn is offered here as a person's, each command
    // checked by the rules and given to send instead of carried out (the record brings
    // it back when it has been taken). Nobody else's turn is handed over here.
    void SetJoinedSeat(RulerId seat, std::function<void(const PlayerCommand&)> send);
    RulerId JoinedSeat() const { return m_joinedSeat; }
    // The joined seat's turn waits here for his command or his rest.
    bool JoinedTurn() const;
    // The remote seat whose turn the followed game, every step held played, waits for:
    // the joined seat's own or another player's (0: none).
    RulerId RemoteTurnAwaited() const;
    // What was sent was not taken: the turn is his again, and the status says why.
    void JoinedRefused(const platform::Message& words);

    // ---- Watching (nobody plays) ----

    static constexpr int kWatchMs = 800;
    void SetWatchTime(int milliseconds) { m_watchMs = milliseconds; }
    void SetWatchPaused(bool paused);
    bool WatchPaused() const { return m_watchPaused; }
    void StepWatch();

    // ---- Without windows ----

    // Plays on with the persons resting (or advised) as the headless game does, until
    // the options say; the computer's turns on the calling thread. Each player's seat
    // chooses his command (SeatCommands) unless the options choose.
    foresight::PlayOnOutcome PlayOn(const foresight::PlayOnOptions& options);

    // Ends a running worker for good (the program is ending).
    void Stop() { RequestStop(); }
    // Stops a running worker and waits for it.
    void EndWorker();

    // TurnHost: called by the worker.
    void TurnBegin(int country) override;
    void MarkBattle(int attacker, int target) override;
    void PlayerTurn(int country) override;
    void ShowMessage(const platform::Message& words, int milliseconds) override;
    bool Present(BattleScript& script) override;

protected:
    void OnStopRequested() override { m_listener->Stopping(); }

public:
    // The stage's reason why a command does not act, for a stage at which none does.
    static platform::Message StageReason(TurnStage stage, TurnCommand command, bool commandGiven);

private:
    bool WorkerActive() const { return m_session.WorkerRunning() && !m_workerHandedOver; }
    // The commands of ruler's turn are given at this screen.
    bool AtThisScreen(RulerId ruler) const;
    // The rest carried out here (Rest sends a joined seat's instead).
    bool RestHere();
    void SetStatus(const platform::Message& words);
    void Tell(const platform::Message& words, int milliseconds);
    // The time between two steps of a record played back (-1: paused).
    int ReplayPace() const;
    // Something the description shows has changed: told to the listener.
    void Changed();
    TurnDescription Make() const;
    // The owner's part of the worker's hand-over.
    void Reached(int country);
    void Begin();
    void EndIfWon();
    void EndReplay(const platform::Message& words);
    // The persons who have no country now, and each newly fallen told (PersonFell).
    void NoteFallen();
    void TellFallen();
    // The persons at this screen (the hand-over is between them).
    bool SeveralAtScreen() const { return SeveralPersons(World().seats); }
    // The changes of hands asked for while the computer moved, made now.
    void MakeWaitingChanges();
    // The seat of the ruler whose turn it is begins to choose his command, when it
    // chooses its own (the advisor; the computer's rest).
    void PlaySeat();
    void StepSeat();
    void ForgetSeatPlay();
    CommandResult GiveHere(const PlayerCommand& command);
    // Runs call as the owner: through the listener when the worker has a thread of its own.
    // The call made here costs no more than a plain call: the worker makes one at every
    // computer country's turn.
    template <typename Call>
    bool AsOwner(const Call& call)
    {
        if (!m_marshalling) [[likely]] {
            call();
            return true;
        }
        return Marshalled(call);
    }
    template <typename Call>
    [[gnu::noinline]] bool Marshalled(const Call& call)
    {
        return m_listener->OnOwner(call);
    }

    struct Quiet : ConductorListener {} m_quiet;
    ConductorListener* m_listener = &m_quiet;
    bool m_describing = false;
    bool m_networked = false;
    bool m_marshalling = false;
    std::optional<GameRecorder> m_recorder;
    GameSession m_session;
    Difficulty m_newGameDifficulty = Difficulty::Normal;
    bool m_workerHandedOver = true;
    bool m_oneKeyTurn = false;
    bool m_atTurn = false; // the turn has been handed to a player (or a watched month ended)
    bool m_battle = false;
    bool m_reaching = false; // the worker's hand-over is being handled
    bool m_handingOver = false;
    bool m_endPutAway = false;
    bool m_unsaved = false;
    std::array<bool, kRulerCount> m_fallen{}; // persons whose fall has been told
    TurnStage m_choosing = TurnStage::Command; // ChoosingMove or ChoosingWar while a target is chosen
    // The last person at this screen whose turn it was: the turn passing from him to
    // another is handed over.
    RulerId m_lastPerson = 0;
    bool m_playsSeats = false;
    foresight::AdviceOptions m_seatAdvice;
    std::unique_ptr<SeatDecision> m_seatChoice;
    bool m_seatGave = false; // the seat's command has been given: the rest is next
    std::vector<SeatChange> m_waitingChanges;
    // 残りを休養 going on: for this person, in this month (year * 12 + month); 0 none.
    RulerId m_restingFor = 0;
    int m_restingMonth = 0;
    RulerId m_previous = 0;
    platform::Message m_status;
    // A record tied to a save, played to its end: a save made before anything else
    // happens gives that save again, cursor and all. -2: none.
    std::int32_t m_tiedCursor = -2;
    int m_watchMs = kWatchMs;
    bool m_watchPaused = false;
    std::optional<RecordedGame> m_replay;
    std::shared_ptr<const std::vector<std::int64_t>> m_readings;
    std::size_t m_nextStep = 0;
    bool m_replayBeginning = false;
    bool m_replayPaused = false;
    bool m_following = false; // the record played grows: its end is waited at
    bool m_followWaiting = false; // every step held has been played: more is waited for
    RulerId m_joinedSeat = 0;
    std::function<void(const PlayerCommand&)> m_sendJoined;
    std::size_t m_catchUpTo = 0; // the steps followed are played off screen up to here
    std::optional<std::size_t> m_joinedSentAt; // the steps held when his last was sent
    platform::Message m_replayEndWords;
    int m_replayMs = 800;

    std::uint64_t m_changes = 1; // owner's thread
    std::uint64_t m_describedAt = 0;
    TurnDescription m_description;
    mutable std::mutex m_publishedMutex;
    std::shared_ptr<const TurnDescription> m_published;
};
