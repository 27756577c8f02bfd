// SPDX-License-Identifier: GPL-3.0-or-later
// ﾌﾟﾚｲﾔｰ (there while a game is in play): a person's ruler handed to the computer at a
// level or to the advisor for a while (a friend leaves the table), and taken back. Each ruler a person plays, or has
// handed to another seat in this game, has his submenu of seats, his own checked; a
// change made while the computer moves is made at the game's next stop. The advisor
// plays his turns as a person would, each command shown as it is given.
#pragma once

#include <QObject>

#include <array>
#include <vector>

#include "model/game_state.h"

class CKivView;
class CMainFrame;
class QMenu;

class SeatMenu : public QObject {
    Q_OBJECT

public:
    SeatMenu(CMainFrame& frame, CKivView& view);

    QMenu* Menu() const { return m_menu; } // nullptr before the first game in play
    // The rulers the menu lists now: the persons and the advisor's, the first player
    // and every ruler handed to another seat in this game, by RulerId.
    std::vector<RulerId> Rulers() const;
    // The seats each submenu offers, in its order: a person, the advisor, the computer
    // at each level.
    static std::vector<Seat> Choices();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MakeMenu();
    void Fill();
    void Retranslate();

    CMainFrame& m_frame;
    CKivView& m_view;
    QMenu* m_menu = nullptr;
    // The rulers handed to another seat in this game through the menu.
    std::array<bool, kRulerCount> m_handed{};
};
