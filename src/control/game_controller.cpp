// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/game_controller.h"

#include <QMetaMethod>

#include "foresight/look_ahead_ruler.h"
#include "platform/path_bytes.h"
#include "platform/random.h"

namespace {
// The message window of the game's end, which waits as the prompts do.
constexpr int kEndMessageMs = 1000;

} // namespace

GameController::GameController(QObject* parent) : QObject(parent)
{
    m_recorder.Attach(m_session);
    planner = &foresight::DefaultPlanner(); // for the computer rulers who look ahead (達人)
    platform::SeedFromClock(m_session.world.commandRandom, m_session.world.clock);
    m_watchTimer.setSingleShot(true);
    connect(&m_watchTimer, &QTimer::timeout, this, &GameController::StepWatch);
}

GameController::~GameController() { EndWorker(); }

void GameController::EndWorker()
{
    if (m_session.Worker().Running()) {
        RequestStop();
        m_session.Worker().Join();
    }
}

QString GameController::Words(const platform::Message& words) const
{
    return m_wording ? m_wording(words) : QString::fromStdString(words.Text());
}

void GameController::SetStatus(const platform::Message& words)
{
    m_status = words;
    emit statusChanged(Words(words));
}

void GameController::Show(const platform::Message& words, int milliseconds)
{
    if (StopRequested())
        return; // the program is closing: nothing more is shown
    emit message(Words(words), milliseconds);
}

int GameController::Persons() const
{
    int persons = 0;
    for (const Seat& seat : World().seats)
        persons += seat.kind == SeatKind::Person;
    return persons;
}

void GameController::NoteFallen()
{
    for (RulerId r = 1; r < kRulerCount; ++r)
        m_fallen[static_cast<std::size_t>(r)] =
            World().seats[static_cast<std::size_t>(r)].kind == SeatKind::Person && !HoldsACountry(World(), r);
}

void GameController::TellFallen()
{
    if (Persons() < 2 || m_session.Ended())
        return; // one person's fall, or the last one's, ends the game
    for (RulerId r = 1; r < kRulerCount; ++r) {
        bool& told = m_fallen[static_cast<std::size_t>(r)];
        if (!told && World().seats[static_cast<std::size_t>(r)].kind == SeatKind::Person && !HoldsACountry(World(), r)) {
            told = true;
            emit personFell(r);
        }
    }
}

bool GameController::CanSave() const
{
    const TurnPhase phase = Phase();
    return phase != TurnPhase::NoGame && phase != TurnPhase::Won && phase != TurnPhase::Lost;
}

bool GameController::AtPlayersTurn() const { return m_atTurn; }

// ---- The worker's host ----

void GameController::TurnBegin(int country)
{
    m_caller.Call([&] { emit turnBegan(country); });
}

void GameController::MarkBattle(int attacker, int target) { emit battleMarked(attacker, target); }

void GameController::PlayerTurn(int country)
{
    m_caller.Call([&] {
        TurnReached(country);
        // The worker's last call: from here it only returns, so a new game may join it.
        m_workerHandedOver = true;
        emit phaseChanged();
    });
}

void GameController::ShowMessage(const platform::Message& words, int milliseconds)
{
    m_caller.Call([&] {
        // The computer's announcements replace the player's last result.
        SetStatus(words);
        Show(words, milliseconds);
    });
}

bool GameController::Present(BattleScript& script)
{
    bool fought = true;
    if (!m_caller.Call([&] {
            if (isSignalConnected(QMetaMethod::fromSignal(&GameController::battleToShow))) {
                emit battleToShow(script, fought);
            } else {
                script.Start();
                script.Finish();
            }
        }))
        return false;
    return fought && !StopRequested();
}

void GameController::OnStopRequested() { m_caller.Cancel(); }

void GameController::Stop() { RequestStop(); }

void GameController::TurnReached(int country)
{
    const TurnPhase phase = Phase();
    m_atTurn = phase != TurnPhase::Lost;
    TellFallen();
    const RulerId person = m_session.TurnRuler();
    if (person != 0 && person != m_lastPerson) {
        if (m_lastPerson != 0 && Persons() >= 2)
            emit handOver(person);
        m_lastPerson = person;
    }
    if (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::Won)
        SetStatus(TurnStatusWords(World(), country));
    else if (phase == TurnPhase::Lost)
        SetStatus(platform::Message(kGameOverMessage));
    emit turnReached(country);
    if (m_restingFor != 0) {
        // The rests go on while the turn is the same person's in the same month; the
        // next is given once the worker has handed the turn back.
        if (phase == TurnPhase::AwaitingCommand && person == m_restingFor &&
            World().year * 12 + World().month == m_restingMonth) {
            QTimer::singleShot(0, this, [this] {
                if (m_restingFor != 0 && CanRestRemaining() && m_session.TurnRuler() == m_restingFor && !Rest())
                    m_restingFor = 0;
            });
        } else {
            m_restingFor = 0;
        }
    }
    if (phase == TurnPhase::Watching && !m_watchPaused)
        m_watchTimer.start(m_watchMs);
    if (phase == TurnPhase::Lost) {
        Show(platform::Message(kGameOverMessage), kEndMessageMs);
        emit gameEnded();
    } else if (phase == TurnPhase::Won) {
        EndIfWon(); // a game loaded already won
    }
    emit playerTurnReached();
}

void GameController::EndIfWon()
{
    if (Phase() != TurnPhase::Won)
        return;
    m_atTurn = false;
    // The picture and the buttons of the end are in place under the message.
    SetStatus(platform::Message(kUnified));
    emit gameWon();
    emit phaseChanged();
    Show(m_status, kResultMessageMs);
    emit gameEnded();
}

// ---- The players' commands ----

bool GameController::Rest()
{
    // Joining a worker that still waits on this thread would never return.
    if (WorkerActive())
        return false;
    m_session.Worker().Join(); // the last worker has handed over; it ends at once
    m_workerHandedOver = false;
    // At a player's turn the rest is his command; a new or loaded game hands over to the
    // computer at once.
    const bool atTurn = Phase() != TurnPhase::ComputerTurns;
    const bool playersRest = Phase() == TurnPhase::AwaitingCommand || Phase() == TurnPhase::CommandGiven;
    const CommandResult rest = atTurn ? m_session.Apply(command::Rest{}) : CommandResult{};
    const bool started = atTurn ? rest.refusal == CommandRefusal::None : m_session.StartComputerTurns();
    if (!started) {
        // No thread for the computer: the game waits where it is, for another try.
        emit phaseChanged();
        if (!atTurn || !rest.words.empty())
            emit trouble(Words(GameSession::NoWorkerWords()));
        return false;
    }
    m_atTurn = false;
    m_unsaved = m_unsaved || playersRest;
    emit computerTurnsStarted();
    emit phaseChanged();
    return true;
}

CommandResult GameController::Give(const PlayerCommand& command)
{
    const CommandResult result = m_session.Apply(command);
    if (result.abandoned)
        return result; // the battle window was closed because the program is ending
    m_unsaved = m_unsaved || result.done;
    const bool domestic = std::holds_alternative<command::Domestic>(command);
    const bool war = std::holds_alternative<command::War>(command);
    if (!domestic ||
        (result.refusal != CommandRefusal::NotNow && result.refusal != CommandRefusal::NotTurnCountry))
        SetStatus(result.words);
    emit commandGiven(command, result);
    emit worldChanged();
    emit phaseChanged();
    if (war || (std::holds_alternative<command::Move>(command) && result.done))
        Show(m_status, kResultMessageMs);
    if (war && !StopRequested())
        EndIfWon();
    if (war && result.done && !StopRequested())
        TellFallen(); // his last country taken by another person
    if (m_oneKeyTurn && result.done && Phase() == TurnPhase::CommandGiven && !StopRequested())
        Rest();
    return result;
}

bool GameController::CanRestRemaining() const
{
    const TurnPhase phase = Phase();
    return AtPlayersTurn() && !WorkerActive() &&
           (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::CommandGiven);
}

bool GameController::RestRemaining()
{
    if (!CanRestRemaining())
        return false;
    m_restingFor = m_session.TurnRuler();
    m_restingMonth = World().year * 12 + World().month;
    if (!Rest()) {
        m_restingFor = 0;
        return false;
    }
    return true;
}

void GameController::SetWatchPaused(bool paused)
{
    const bool changed = paused != m_watchPaused;
    m_watchPaused = paused;
    if (changed)
        emit watchPausedChanged(paused);
    if (paused)
        m_watchTimer.stop();
    else if (Phase() == TurnPhase::Watching && AtPlayersTurn())
        m_watchTimer.start(m_watchMs);
}

void GameController::StepWatch()
{
    m_watchTimer.stop();
    if (Phase() == TurnPhase::Watching && AtPlayersTurn())
        Rest();
}

void GameController::SayTurnStatus() { SetStatus(TurnStatusWords(World(), World().turnCountry)); }

// ---- New game, save and load ----

void GameController::Begin()
{
    m_watchTimer.stop();
    m_restingFor = 0;
    m_atTurn = false;
    m_lastPerson = 0;
    m_unsaved = false;
    NoteFallen();
    m_status = {};
    emit gameBegun();
    emit statusChanged(QString());
    Rest();
}

bool GameController::NewGame(const QString& countryFile, const Seats& seats, RulerId first, QString* why)
{
    if (!CanStartGame())
        return false;
    const LoadOutcome loaded = m_session.ReadWorld(platform::PathToBytes(countryFile), CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        if (why)
            *why = Words(loaded.words);
        return false;
    }
    m_session.world.difficulty = m_newGameDifficulty;
    emit worldReplaced(QString());
    m_session.world.playerRuler = first;
    m_session.world.seats = seats;
    m_session.BeginGame(false);
    Begin();
    return true;
}

bool GameController::NewGame(const QString& countryFile, RulerId ruler, QString* why)
{
    Seats seats{};
    if (ruler > 0 && ruler < kRulerCount)
        seats[static_cast<std::size_t>(ruler)].kind = SeatKind::Person;
    return NewGame(countryFile, seats, ruler, why);
}

bool GameController::LoadGame(const QString& path, QString* why)
{
    if (!CanStartGame())
        return false;
    const LoadOutcome loaded = m_session.ReadWorld(platform::PathToBytes(path), CountryFileUse::SavedGame);
    if (loaded.status != LoadStatus::Loaded) {
        if (why)
            *why = Words(loaded.words);
        return false;
    }
    emit worldReplaced(path);
    m_session.BeginGame(true);
    Begin();
    return true;
}

bool GameController::SaveGame(const QString& path, QString* why)
{
    if (!CanSave())
        return false;
    std::string error;
    if (!m_session.SaveGame(platform::PathToBytes(path), SaveCursor(), &error)) {
        if (why)
            *why = Words(platform::Message(error.c_str()));
        return false;
    }
    m_unsaved = false;
    emit gameSaved(path);
    return true;
}

// ---- Going back and records played back ----

int GameController::CurrentTurn() const
{
    if (!AtPlayersTurn())
        return -1;
    return static_cast<int>(RecordedTurns()) - 1;
}

int GameController::PersonsLastTurn()
{
    const int current = CurrentTurn();
    if (current < 1)
        return -1;
    const RulerId person = m_session.TurnRuler();
    if (Persons() < 2 || person == 0)
        return current - 1; // every turn of the record is his
    // Whose each earlier turn was, from the record played again off screen.
    QuietGame replay;
    replay.Session().Host().planner = planner;
    int last = -1;
    int turn = 0;
    ReplayStop stop;
    stop.wanted = [&](const GameState& at) {
        if (turn >= current)
            return true;
        const int c = at.turnCountry;
        if (GameState::IsCountryIndex(c) && at.countries[static_cast<std::size_t>(c)].GetRuler() == person)
            last = turn;
        ++turn;
        return false;
    };
    const ReplayOutcome outcome = ReplayRecord(replay.Session(), m_recorder.Record(), stop);
    return outcome.played ? last : -1;
}

bool GameController::GoBackOneTurn(QString* why)
{
    const int turn = PersonsLastTurn();
    if (turn < 0) {
        if (why)
            *why = tr("戻れる手番がありません");
        return false;
    }
    ReplayStop stop;
    stop.playerTurn = static_cast<std::size_t>(turn);
    return GoBack(stop, why);
}

bool GameController::GoBack(const ReplayStop& stop, QString* why)
{
    auto refuse = [why](QString reason) {
        if (why)
            *why = std::move(reason);
        return false;
    };
    if (CurrentTurn() < 0 || !CanStartGame())
        return refuse(tr("ﾌﾟﾚｲﾔｰの手番にだけ戻れます"));
    const RecordedGame record = m_recorder.Record();
    if (stop.playerTurn && *stop.playerTurn >= PlayerTurnsOf(record))
        return refuse(tr("その手番は記録にありません"));

    // The game again from its start on a world of its own, its events told to whoever
    // hears this game's (the chronicle begins again).
    emit worldReplaced(QString());
    QuietGame replay;
    replay.Session().Host().planner = planner; // a game at 達人 looks ahead as it did
    for (EventObserver* observer : m_session.events.Observers())
        replay.Session().events.Add(observer);
    // Each turn passed over is told, as it would be when played.
    ReplayStop passing = stop;
    passing.wanted = [this, &stop](const GameState& at) {
        if (stop.wanted && stop.wanted(at))
            return true;
        emit playerTurnPassed();
        return false;
    };
    const ReplayOutcome outcome = ReplayRecord(replay.Session(), record, passing);
    replay.Session().events.Clear();
    if (!outcome.played)
        return refuse(Words(outcome.words));
    if (!outcome.stopped) // the record's end: the game as it stands
        return refuse(tr("その手番は記録にありません"));

    // From here the game goes on as it went then: the clock after the last reading taken,
    // the record without what followed.
    GameState& world = replay.Session().world;
    world.clock.EndFeed();
    m_session.world = world;
    m_session.Resume();
    m_recorder.Replace(RecordUpTo(record, outcome.at));
    m_workerHandedOver = true;
    m_lastPerson = 0;
    m_restingFor = 0;
    NoteFallen();
    emit gameBegun();
    emit turnTakenBack();
    emit worldChanged();
    TurnReached(World().turnCountry);
    emit phaseChanged();
    return true;
}

bool GameController::BeginRecordedGame(const RecordStart& start,
                                       std::shared_ptr<const std::vector<std::int64_t>> readings, QString* why)
{
    if (!CanStartGame()) {
        if (why)
            *why = tr("ｺﾝﾋﾟｭｰﾀｰの手番が終わるまでお待ちください");
        return false;
    }
    emit worldReplaced(QString());
    platform::Message words;
    if (!BeginRecordedStart(m_session, start, std::move(readings), &words)) {
        if (why)
            *why = Words(words);
        return false;
    }
    Begin();
    return true;
}

void GameController::PlayRecordedCommand(const PlayerCommand& command)
{
    if (std::holds_alternative<command::Rest>(command)) {
        const bool unsaved = m_unsaved;
        Rest();
        m_unsaved = unsaved;
        return;
    }
    const bool oneKey = m_oneKeyTurn;
    const bool unsaved = m_unsaved;
    m_oneKeyTurn = false; // the record has its rests of its own
    Give(command);
    m_oneKeyTurn = oneKey;
    m_unsaved = unsaved; // the record's command, not the player's
}

void GameController::EndRecordedPlay()
{
    if (CanStartGame())
        m_session.world.clock.EndFeed();
}
