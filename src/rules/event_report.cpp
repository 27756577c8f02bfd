// SPDX-License-Identifier: GPL-3.0-or-later
// The event sink's list of observers and the reports the rules make at fixed points:
// the code that hands events out, apart from the events themselves.
#include "rules/event_report.h"

#include <algorithm>

namespace {

bool HoldsAny(const GameState& world, RulerId ruler)
{
    for (const Country& c : world.countries) {
        if (c.GetRuler() == ruler)
            return true;
    }
    return false;
}

} // namespace

void EventSink::Add(EventObserver* observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
    Update();
}

void EventSink::Remove(EventObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
    Update();
}

void EventSink::Clear()
{
    m_observers.clear();
    Update();
}

void EventSink::Update()
{
    m_onlyLog = m_observers.size() == 1 ? dynamic_cast<EventLog*>(m_observers.front()) : nullptr;
}

void ReportStart(const GameState& world, EventSink& events, bool loaded)
{
    if (EventReport e{world, events, EventKind::Start}) {
        e->ruler = static_cast<std::int8_t>(world.playerRuler);
        e->byPlayer = loaded;
        for (int i = 0; i < kCountryCount; ++i)
            e->SetStartRuler(i, world.countries[i].GetRuler());
    }
}

void ReportVictory(const GameState& world, EventSink& events, RulerId winner)
{
    if (EventReport e{world, events, EventKind::Victory})
        e->ruler = static_cast<std::int8_t>(winner);
}

void ReportCapture(const GameState& world, EventSink& events, int country, int fromCountry, RulerId oldRuler,
                   RulerId newRuler)
{
    if (EventReport e{world, events, EventKind::Capture}) {
        e->country = static_cast<std::int8_t>(country);
        e->target = static_cast<std::int8_t>(fromCountry);
        e->ruler = static_cast<std::int8_t>(newRuler);
        e->otherRuler = static_cast<std::int8_t>(oldRuler);
    } else {
        return;
    }
    if (oldRuler == 0 || HoldsAny(world, oldRuler))
        return;
    if (EventReport fall{world, events, EventKind::Fall}) {
        fall->country = static_cast<std::int8_t>(country);
        fall->ruler = static_cast<std::int8_t>(oldRuler);
        fall->otherRuler = static_cast<std::int8_t>(newRuler);
    }
}
