// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/game_story.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalBlocker>

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

    connect(file, &QMenu::aboutToShow, this, &GameStory::UpdateActions);
    connect(&view.Game(), &GameController::turnDescribed, this, &GameStory::UpdateActions);
    GameController& game = view.Game();
    connect(&game, &GameController::worldReplaced, this, &GameStory::OnWorldReplaced);
    connect(&game, &GameController::gameSaved, this, &GameStory::OnGameSaved);
    connect(&game, &GameController::playerTurnReached, this, &GameStory::OnPlayerTurn);
    connect(&game, &GameController::replayEnded, this, &GameStory::OnReplayEnded);
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

void GameStory::OnWorldReplaced(const QString&)
{
    if (!m_view.Game().Replaying() && m_replayMenu)
        m_replayMenu->menuAction()->setVisible(false); // a game of the player's own: no record plays
}

void GameStory::AddNotice(const QString& text)
{
    m_notice = m_notice.isEmpty() ? text : m_notice + QLatin1Char(' ') + text;
}

void GameStory::OnPlayerTurn()
{
    // What a load set aside beside the save (a difficulty, seats, a record it could not
    // use) is told at the player's turn.
    for (const QString& notice : m_view.Game().TakeNotices())
        AddNotice(notice);
    if (!m_notice.isEmpty()) {
        m_view.ShowNotice(m_notice, kNoticeMs);
        m_notice.clear();
    }
}

bool GameStory::GoBackOneTurn(QString* why) { return m_view.Game().GoBackOneTurn(why); }

void GameStory::OnResume(int year, int month, int country)
{
    QString why;
    if (!m_view.Game().Replaying() && !m_view.Game().ResumeFrom(year, month, country, &why))
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
    if (!record) {
        if (why)
            *why = shown::Text(words);
        return false;
    }
    m_view.Game().SetReplayStepTime(PacedMilliseconds(m_commandMs, m_view.Speed()));
    MakeReplayMenu();
    m_replayMenu->menuAction()->setVisible(true);
    if (!m_view.Game().StartReplay(std::move(*record), why)) {
        m_replayMenu->menuAction()->setVisible(false);
        return false;
    }
    UpdateActions();
    return m_view.Game().Replaying();
}

bool GameStory::Replaying() const { return m_view.Game().Replaying(); }

bool GameStory::Paused() const { return m_view.Game().ReplayPaused(); }

void GameStory::SetCommandTime(int milliseconds)
{
    m_commandMs = milliseconds;
    m_view.Game().SetReplayStepTime(PacedMilliseconds(m_commandMs, m_view.Speed()));
}

void GameStory::SetPaused(bool paused)
{
    if (m_pause && m_pause->isChecked() != paused)
        m_pause->setChecked(paused);
    m_view.Game().SetReplayPaused(paused);
    UpdateActions();
}

void GameStory::StepReplay() { m_view.Game().StepReplay(); }

void GameStory::OnReplayEnded(const QString& why)
{
    if (!why.isEmpty())
        platform::ShowMessageBox(&m_frame, why);
    else if (m_view.Game().AtPlayersTurn() && m_view.Game().CanStartGame())
        m_view.ShowNotice(tr("再生が終わりました"), kNoticeMs);
    UpdateActions();
    emit replayEnded();
}

void GameStory::UpdateActions()
{
    const bool replaying = m_view.Game().Replaying();
    m_back->setEnabled(!replaying && m_view.Game().CurrentTurn() >= 1 && m_view.Game().CanStartGame() &&
                       !m_view.Game().Networked());
    if (!m_replayMenu)
        return;
    // A record followed as it grows (a networked game) plays as it comes: no pause.
    const bool paceable = replaying && !m_view.Game().Following();
    m_pause->setEnabled(paceable);
    m_step->setEnabled(paceable && m_view.Game().ReplayPaused());
    const QSignalBlocker quiet(m_pause);
    m_pause->setChecked(m_view.Game().ReplayPaused());
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
