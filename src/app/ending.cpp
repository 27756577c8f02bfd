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
#include "conduct/seat_role.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "rules/commands.h"
#include "session/game_record.h"
#include "view/windows/best_games_wnd.h"
#include "view/windows/chronicle_log.h"
#include "view/windows/game_summary_wnd.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

Ending::Ending(CMainFrame& frame, CKivView& view, const ChronicleLog& log, QString folder)
    : QObject(&frame), m_frame(frame), m_view(view), m_viewAlive(&view), m_log(log), m_folder(std::move(folder))
{
    view.Game().Session().events.Add(&m_summary);
    for (RulerId r = 1; r < kRulerCount; ++r) {
        m_personSummaries[static_cast<std::size_t>(r)].Follow(r);
        view.Game().Session().events.Add(&m_personSummaries[static_cast<std::size_t>(r)]);
    }
    m_recordsAction = frame.ViewMenu()->addAction(QString());
    connect(m_recordsAction, &QAction::triggered, this, &Ending::ShowRecords);
    connect(&view.Game(), &GameController::worldReplaced, this, &Ending::OnWorldReplaced);
    connect(&view.Game(), &GameController::gameEnded, this, &Ending::OnGameEnded);
    connect(&view.Game(), &GameController::personFell, this, &Ending::OnPersonFell);
    frame.installEventFilter(this);
    Retranslate();
}

Ending::~Ending()
{
    // The frame may have let the view and its game go first.
    if (m_viewAlive) {
        m_view.Game().Session().events.Remove(&m_summary);
        for (RulerId r = 1; r < kRulerCount; ++r)
            m_view.Game().Session().events.Remove(&m_personSummaries[static_cast<std::size_t>(r)]);
    }
}

QString Ending::TablePath() const
{
    return m_folder.isEmpty() ? QString() : QDir(m_folder).filePath(QString::fromLatin1(kTableName));
}

void Ending::OnWorldReplaced(const QString& savePath)
{
    m_ended = false;
    m_fallen.fill(false);
    // The 戦績 of the falls of a game left goes with the next end's windows.
    m_personWnds.insert(m_personWnds.end(), m_fallenWnds.begin(), m_fallenWnds.end());
    m_fallenWnds.clear();
    m_summary.Clear();
    for (GameSummary& person : m_personSummaries)
        person.Clear();
    if (savePath.isEmpty())
        return;
    // A saved game's beginning is in the chronicle kept beside it, loaded by now.
    for (std::size_t i = 0; i < m_log.Count(); ++i) {
        m_summary.OnGameEvent(m_log.At(i));
        for (RulerId r = 1; r < kRulerCount; ++r)
            m_personSummaries[static_cast<std::size_t>(r)].OnGameEvent(m_log.At(i));
    }
}

bool Ending::ReadTable(BestGames& games)
{
    platform::Message why;
    if (games.Load(platform::PathToBytes(TablePath()), &why) != BestGames::ReadStatus::Refused)
        return true;
    platform::ShowMessageBox(&m_frame, tr("記録を読めませんでした\n%1\n%2").arg(TablePath(), shown::Text(why)));
    return false;
}

void Ending::OnGameEnded()
{
    if (m_ended)
        return;
    m_ended = true;
    const GameState& world = m_view.GetWorld();
    // A game nobody played (watched), or a record played back, is no new game of anyone's;
    // nor is one his seat played for him at its end (the advisor).
    const bool ranked = !(m_watching && m_watching()) && !Players(world).empty();
    const auto rankedFor = [&](RulerId ruler) { return ranked && RoleOf(world, ruler).Ranked(); };
    const std::int64_t endedAt = QDateTime::currentSecsSinceEpoch();
    BestGames games;
    bool tableChanged = false;
    // The windows of an earlier game's end go; those of this game's falls stay.
    for (QPointer<GameSummaryWindow>& wnd : m_personWnds)
        delete wnd;
    m_personWnds = std::move(m_fallenWnds);
    m_fallenWnds.clear();
    delete m_summaryWnd;
    if (Players(world).empty()) {
        // Watched: the story of the ruler who won it, for nobody's score.
        const RulerId winner = m_view.Game().Session().Winner();
        if (GameState::IsRulerId(winner) && winner != 0) {
            GameSummary& summary = m_personSummaries[static_cast<std::size_t>(winner)];
            WeighLevels(summary);
            m_summaryWnd = ShowSummary(summary, -1, 0, GameSummaryWindow::Kind::Watched);
        }
    } else if (!SeveralPersons(world.seats)) {
        WeighLevels(m_summary);
        const int rank = rankedFor(world.playerRuler) ? Rank(m_summary, endedAt, games) : -1;
        tableChanged = rank >= 0;
        m_summaryWnd = ShowSummary(m_summary, rank, 0);
    } else {
        // Several people: each is ranked, and reads his own 戦績 (those who fell before
        // have had theirs).
        int step = static_cast<int>(m_personWnds.size());
        const std::size_t first = m_personWnds.size();
        for (RulerId person : Players(world)) {
            if (!RoleOf(world, person).HandedOver() || m_fallen[static_cast<std::size_t>(person)])
                continue;
            GameSummary& summary = m_personSummaries[static_cast<std::size_t>(person)];
            WeighLevels(summary);
            const int rank = rankedFor(person) ? Rank(summary, endedAt, games) : -1;
            tableChanged |= rank >= 0;
            m_personWnds.emplace_back(ShowSummary(summary, rank, step++));
        }
        m_summaryWnd = first < m_personWnds.size() ? m_personWnds[first] : nullptr;
    }
    if (m_recordsWnd && tableChanged)
        m_recordsWnd->SetGames(games);
}

void Ending::WeighLevels(GameSummary& summary) const
{
    // The computers the game began with, each at his own level.
    const GameState& world = m_view.GetWorld();
    const std::vector<HoldingsHistory::Point>& points = summary.History().Points();
    summary.SetDifficulty(world.difficulty);
    summary.SetLevels(summary::ComputerLevels(world, points.empty() ? nullptr : &points.front().held));
}

void Ending::OnPersonFell(RulerId ruler)
{
    if (m_ended || !GameState::IsRulerId(ruler) || m_fallen[static_cast<std::size_t>(ruler)])
        return;
    m_fallen[static_cast<std::size_t>(ruler)] = true;
    m_view.ShowMessage(tr("%1 はすべての国を失いました。ｹﾞｰﾑはほかの人で続きます").arg(shown::RulerName(ruler)),
                       kResultMessageMs);
    GameSummary& summary = m_personSummaries[static_cast<std::size_t>(ruler)];
    WeighLevels(summary);
    BestGames games;
    const bool ranked = !(m_watching && m_watching());
    const int rank = ranked ? Rank(summary, QDateTime::currentSecsSinceEpoch(), games) : -1;
    m_fallenWnds.emplace_back(ShowSummary(summary, rank, static_cast<int>(m_fallenWnds.size())));
    if (m_recordsWnd && rank >= 0)
        m_recordsWnd->SetGames(games);
}

int Ending::Rank(const GameSummary& summary, std::int64_t endedAt, BestGames& games)
{
    // A game whose beginning is unknown has no scenario to be ranked in. A table that
    // cannot be read is left as it is, never written over.
    if (m_folder.isEmpty() || summary.Figures().startYear == 0 || !ReadTable(games))
        return -1;
    // Each game kept has its record beside the table, to be watched again (one record
    // for every person of the game).
    const QString recordName = QStringLiteral("game-%1.record").arg(endedAt);
    const std::string recordPath = platform::PathToBytes(QDir(m_folder).filePath(recordName));
    std::string error;
    const int rank = KeepBestGame(games, MakeBestGame(summary.Figures(), endedAt, recordName.toStdString()),
                                  m_view.Game().Recorder().Record(), platform::PathToBytes(TablePath()), recordPath, &error);
    if (rank < 0 && !error.empty())
        platform::ShowMessageBox(&m_frame, tr("記録を書き込めませんでした\n%1\n%2")
                                               .arg(TablePath(), shown::Reason(error)));
    if (rank >= 0)
        ForgetDroppedRecords(games);
    return rank;
}

GameSummaryWindow* Ending::ShowSummary(const GameSummary& summary, int rank, int step, GameSummaryWindow::Kind kind)
{
    auto* wnd = new GameSummaryWindow(summary, rank, &m_frame, kind);
    wnd->SetRandomSeed(m_view.Files().RandomSeed());
    wnd->setAttribute(Qt::WA_DeleteOnClose);
    wnd->adjustSize();
    m_view.PlaceToolWindow(wnd);
    // Several side by side, each a title bar's height below the one before.
    constexpr int kCascade = 32;
    if (step > 0)
        wnd->move(wnd->pos() + QPoint(kCascade, kCascade) * step);
    wnd->show();
    return wnd;
}

void Ending::ForgetDroppedRecords(const BestGames& games) const
{
    QSet<QString> kept;
    for (const BestGame& game : games.Entries())
        kept.insert(QString::fromStdString(game.recordFile));
    const QDir folder(m_folder);
    for (const QString& name : folder.entryList({QStringLiteral("game-*.record")}, QDir::Files))
        if (!kept.contains(name))
            QFile::remove(folder.filePath(name));
}

void Ending::ShowRecords()
{
    BestGames games;
    if (m_folder.isEmpty() || !ReadTable(games))
        return;
    if (!m_recordsWnd) {
        m_recordsWnd = new BestGamesWindow(&m_frame);
        m_recordsWnd->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_recordsWnd, &BestGamesWindow::watchRequested, this,
                [this](const QString& name) { emit watchRequested(QDir(m_folder).filePath(name)); });
    }
    m_recordsWnd->SetGames(games);
    if (!m_recordsWnd->isVisible())
        m_view.PlaceToolWindow(m_recordsWnd);
    m_recordsWnd->show();
    m_recordsWnd->raise();
}

bool Ending::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}

void Ending::Retranslate() { m_recordsAction->setText(tr("記録(&R)")); }
