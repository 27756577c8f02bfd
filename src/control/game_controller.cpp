// SPDX-License-Identifier: GPL-3.0-or-later
#include "control/game_controller.h"

#include <QMetaMethod>

#include "platform/path_bytes.h"
#include "platform/random.h"

GameController::GameController(QObject* parent) : QObject(parent)
{
    platform::SeedFromClock(Session().world.commandRandom, Session().world.clock);
    m_conductor.SetListener(this, true, true);
    m_conductor.SetPlaysSeats(true);
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] { m_conductor.Step(); });
}

GameController::~GameController()
{
    m_conductor.EndWorker();
    m_conductor.SetListener(nullptr);
}

QString GameController::Words(const platform::Message& words) const
{
    return m_wording ? m_wording(words) : QString::fromStdString(words.Text());
}

void GameController::Show(const QString& text, int milliseconds)
{
    if (StopRequested())
        return; // the program is closing: nothing more is shown
    emit message(text, milliseconds);
}

bool GameController::Answered(bool done, const platform::Message& words, QString* why) const
{
    if (!done && why && !words.empty())
        *why = Words(words);
    return done;
}

void GameController::Stop() { m_conductor.Stop(); }

bool GameController::AtPlayersTurn() const { return m_conductor.AtTurn(); }

// ---- What the conductor tells ----

bool GameController::OnOwner(const std::function<void()>& call) { return m_caller.Call(call); }

void GameController::Stopping() { m_caller.Cancel(); }

void GameController::Described(const TurnDescription&)
{
    emit turnDescribed();
    emit phaseChanged();
}

void GameController::TurnBegan(int country) { emit turnBegan(country); }

void GameController::BattleMarked(int attacker, int target) { emit battleMarked(attacker, target); }

void GameController::Say(const platform::Message& words, int milliseconds) { Show(Words(words), milliseconds); }

void GameController::Tell(const platform::Message& words, int milliseconds) { Show(Words(words), milliseconds); }

void GameController::Trouble(const platform::Message& words) { emit trouble(Words(words)); }

void GameController::Status(const platform::Message& words) { emit statusChanged(words.empty() ? QString() : Words(words)); }

bool GameController::ShowBattle(BattleScript& script)
{
    bool fought = true;
    if (isSignalConnected(QMetaMethod::fromSignal(&GameController::battleToShow))) {
        emit battleToShow(script, fought);
    } else {
        script.Start();
        script.Finish();
    }
    return fought;
}

void GameController::HandingOver(RulerId next) { emit handOver(next); }

void GameController::TurnReached(int country) { emit turnReached(country); }

void GameController::TurnSettled() { emit playerTurnReached(); }

void GameController::PersonFell(RulerId ruler) { emit personFell(ruler); }

void GameController::WatchPaused(bool paused) { emit watchPausedChanged(paused); }

void GameController::ComputerTurnsStarted() { emit computerTurnsStarted(); }

void GameController::WorldReplaced(const std::string& savePath)
{
    emit worldReplaced(savePath.empty() ? QString() : platform::PathFromBytes(savePath));
}

void GameController::GameBegun() { emit gameBegun(); }

void GameController::CommandGiven(const PlayerCommand& command, const CommandResult& result)
{
    emit commandGiven(command, result);
    emit worldChanged();
}

void GameController::GameWon() { emit gameWon(); }

void GameController::GameEnded() { emit gameEnded(); }

void GameController::TurnTakenBack()
{
    emit turnTakenBack();
    emit worldChanged();
}

void GameController::PlayerTurnPassed() { emit playerTurnPassed(); }

void GameController::StepDue(int milliseconds)
{
    if (milliseconds < 0)
        m_stepTimer.stop();
    else
        m_stepTimer.start(milliseconds);
}

void GameController::ReplayEnded(const platform::Message& words)
{
    emit replayEnded(words.empty() ? QString() : Words(words));
}

// ---- Commands, new, load and save ----

bool GameController::Rest() { return m_conductor.Rest(); }

CommandResult GameController::Give(const PlayerCommand& command, RulerId from)
{
    return m_conductor.Give(command, from);
}

void GameController::SayTurnStatus() { m_conductor.SayTurnStatus(); }

bool GameController::NewGame(const QString& countryFile, const Seats& seats, RulerId first, QString* why)
{
    platform::Message words;
    return Answered(m_conductor.NewGame(platform::PathToBytes(countryFile), seats, first, &words), words, why);
}

bool GameController::NewGame(const QString& countryFile, RulerId ruler, QString* why)
{
    return NewGame(countryFile, OnePersonSeats(ruler), ruler, why);
}

bool GameController::LoadGame(const QString& path, QString* why)
{
    platform::Message words;
    return Answered(m_conductor.LoadGame(platform::PathToBytes(path), &words, &m_notices), words, why);
}

bool GameController::SaveGame(const QString& path, QString* why)
{
    platform::Message words;
    if (!Answered(m_conductor.SaveGame(platform::PathToBytes(path), &words, false), words, why))
        return false;
    emit gameSaved(path);
    return true;
}

QStringList GameController::TakeNotices()
{
    QStringList notices;
    for (const platform::Message& notice : m_notices)
        notices << Words(notice);
    m_notices.clear();
    return notices;
}

// ---- Going back and records played back ----

bool GameController::GoBack(const ReplayStop& stop, QString* why)
{
    platform::Message words;
    return Answered(m_conductor.GoBack(stop, &words), words, why);
}

bool GameController::GoBackOneTurn(QString* why)
{
    platform::Message words;
    return Answered(m_conductor.GoBackOneTurn(&words), words, why);
}

bool GameController::ResumeFrom(int year, int month, int country, QString* why)
{
    platform::Message words;
    return Answered(m_conductor.ResumeFrom(year, month, country, &words), words, why);
}

bool GameController::StartReplay(RecordedGame record, QString* why)
{
    platform::Message words;
    return Answered(m_conductor.StartReplay(std::move(record), &words), words, why);
}
