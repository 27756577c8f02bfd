// SPDX-License-Identifier: GPL-3.0-or-later
// Reporting one event from the rules. Inline, because the computer's turns report a
// dozen events a month and must not slow down for it.
#pragma once

#include <atomic>
#include <new>

#include "rules/event_log.h"
#include "rules/events.h"

// One event being reported: made, dated with GameState's year and month, filled in by
// the caller and handed over when it goes out of scope. When the observer is the
// chronicle's log the event is made in its place there, with no copy. Tests false when
// nobody observes (then fill nothing):
//   if (EventReport e{EventKind::Month}) { ... }
// One report is open at a time.
class EventReport {
public:
    explicit EventReport(EventKind kind)
    {
        EventObserver* observer = GetEventObserver();
        if (!observer)
            return; // nothing made: reporting costs nothing when nobody listens
        EventLog* log = event_detail::log.load(std::memory_order_relaxed);
        m_event = log ? log->Reserve() : nullptr;
        if (m_event) {
            m_log = log;
        } else {
            m_event = new (m_local) GameEvent; // the log is full (made and dropped), or another observer
            if (!log)
                m_observer = observer;
        }
        m_event->kind = kind;
        m_event->year = GameState::year;
        m_event->month = static_cast<std::int8_t>(GameState::month);
    }
    ~EventReport()
    {
        if (m_log)
            m_log->Publish();
        else if (m_observer)
            m_observer->OnGameEvent(*m_event);
    }
    EventReport(const EventReport&) = delete;
    EventReport& operator=(const EventReport&) = delete;

    explicit operator bool() const { return m_event != nullptr; }
    GameEvent* operator->() { return m_event; }
    GameEvent& operator*() { return *m_event; }

private:
    GameEvent* m_event = nullptr;
    EventObserver* m_observer = nullptr; // when it is not the log
    EventLog* m_log = nullptr;
    alignas(GameEvent) unsigned char m_local[sizeof(GameEvent)]; // made only when needed
};
