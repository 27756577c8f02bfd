// SPDX-License-Identifier: GPL-3.0-or-later
// How a game ended: the summary gathered from the game's events, shown in the 戦績
// window when the player has won or lost, and 記録, the best games of each scenario
// kept on this machine (表示 → 記録). It changes nothing of the game.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <vector>

#include "session/best_games.h"
#include "session/game_summary.h"
#include "view/windows/best_games_wnd.h"
#include "view/windows/game_summary_wnd.h"

class CKivView;
class CMainFrame;
class ChronicleLog;
class QAction;

class Ending : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kTableName = "best-games.txt";

    // folder: where the table and the games' records are kept; empty to keep none.
    // log: the chronicle, which holds the beginning of a loaded game.
    Ending(CMainFrame& frame, CKivView& view, const ChronicleLog& log, QString folder);
    ~Ending() override;

    const GameSummary& Summary() const { return m_summary; }
    QString TablePath() const;
    QAction* RecordsAction() const { return m_recordsAction; }
    // The story of ruler as one of several people playing.
    const GameSummary& PersonSummary(RulerId ruler) const { return m_personSummaries[static_cast<std::size_t>(ruler)]; }
    // The windows last opened (nullptr when closed); when several people played, the
    // first player's 戦績 of the end, and each person's in his place (from the game's
    // end on, those who fell before it first).
    GameSummaryWindow* SummaryWindow() const { return m_summaryWnd; }
    const std::vector<QPointer<GameSummaryWindow>>& PersonWindows() const { return m_personWnds; }
    BestGamesWindow* RecordsWindow() const { return m_recordsWnd; }

    // Opens 記録 with the table as the file holds it; a table that cannot be read is
    // refused with a message.
    void ShowRecords();
    // watching says whether the game in play is a record played back: its end is shown
    // but never ranked, a replay being no new game.
    void SetWatching(std::function<bool()> watching) { m_watching = std::move(watching); }
    // Removes the records of games no longer in the table.
    void ForgetDroppedRecords(const BestGames& games) const;

signals:
    // The player asks to watch a game again from its record (the record's full path).
    void watchRequested(const QString& recordPath);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnWorldReplaced(const QString& savePath);
    void OnGameEnded();
    // One of several people has lost his last country: he is told, ranked and shown his
    // 戦績 while the others play on.
    void OnPersonFell(RulerId ruler);
    // The levels the computers of the game played at, as summary's score weighs them.
    void WeighLevels(GameSummary& summary) const;
    // Reads the table; false, with the player told why, when it cannot be read.
    bool ReadTable(BestGames& games);
    // Keeps the game as summary tells it (ended at endedAt) among the best when it is;
    // its place (-1 when it is not), and the table as it now stands in games.
    int Rank(const GameSummary& summary, std::int64_t endedAt, BestGames& games);
    // Opens the 戦績 window of summary, placed among the tool windows, offset by steps.
    GameSummaryWindow* ShowSummary(const GameSummary& summary, int rank, int step,
                                   GameSummaryWindow::Kind kind = GameSummaryWindow::Kind::Played);
    void Retranslate();

    CMainFrame& m_frame;
    CKivView& m_view;
    QPointer<QObject> m_viewAlive; // the view (and the game it plays) still stands
    const ChronicleLog& m_log;
    QString m_folder;
    GameSummary m_summary;
    // Each ruler's story, should he be one of several people playing.
    std::array<GameSummary, kRulerCount> m_personSummaries;
    std::vector<QPointer<GameSummaryWindow>> m_personWnds;
    std::vector<QPointer<GameSummaryWindow>> m_fallenWnds; // of those who fell in this game
    bool m_ended = false; // the end of this game has been shown
    std::array<bool, kRulerCount> m_fallen{}; // persons whose end has been shown before the game's
    std::function<bool()> m_watching;
    QAction* m_recordsAction;
    QPointer<GameSummaryWindow> m_summaryWnd;
    QPointer<BestGamesWindow> m_recordsWnd;
};
