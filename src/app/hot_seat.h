// SPDX-License-Identifier: GPL-3.0-or-later
// Several people at one screen: the hand-over notice when the turn passes from one
// person's ruler to another's, and 表示 → 自動休養 (a turn of one key: the command that
// uses the turn up ends it, its rest following at once), remembered in the settings.
// A one-person game is played as it always is.
#pragma once

#include <QObject>

#include <functional>

#include "model/game_state.h"

class CKivView;
class CMainFrame;
class HandOverNotice;
class QAction;

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
    // Whose turn the people last had (0 before the first).
    RulerId LastPerson() const { return m_lastPerson; }

    // How many people play the world: two or more take turns at the screen.
    static int PersonCount(const GameState& world);
    // The person whose country's turn it is, in a game of two or more; 0 otherwise.
    static RulerId PersonAtTurn(const GameState& world, RulerId turnRuler);

signals:
    // Whose turn it is changed (a new person, or none): the title follows.
    void turnPersonChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void OnPlayerTurn();
    void OnCommandState();

    CMainFrame& m_frame;
    CKivView& m_view;
    HandOverNotice* m_notice;
    QAction* m_oneKey;
    RulerId m_lastPerson = 0;
    bool m_restQueued = false;
    std::function<bool()> m_watching;
};
