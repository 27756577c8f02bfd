// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/standings.h"

#include <algorithm>

std::vector<RulerStanding> RulerStandings(const GameState& world)
{
    std::array<RulerStanding, kRulerCount> all{};
    for (const Country& c : world.countries) {
        const RulerId r = c.GetRuler();
        if (r <= 0 || r >= kRulerCount)
            continue;
        RulerStanding& s = all[static_cast<std::size_t>(r)];
        s.ruler = r;
        ++s.countries;
        s.soldiers += c.GetSoldiers();
        s.provisions += c.GetProvisions();
        s.funds += c.GetFunds();
    }
    std::vector<RulerStanding> held;
    for (const RulerStanding& s : all) {
        if (s.countries > 0)
            held.push_back(s);
    }
    std::stable_sort(held.begin(), held.end(),
                     [](const RulerStanding& a, const RulerStanding& b) { return a.countries > b.countries; });
    return held;
}

void HoldingsHistory::Clear()
{
    m_started = false;
    m_rulers = {};
    m_points.clear();
}

bool HoldingsHistory::Add(const GameEvent& event)
{
    switch (event.kind) {
    case EventKind::Start:
        for (int i = 0; i < kCountryCount; ++i)
            m_rulers[static_cast<std::size_t>(i)] = static_cast<std::int8_t>(event.StartRuler(i));
        m_started = true;
        TakePoint(event);
        return true;
    case EventKind::Capture:
        if (GameState::IsCountryIndex(event.country))
            m_rulers[static_cast<std::size_t>(event.country)] = event.ruler;
        return false;
    case EventKind::Month:
        if (!m_started)
            return false;
        TakePoint(event);
        return true;
    default:
        return false;
    }
}

std::array<std::int8_t, kRulerCount> HoldingsHistory::Held() const
{
    std::array<std::int8_t, kRulerCount> held{};
    for (std::int8_t r : m_rulers) {
        if (r >= 0 && r < kRulerCount)
            ++held[static_cast<std::size_t>(r)];
    }
    return held;
}

void HoldingsHistory::TakePoint(const GameEvent& event)
{
    Point p;
    p.year = event.year;
    p.month = event.month;
    p.held = Held();
    // A loaded game starts again in the month its file holds: that point replaces the
    // last one of the same date.
    if (!m_points.empty() && m_points.back().year == p.year && m_points.back().month == p.month)
        m_points.back() = p;
    else
        m_points.push_back(p);
}
