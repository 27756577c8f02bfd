// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/events.h"

#include <algorithm>

#include "rules/event_report.h"

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

std::string_view EventKindName(EventKind kind)
{
    switch (kind) {
    case EventKind::Start:
        return "start";
    case EventKind::Month:
        return "month";
    case EventKind::Command:
        return "command";
    case EventKind::Move:
        return "move";
    case EventKind::Battle:
        return "battle";
    case EventKind::Capture:
        return "capture";
    case EventKind::Fall:
        return "fall";
    case EventKind::Harvest:
        return "harvest";
    case EventKind::Taxes:
        return "taxes";
    case EventKind::Victory:
        return "victory";
    case EventKind::GameOver:
        return "game_over";
    }
    return "unknown";
}

std::string_view CommandName(DomesticCommand command) { return NamesOf(command).event; }

std::string_view BattleOutcomeName(BattleOutcome outcome)
{
    switch (outcome) {
    case BattleOutcome::Taken:
        return "taken";
    case BattleOutcome::Repelled:
        return "repelled";
    case BattleOutcome::Retreat:
        return "retreat";
    }
    return "unknown";
}

bool EventTouchesRuler(const GameEvent& event, RulerId ruler)
{
    switch (event.kind) {
    case EventKind::Month:
        return false;
    case EventKind::Battle:
    case EventKind::Capture:
    case EventKind::Fall:
        return event.ruler == ruler || event.otherRuler == ruler;
    default:
        return event.ruler == ruler;
    }
}

bool IsWarEvent(const GameEvent& event)
{
    return event.kind == EventKind::Battle || event.kind == EventKind::Capture || event.kind == EventKind::Fall;
}

bool IsTurnReportItem(const GameEvent& event, RulerId player)
{
    switch (event.kind) {
    case EventKind::Capture:
        // A country taken from the player is reported as the attack that took it.
        return event.ruler != player && event.otherRuler != player;
    case EventKind::Battle:
        return event.otherRuler == player && event.ruler != player;
    case EventKind::Fall:
        return true;
    default:
        return false;
    }
}
