// SPDX-License-Identifier: GPL-3.0-or-later
// 先月の戦い: the battles fought since the player's last turn, each from the attacking
// country to its target and whether the target fell, heard from the game's events; at
// each turn of the player the battles shown become those heard since his turn before.
// The windows draw them as arrows on the map, the page too. Hearing changes nothing of
// the game.
#pragma once

#include <mutex>
#include <vector>

#include "rules/events.h"

struct BattleArrow {
    int attacker = -1; // countries
    int target = -1;
    bool taken = false; // the target fell
    bool operator==(const BattleArrow&) const = default;
};

class BattleArrows : public EventObserver {
public:
    // A battle (on the thread that fought it) is kept for the player's next turn.
    void OnGameEvent(const GameEvent& event) override;
    // The player's turn has begun: the arrows shown are the battles since his last.
    void PlayerTurn();
    // A new world: no battle of the old one is shown or kept.
    void Clear();
    // The arrows shown now.
    std::vector<BattleArrow> Shown() const;

private:
    mutable std::mutex m_lock;
    std::vector<BattleArrow> m_heard; // since the player's last turn
    std::vector<BattleArrow> m_shown;
};
