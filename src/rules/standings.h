// SPDX-License-Identifier: GPL-3.0-or-later
// Who holds what: each ruler's countries, soldiers, provisions and funds now (the
// 勢力 table), and the countries each ruler held month by month, from the events (the
// 推移 chart).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/game_state.h"
#include "rules/events.h"

struct RulerStanding {
    RulerId ruler = 0;
    int countries = 0;
    std::int64_t soldiers = 0;
    std::int64_t provisions = 0;
    std::int64_t funds = 0;
    bool operator==(const RulerStanding&) const = default;
};

// Every ruler who holds a country in the world, most countries first; on equal counts
// the smaller id first.
std::vector<RulerStanding> RulerStandings(const GameState& world);

// The countries of each ruler at the start of every month, built from the events alone:
// a start sets every country's ruler, a capture hands one over, a month takes a point.
class HoldingsHistory {
public:
    struct Point {
        std::int32_t year = 0;
        std::int32_t month = 0;
        std::array<std::int8_t, kRulerCount> held{}; // countries of each ruler
    };

    void Clear();
    // Returns true when the event added a point.
    bool Add(const GameEvent& event);

    const std::vector<Point>& Points() const { return m_points; }
    // Countries of each ruler after the last event added.
    std::array<std::int8_t, kRulerCount> Held() const;
    // Whether a start has been seen (without one, captures have nothing to change).
    bool Started() const { return m_started; }

private:
    void TakePoint(const GameEvent& event);

    bool m_started = false;
    std::array<std::int8_t, kCountryCount> m_rulers{};
    std::vector<Point> m_points;
};
