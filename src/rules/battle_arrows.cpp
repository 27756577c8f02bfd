// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/battle_arrows.h"

void BattleArrows::OnGameEvent(const GameEvent& event)
{
    if (event.kind != EventKind::Battle || !GameState::IsCountryIndex(event.country) ||
        !GameState::IsCountryIndex(event.target))
        return;
    const std::lock_guard hold(m_lock);
    m_heard.push_back({event.country, event.target, event.Outcome() == BattleOutcome::Taken});
}

void BattleArrows::PlayerTurn()
{
    const std::lock_guard hold(m_lock);
    m_shown = std::move(m_heard);
    m_heard.clear();
}

void BattleArrows::Clear()
{
    const std::lock_guard hold(m_lock);
    m_heard.clear();
    m_shown.clear();
}

std::vector<BattleArrow> BattleArrows::Shown() const
{
    const std::lock_guard hold(m_lock);
    return m_shown;
}
