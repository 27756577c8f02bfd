// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/game_story.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include "app/chronicle.h"
#include "app/main_frame.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/text_file.h"
#include "session/game_replay.h"
#include "view/windows/chronicle_log.h"
#include "view/commands/command_table.h"
#include "view/map/game_speed.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

namespace {
constexpr int kNoticeMs = 8000;
} // namespace

GameStory::GameStory(CMainFrame& frame, CKivView& view, Chronicle* chronicle)
    : QObject(&frame), m_frame(frame), m_view(view), m_chronicle(chronicle)
{
    QMenu* file = frame.FileMenu();
    m_back = new QAction(file);
    file->insertAction(frame.FileMenuTail(), m_back);
    connect(m_back, &QAction::triggered, this, [this] {
        QString why;
        if (!GoBackOneTurn(&why))
            platform::ShowMessageBox(&m_frame, why);
    });

    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &GameStory::StepReplay);
    connect(file, &QMenu::aboutToShow, this, &GameStory::UpdateActions);
    connect(&view, &CKivView::commandStateChanged, this, &GameStory::UpdateActions);
    GameController& game = view.Game();
    connect(&game, &GameController::worldReplaced, this, &GameStory::OnWorldReplaced);
    connect(&game, &GameController::gameSaved, this, &GameStory::OnGameSaved);
    connect(&game, &GameController::playerTurnReached, this, &GameStory::OnPlayerTurn);
    if (m_chronicle) {
        connect(m_chronicle, &Chronicle::resumeRequested, this, &GameStory::OnResume);
        // Told again from the start, the chronicle has no news for the turn gone back to.
        connect(&game, &GameController::turnTakenBack, this, [this] { m_chronicle->Log().TakeSinceMark(); });
    }
    Retranslate();
    frame.installEventFilter(this);
    UpdateActions();
}

QString GameStory::RecordPath(const QString& savePath)
{
    return platform::PathFromBytes(RecordFileName(platform::PathToBytes(savePath)));
}

bool GameStory::SaveBeside(const QString& savePath, int cursor, QString* error) const
{
    std::string saveBytes;
    std::string reason;
    RecordedGame record = m_view.Game().Recorder().Record();
    bool written = platform::ReadWholeFile(platform::PathToBytes(savePath), saveBytes, nullptr, &reason);
    if (written) {
        record.tie = TieTo(saveBytes, cursor);
        written = WriteRecordFile(platform::PathToBytes(RecordPath(savePath)), record, &reason);
    }
    if (!written && error)
        *error = shown::Text(platform::Message(reason.c_str()));
    return written;
}

void GameStory::OnGameSaved(const QString& path)
{
    QString error;
    if (!SaveBeside(path, m_view.Game().SaveCursor(), &error))
        platform::ShowMessageBox(&m_frame, tr("記録を保存できませんでした\n%1\n%2").arg(RecordPath(path), error));
}

void GameStory::OnWorldReplaced(const QString& savePath)
{
    if (!m_beginning && m_replay)
        EndReplay(); // another game begins: the one played back gives way
    if (!m_beginning && m_replayMenu)
        m_replayMenu->menuAction()->setVisible(false); // a game of the player's own: no record plays
    if (savePath.isEmpty())
        return;
    // What the load set aside beside the save (a difficulty it could not use) is told at
    // the player's turn, with what became of the record.
    if (const platform::Message& setAside = m_view.Game().Session().SetAside(); !setAside.empty())
        AddNotice(shown::Text(setAside));
    // A save's record takes the story up from where it was saved; another game's is set
    // aside and the loaded game begins a record of its own.
    const QString recordPath = RecordPath(savePath);
    if (!QFileInfo::exists(recordPath))
        return;
    std::string saveBytes;
    if (!platform::ReadWholeFile(platform::PathToBytes(savePath), saveBytes, nullptr, nullptr))
        return;
    platform::Message why;
    if (std::optional<RecordedGame> record = ReadRecordFile(platform::PathToBytes(recordPath), &why, &saveBytes))
        m_view.Game().Recorder().ContinueFrom(std::move(*record));
    else
        AddNotice(tr("記録を使えません: %1").arg(shown::Text(why)));
}

void GameStory::AddNotice(const QString& text)
{
    m_notice = m_notice.isEmpty() ? text : m_notice + QLatin1Char(' ') + text;
}

void GameStory::OnPlayerTurn()
{
    if (!m_notice.isEmpty()) {
        m_view.ShowNotice(m_notice, kNoticeMs);
        m_notice.clear();
    }
    if (!m_replay)
        return;
    // The record plays the player's side: his buttons stay shut (and no autosave is
    // made of a game played back).
    m_view.DisableCommands();
    m_view.restButton->setEnabled(false);
    ScheduleStep();
}

bool GameStory::GoBackOneTurn(QString* why)
{
    if (m_replay) {
        if (why)
            *why = tr("戻れる手番がありません");
        return false;
    }
    return m_view.Game().GoBackOneTurn(why);
}

void GameStory::OnResume(int year, int month, int country)
{
    if (m_replay)
        return;
    ReplayStop stop;
    stop.wanted = [year, month, country](const GameState& world) {
        return world.year == year && world.month == month && world.turnCountry == country;
    };
    QString why;
    if (!m_view.Game().GoBack(stop, &why))
        platform::ShowMessageBox(&m_frame, why);
}

void GameStory::MakeReplayMenu()
{
    if (m_replayMenu)
        return;
    // Only a run that plays a record back has the menu.
    m_replayMenu = new QMenu(&m_frame);
    m_frame.menuBar()->insertMenu(m_frame.ViewMenu()->menuAction(), m_replayMenu);
    m_replayMenu->installEventFilter(this); // a menu is a window of its own: told of a new language
    m_pause = m_replayMenu->addAction(QString());
    m_pause->setCheckable(true);
    m_pause->setShortcut(CommandTable::PauseKey());
    connect(m_pause, &QAction::toggled, this, &GameStory::SetPaused);
    m_step = m_replayMenu->addAction(QString());
    m_step->setShortcut(CommandTable::StepKey());
    connect(m_step, &QAction::triggered, this, &GameStory::StepReplay);
    m_frame.OnMenusMade();
    Retranslate();
}

bool GameStory::StartReplay(const QString& path, QString* why)
{
    platform::Message words;
    std::optional<RecordedGame> record = ReadRecordFile(platform::PathToBytes(path), &words);
    if (!record || record->Empty() || !std::holds_alternative<RecordStart>(record->steps.front())) {
        if (why)
            *why = record ? tr("記録に始まりがありません") : shown::Text(words);
        return false;
    }
    if (!m_view.Game().CanStartGame()) {
        if (why)
            *why = tr("ｺﾝﾋﾟｭｰﾀｰの手番が終わるまでお待ちください");
        return false;
    }
    // Played through off screen first: a record whose step the rules refuse is refused
    // whole, before any of it is shown.
    {
        QuietGame trial;
        const ReplayOutcome tried = ReplayRecord(trial.Session(), *record, ReplayStop{});
        if (!tried.played) {
            if (why)
                *why = shown::Text(tried.words);
            return false;
        }
    }
    MakeReplayMenu();
    m_replayMenu->menuAction()->setVisible(true);
    m_readings = std::make_shared<const std::vector<std::int64_t>>(record->readings);
    m_replay = std::move(record);
    m_nextStep = 0;
    StepReplay();
    UpdateActions();
    return m_replay.has_value();
}

void GameStory::SetPaused(bool paused)
{
    m_paused = paused;
    if (m_pause && m_pause->isChecked() != paused)
        m_pause->setChecked(paused);
    if (paused)
        m_stepTimer.stop();
    else if (m_replay && m_view.Game().AtPlayersTurn() && m_view.Game().CanStartGame())
        ScheduleStep();
    UpdateActions();
}

void GameStory::ScheduleStep()
{
    if (!m_paused)
        m_stepTimer.start(PacedMilliseconds(m_commandMs, m_view.Speed()));
}

void GameStory::StepReplay()
{
    m_stepTimer.stop();
    if (!m_replay || !m_view.Game().CanStartGame())
        return;
    if (m_nextStep >= m_replay->steps.size()) {
        EndReplay();
        return;
    }
    const RecordStep& step = m_replay->steps[m_nextStep++];
    if (const auto* start = std::get_if<RecordStart>(&step)) {
        // A later start is a save loaded with its record: the story goes on.
        if (m_nextStep > 1)
            m_view.Game().Recorder().ContinueFrom(m_view.Game().Recorder().Record());
        m_beginning = true;
        QString why;
        const bool begun = m_view.Game().BeginRecordedGame(*start, m_readings, &why);
        m_beginning = false;
        if (!begun) {
            EndReplay();
            platform::ShowMessageBox(&m_frame, why);
        }
        return; // on at the player's turn
    }
    // A game that has ended has nothing more to play; a command the rules refuse is not
    // played (the record was checked whole, but the windows play it their own way).
    if (m_view.Game().Session().Ended()) {
        EndReplay();
        return;
    }
    const PlayerCommand& command = std::get<PlayerCommand>(step);
    if (m_view.Game().Session().Check(command).refusal != CommandRefusal::None) {
        const QString why = shown::Text(RecordDamagedAt(RecordStepLine(*m_replay, m_nextStep - 1)));
        EndReplay();
        platform::ShowMessageBox(&m_frame, why);
        return;
    }
    m_view.PlayRecordedCommand(command);
    if (!std::holds_alternative<command::Rest>(command) && m_replay)
        ScheduleStep();
}

void GameStory::EndReplay()
{
    m_stepTimer.stop();
    m_replay.reset();
    m_readings.reset();
    // From here the clock is the game's own again, not the record's.
    m_view.Game().EndRecordedPlay();
    // The game is the player's from here, at his turn as the record left it: his
    // command still to give, or given and only the rest left.
    if (m_view.Game().AtPlayersTurn() && m_view.Game().CanStartGame()) {
        if (m_view.Game().Session().Check(command::Rest{}).refusal == CommandRefusal::None &&
            m_view.Game().Session().Check(command::Domestic{DomesticCommand::Train, m_view.GetWorld().turnCountry}).refusal !=
                CommandRefusal::NotNow)
            m_view.EnableCommands();
        m_view.restButton->setEnabled(true);
        m_view.ShowNotice(tr("再生が終わりました"), kNoticeMs);
    }
    UpdateActions();
    emit replayEnded();
}

void GameStory::UpdateActions()
{
    m_back->setEnabled(!m_replay && m_view.Game().CurrentTurn() >= 1 && m_view.Game().CanStartGame());
    if (!m_replayMenu)
        return;
    m_pause->setEnabled(m_replay.has_value());
    m_step->setEnabled(m_replay.has_value() && m_paused);
}

void GameStory::Retranslate()
{
    m_back->setText(tr("1ﾀｰﾝ戻る(&B)"));
    if (!m_replayMenu)
        return;
    m_replayMenu->setTitle(tr("ﾘﾌﾟﾚｲ(&R)"));
    m_pause->setText(tr("一時停止(&P)"));
    m_step->setText(tr("1手進める(&T)"));
}

bool GameStory::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == &m_frame || watched == m_replayMenu) && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
