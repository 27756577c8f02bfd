// SPDX-License-Identifier: GPL-3.0-or-later
// ﾌｧｲﾙ → 難易度: how strongly the computer rulers play in the next new game (a saved
// game keeps its own), remembered between runs, and the game's difficulty in the
// window's title when it is not the usual one (the computers' levels when they play at
// several), with whose turn it is when several people play, or that nobody plays (the
// game watched, and whether it is paused).
#pragma once

#include <QObject>

#include <array>

#include "model/game_state.h"

class CKivView;
class CMainFrame;
class QAction;
class QMenu;

class DifficultyMenu : public QObject {
    Q_OBJECT

public:
    DifficultyMenu(CMainFrame& frame, CKivView& view);

    // The menu's items, easy to master.
    const std::array<QAction*, kDifficultyLevels>& Actions() const { return m_actions; }
    // The submenu's own item in ﾌｧｲﾙ.
    QAction* MenuAction() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void ShowInTitle();

    CMainFrame& m_frame;
    CKivView& m_view;
    QMenu* m_menu;
    std::array<QAction*, kDifficultyLevels> m_actions{};
};
