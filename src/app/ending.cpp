// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ending.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QEvent>
#include <QMenu>

#include "app/main_frame.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "session/game_record.h"
#include "view/best_games_wnd.h"
#include "view/chronicle_log.h"
#include "view/game_summary_wnd.h"
#include "view/kiv_view.h"
#include "words/shown_text.h"

CEnding::CEnding(CMainFrame& frame, CKivView& view, const ChronicleLog& log, QString folder)
    : QObject(&frame), m_frame(frame), m_view(view), m_viewAlive(&view), m_log(log), m_folder(std::move(folder))
{
    view.Game().Session().events.Add(&m_summary);
    m_recordsAction = frame.ViewMenu()->addAction(QString());
    connect(m_recordsAction, &QAction::triggered, this, &CEnding::ShowRecords);
    connect(&view.Game(), &GameController::worldReplaced, this, &CEnding::OnWorldReplaced);
    connect(&view.Game(), &GameController::gameEnded, this, &CEnding::OnGameEnded);
    frame.installEventFilter(this);
    Retranslate();
}

CEnding::~CEnding()
{
    // The frame may have let the view and its game go first.
    if (m_viewAlive)
        m_view.Game().Session().events.Remove(&m_summary);
}

QString CEnding::TablePath() const
{
    return m_folder.isEmpty() ? QString() : QDir(m_folder).filePath(QString::fromLatin1(kTableName));
}

void CEnding::OnWorldReplaced(const QString& savePath)
{
    m_ended = false;
    m_summary.Clear();
    if (savePath.isEmpty())
        return;
    // A saved game's beginning is in the chronicle kept beside it, loaded by now.
    for (std::size_t i = 0; i < m_log.Count(); ++i)
        m_summary.OnGameEvent(m_log.At(i));
}

bool CEnding::ReadTable(BestGames& games)
{
    platform::Message why;
    if (games.Load(platform::PathToBytes(TablePath()), &why) != BestGames::ReadStatus::Refused)
        return true;
    platform::ShowMessageBox(&m_frame, tr("記録を読めませんでした\n%1\n%2").arg(TablePath(), shown::Text(why)));
    return false;
}

void CEnding::OnGameEnded()
{
    if (m_ended)
        return;
    m_ended = true;
    m_summary.SetDifficulty(m_view.GetWorld().difficulty);
    int rank = -1;
    // A game whose beginning is unknown has no scenario to be ranked in. A table that
    // cannot be read is left as it is, never written over.
    BestGames games;
    const bool watched = m_watching && m_watching();
    if (!watched && !m_folder.isEmpty() && m_summary.Figures().startYear != 0 && ReadTable(games)) {
        const std::int64_t endedAt = QDateTime::currentSecsSinceEpoch();
        // Each game kept has its record beside the table, to be watched again.
        const QString recordName = QStringLiteral("game-%1.record").arg(endedAt);
        const std::string recordPath = platform::PathToBytes(QDir(m_folder).filePath(recordName));
        std::string error;
        rank = KeepBestGame(games, MakeBestGame(m_summary.Figures(), endedAt, recordName.toStdString()),
                            m_view.Game().Recorder().Record(), platform::PathToBytes(TablePath()), recordPath, &error);
        if (rank < 0 && !error.empty())
            platform::ShowMessageBox(&m_frame, tr("記録を書き込めませんでした\n%1\n%2")
                                                   .arg(TablePath(), QString::fromStdString(error)));
        if (rank >= 0)
            ForgetDroppedRecords(games);
    }
    delete m_summaryWnd;
    m_summaryWnd = new CGameSummaryWnd(m_summary, rank, &m_frame);
    m_summaryWnd->setAttribute(Qt::WA_DeleteOnClose);
    m_summaryWnd->adjustSize();
    m_view.PlaceToolWindow(m_summaryWnd);
    m_summaryWnd->show();
    if (m_recordsWnd && rank >= 0)
        m_recordsWnd->SetGames(games);
}

void CEnding::ForgetDroppedRecords(const BestGames& games) const
{
    QSet<QString> kept;
    for (const BestGame& game : games.Entries())
        kept.insert(QString::fromStdString(game.recordFile));
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QStringLiteral("game-*.record")}, QDir::Files))
        if (!kept.contains(name))
            QFile::remove(folder.filePath(name));
}

void CEnding::ShowRecords()
{
    BestGames games;
    if (m_folder.isEmpty() || !ReadTable(games))
        return;
    if (!m_recordsWnd) {
        m_recordsWnd = new CBestGamesWnd(&m_frame);
        m_recordsWnd->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_recordsWnd, &CBestGamesWnd::watchRequested, this,
                [this](const QString& name) { emit watchRequested(QDir(m_folder).filePath(name)); });
    }
    m_recordsWnd->SetGames(games);
    if (!m_recordsWnd->isVisible())
        m_view.PlaceToolWindow(m_recordsWnd);
    m_recordsWnd->show();
    m_recordsWnd->raise();
}

bool CEnding::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}

void CEnding::Retranslate() { m_recordsAction->setText(tr("記録(&R)")); }
