// SPDX-License-Identifier: GPL-3.0-or-later
// Several people at one screen: the hand-over notice when the turn passes from one
// person's ruler to another's, and 表示 → 自動休養 (a turn of one key: the command that
// uses the turn up ends it, its rest following at once), remembered in the settings.
// Nobody at all: the controller plays the game through month by month; the 観戦 menu
// (there while a game is watched) pauses it and steps a month at a time. A one-person game
// is played as it always is.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "model/game_state.h"

class CKivView;
class CMainFrame;
class HandOverNotice;
class QAction;
class QMenu;

class HotSeat : public QObject {
    Q_OBJECT

public:
    // Adds 自動休養 to the frame's 表示 menu and lays the notice over view; owned by the
    // frame.
    HotSeat(CMainFrame& frame, CKivView& view);

    // watching says whether the game in play is a record played back: its turns are
    // handed over by nobody.
    void SetWatching(std::function<bool()> watching) { m_watching = std::move(watching); }

    QAction* OneKeyAction() const { return m_oneKey; }
    // The player's choice: applied and remembered.
    void ChooseOneKeyTurn(bool on);
    HandOverNotice& Notice() const { return *m_notice; }

    // How long the status line says that a game is watched, or paused.
    static constexpr int kWatchNoticeMs = 8000;
    static constexpr int kPausedNoticeMs = 10 * 60 * 1000;
    // The 観戦 menu's pause and step, of the controller's months of a watched game.
    void SetPaused(bool paused);
    // The status line's words while a watched game is paused.
    static QString PausedText();
    void StepMonth();
    QMenu* WatchMenu() const { return m_watchMenu; } // nullptr until a game is watched

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void OnHandOver(RulerId next);
    void OnPlayerTurn();
    void MakeWatchMenu();
    void UpdateWatchMenu();
    bool Watched() const;

    CMainFrame& m_frame;
    CKivView& m_view;
    HandOverNotice* m_notice;
    QAction* m_oneKey;
    QAction* m_restRemaining = nullptr; // 残りを休養
    QMenu* m_watchMenu = nullptr;
    QAction* m_pause = nullptr;
    QAction* m_step = nullptr;
    std::function<bool()> m_watching;
};
