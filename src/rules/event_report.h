// SPDX-License-Identifier: GPL-3.0-or-later
// Reporting one event from the rules. Inline, because the computer's turns report a
// dozen events a month and must not slow down for it.
#pragma once

#include <new>

#include "rules/event_log.h"
#include "rules/events.h"

// One event being reported: made, dated with the world's year and month, filled in by
// the caller and handed to every observer of the sink when it goes out of scope. When
// the only observer is the chronicle's log the event is made in its place there, with
// no copy. Tests false when nobody observes (then fill nothing):
//   if (EventReport e{world, events, EventKind::Month}) { ... }
// One report is open at a time.
class EventReport {
public:
    EventReport(const GameState& world, EventSink& events, EventKind kind)
    {
        if (!events.Observed())
            return; // nothing made: reporting costs nothing when nobody listens
        EventLog* log = events.OnlyLog();
        m_event = log ? log->Reserve() : nullptr;
        if (m_event) {
            m_log = log;
        } else {
            m_event = new (m_local) GameEvent; // the log is full (made and dropped), or other observers
            if (!log)
                m_sink = &events;
        }
        m_event->kind = kind;
        m_event->year = world.year;
        m_event->month = static_cast<std::int8_t>(world.month);
    }
    ~EventReport()
    {
        if (m_log) {
            m_log->Publish();
        } else if (m_sink) {
            for (EventObserver* observer : m_sink->Observers())
                observer->OnGameEvent(*m_event);
        }
    }
    EventReport(const EventReport&) = delete;
    EventReport& operator=(const EventReport&) = delete;

    explicit operator bool() const { return m_event != nullptr; }
    GameEvent* operator->() { return m_event; }
    GameEvent& operator*() { return *m_event; }

private:
    GameEvent* m_event = nullptr;
    EventSink* m_sink = nullptr; // when the event goes to the observers one by one
    EventLog* m_log = nullptr;
    alignas(GameEvent) unsigned char m_local[sizeof(GameEvent)]; // made only when needed
};
