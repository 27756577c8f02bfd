// SPDX-License-Identifier: GPL-3.0-or-later
// Never losing a game: an autosave at the start of every player turn, ﾌｧｲﾙ →
// 自動ｾｰﾌﾞから再開 listing the autosaves by date and ruler, the games last saved or
// loaded at the foot of ﾌｧｲﾙ, and the same ways into a game on the map's start panel
// while none is in play. Every game chosen here loads through the view's own load.
#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

#include "app/autosave.h"
#include "platform/settings.h"

class CKivView;
class CMainFrame;
class StartPanel;
class ChronicleLog;
class GameStory;
class QAction;
class QMenu;

class GameHistory : public QObject {
    Q_OBJECT

public:
    // How long a failed autosave is shown in the status line.
    static constexpr int kNoticeMs = 5000;
    void SetNoticeTime(int milliseconds) { m_noticeMs = milliseconds; } // tests shorten it

    // Adds the items to the frame's ﾌｧｲﾙ menu; owned by the frame.
    GameHistory(CMainFrame& frame, CKivView& view, const QString& autosaveFolder);

    const AutosaveStore& Autosaves() const { return m_autosaves; }
    // Each autosave keeps the chronicle of log beside it, as a save by hand does.
    void KeepChronicle(const ChronicleLog* log) { m_chronicle = log; }
    // ... and the game's record (GameStory::SaveBeside).
    void KeepRecord(const GameStory* story) { m_story = story; }
    QMenu* ResumeMenu() const { return m_resumeMenu; }
    // The recent files' items, in the menu's order (hidden when unused).
    const std::array<QAction*, platform::settings::kRecentFileCount>& RecentActions() const { return m_recent; }

    // The panel over the map while no game is in play.
    StartPanel* GetStartPanel() const { return m_startPanel; }

    // Every item this adds to ﾌｧｲﾙ, in the menu's order.
    QList<QAction*> MenuItems() const;

    // The words of the status line when an autosave fails.
    static QString FailureText(const QString& reason);

    // Fills both lists as the menu will show them, and the start panel's games.
    void UpdateMenus();

    // Whether the game in play may be left: yes when nothing would be lost, else the
    // player's answer to a question that names the newest autosave.
    bool MayLeaveGame();
    // Who answers that question (tests); by default a question box.
    void SetQuestion(std::function<bool(const QString&)> ask) { m_ask = std::move(ask); }
    static QString LeaveText(const QString& autosave);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The player's turn has begun: the game as it stands is kept.
    void OnPlayerTurn();
    void Remember(const QString& path);
    void OpenRecent(const QString& path);

    CMainFrame& m_frame;
    CKivView& m_view;
    AutosaveStore m_autosaves;
    const ChronicleLog* m_chronicle = nullptr;
    const GameStory* m_story = nullptr;
    QMenu* m_resumeMenu = nullptr;
    QAction* m_recentSeparator = nullptr;
    std::array<QAction*, platform::settings::kRecentFileCount> m_recent{};
    StartPanel* m_startPanel = nullptr;
    bool m_lastAutosaveFailed = false;
    int m_noticeMs = kNoticeMs;
    std::function<bool(const QString&)> m_ask;
};
