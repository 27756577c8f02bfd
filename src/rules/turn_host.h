// SPDX-License-Identifier: GPL-3.0-or-later
// What the turn worker needs from the interface: the synchronous calls it makes, the
// stop it may be asked for, and who chooses for a computer ruler that looks ahead.
#pragma once

#include <atomic>

#include "platform/message.h"
#include "rules/battle.h"

class ComputerPlanner;

// Message numbers of the two synchronous calls, kept for reference in logs.
constexpr int WM_TURN_BEGIN = 0x401;
constexpr int WM_PLAYER_TURN = 0x402;

// What the worker needs from the interface. Every call blocks the worker until the
// interface thread has handled it (TurnBegin, PlayerTurn) or until the window it
// opens has closed (ShowMessage, Present).
class TurnHost : public BattlePresenter {
public:
    // WM_TURN_BEGIN: a computer country's turn begins (again when it attacks a country
    // that is not a player's, after MarkBattle has named the pair).
    virtual void TurnBegin(int country) = 0;
    // The battle a computer country fights against another computer ruler, named on the
    // worker's thread before its TurnBegin and cleared (-1, -1) when it has been fought
    // and when a stretch of the computer's turns begins: the map marks it. Nothing by
    // default.
    virtual void MarkBattle(int attacker, int target)
    {
        (void)attacker;
        (void)target;
    }
    // WM_PLAYER_TURN: the worker's last act.
    virtual void PlayerTurn(int country) = 0;
    // A self-closing message window with the words (a host that translates takes the
    // words, any other shows the Japanese text).
    virtual void ShowMessage(const platform::Message& words, int milliseconds) = 0;

    // Asks the running worker to end at its next step without touching the world
    // any further. A blocking call in progress should return soon after.
    void RequestStop()
    {
        m_stop.store(true, std::memory_order_release);
        OnStopRequested();
    }
    bool StopRequested() const { return m_stop.load(std::memory_order_acquire); }
    void ClearStop() { m_stop.store(false, std::memory_order_release); }

    // Who chooses for a computer ruler whose level looks ahead (rules/computer.h); none:
    // such a ruler plays as at 普通. A look-ahead's own copies are played with none.
    const ComputerPlanner* planner = nullptr;

protected:
    // Wakes a blocking call so that the worker can see the stop.
    virtual void OnStopRequested() {}

private:
    std::atomic<bool> m_stop{false};
};
