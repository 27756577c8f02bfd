// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game_summary.h"

#include <algorithm>

std::int64_t GameScore(const GameFigures& f)
{
    constexpr int kMonthsCounted = 600;
    std::int64_t score = 100 * f.held + 50 * f.mostHeld + std::min(f.months, kMonthsCounted);
    if (f.end == GameEnd::Unified)
        score += 1000 + 2 * std::max(kMonthsCounted - f.months, 0);
    // 1, 1.25, 1.5 and 1.75 from 易しい to 達人.
    const int quarters = 4 + static_cast<int>(f.difficulty);
    return score * quarters / 4;
}

Difficulty LowestLevel(std::uint8_t levels)
{
    for (int level = 0; level < kDifficultyLevels; ++level)
        if (levels & LevelBit(static_cast<Difficulty>(level)))
            return static_cast<Difficulty>(level);
    return Difficulty::Normal;
}

void GameSummary::Clear()
{
    const Difficulty difficulty = m_figures.difficulty;
    const std::uint8_t levels = m_figures.levels;
    m_figures = {};
    m_figures.difficulty = difficulty;
    m_figures.levels = levels;
    m_history.Clear();
}

void GameSummary::SetLevels(std::uint8_t levels)
{
    if (levels == 0)
        return;
    m_figures.difficulty = LowestLevel(levels);
    // One level alone is the difficulty.
    m_figures.levels = (levels & (levels - 1)) != 0 ? levels : 0;
}

void GameSummary::OnGameEvent(const GameEvent& event)
{
    if (event.kind == EventKind::Start && !event.byPlayer && m_history.Started())
        Clear(); // a new game begins in the same world
    m_history.Add(event);
    Count(event);
    if (event.kind == EventKind::Victory || event.kind == EventKind::GameOver) {
        // The chart ends with the countries as the game left them.
        GameEvent last;
        last.kind = EventKind::Month;
        last.year = event.year;
        last.month = event.month;
        m_history.Add(last);
    }
}

void GameSummary::Count(const GameEvent& e)
{
    GameFigures& f = m_figures;
    if (!m_history.Started())
        return; // nothing to count against before the beginning
    if (m_follow != 0 && f.end == GameEnd::Defeated)
        return; // one of several, his story ended with his fall
    f.endYear = e.year;
    f.endMonth = e.month;
    const RulerId player = f.ruler;
    switch (e.kind) {
    case EventKind::Start:
        f.ruler = m_follow != 0 ? m_follow : e.ruler;
        if (!e.byPlayer && f.startYear == 0) {
            f.startYear = e.year;
            f.startMonth = e.month;
        }
        f.held = m_history.Held()[static_cast<std::size_t>(std::clamp(f.ruler, RulerId{0}, RulerId{kRulerCount - 1}))];
        break;
    case EventKind::Month:
        ++f.months;
        break;
    case EventKind::Battle:
        if (e.ruler == player)
            ++(e.Outcome() == BattleOutcome::Taken ? f.attacksWon : f.attacksLost);
        else if (e.otherRuler == player)
            ++(e.Outcome() == BattleOutcome::Taken ? f.defencesLost : f.defencesWon);
        break;
    case EventKind::Capture:
        if (e.ruler == player) {
            ++f.countriesTaken;
            ++f.held;
        } else if (e.otherRuler == player) {
            ++f.countriesLost;
            --f.held;
        }
        break;
    case EventKind::Victory:
        f.end = m_follow == 0 || e.ruler == player ? GameEnd::Unified : GameEnd::Defeated;
        break;
    case EventKind::GameOver:
        f.end = GameEnd::Defeated;
        break;
    case EventKind::Fall:
        if (m_follow != 0 && e.ruler == player)
            f.end = GameEnd::Defeated; // the others play on without him
        break;
    default:
        break;
    }
    if (f.held > f.mostHeld) {
        f.mostHeld = f.held;
        f.mostYear = e.year;
        f.mostMonth = e.month;
    }
}
