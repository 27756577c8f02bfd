// SPDX-License-Identifier: GPL-3.0-or-later
// 先月の戦い: the battles fought since the player's last turn, as arrows on the map from
// the attacking country to its target: red where the target fell, blue where the
// attack failed; with the rulers' patterns on, a failed attack is also dashed with an
// open head, a taken country solid with a closed one. The battles are heard from the
// game's events; at each turn of the player the arrows become those heard since his
// turn before. Hearing and drawing change nothing of the game.
#pragma once

#include <mutex>
#include <vector>

#include "rules/events.h"

class MapPicture;
class QPainter;

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

    // Draws arrows on the map in its own pixels, beneath the countries' numbers; shapes
    // tells failed attacks by their lines and heads as well as by their colour.
    static void Draw(QPainter& painter, const MapPicture& map, const std::vector<BattleArrow>& arrows, bool shapes);

private:
    mutable std::mutex m_lock;
    std::vector<BattleArrow> m_heard; // since the player's last turn
    std::vector<BattleArrow> m_shown;
};
