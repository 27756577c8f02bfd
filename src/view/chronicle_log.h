// SPDX-License-Identifier: GPL-3.0-or-later
// The chronicle of the game being played, on the interface's side: the events the
// rules report (on the turn worker or on this thread) are kept in a lock-free log and
// announced here, on the interface thread, as they arrive. Kept beside a saved game as
// NAME.chronicle.jsonl.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>

#include "rules/event_log.h"

class ChronicleLog : public QObject {
    Q_OBJECT

public:
    explicit ChronicleLog(QObject* parent = nullptr);

    // What the rules report to (install with SetEventObserver).
    EventObserver& Observer() { return m_log; }

    // Events announced so far.
    std::size_t Count() const { return m_announced; }
    const GameEvent& At(std::size_t index) const { return m_log[index]; }

    // Announces the events that have arrived since the last call. Runs by itself a few
    // times a second; call it to see them at once.
    void Poll();

    // Forgets the game (new game, load). Only while no turn worker runs.
    void Clear();

    // The events from the last mark up to now, and a new mark after them (the turn
    // report's "since the player's last turn").
    std::pair<std::size_t, std::size_t> TakeSinceMark();

    // NAME.txt -> NAME.chronicle.jsonl beside it.
    static QString ChroniclePath(const QString& savePath);
    // Writes every event as JSON Lines, atomically; false and the reason on failure.
    bool Save(const QString& path, QString* error) const;
    // Replaces the log with the events of a file. False, with the log emptied, when the
    // file is missing (reason empty) or cannot be read whole (reason given).
    bool Load(const QString& path, QString* error);

signals:
    // Events [first, end) have arrived.
    void eventsAdded(std::size_t first, std::size_t end);
    void cleared();

private:
    EventLog m_log;
    std::size_t m_announced = 0;
    std::size_t m_mark = 0;
    QTimer m_poll;
};

// One line of JSON as the chronicle file holds it, back as an event; false when the
// line is not an event.
bool EventFromJson(const QByteArray& line, GameEvent& event);
