// SPDX-License-Identifier: GPL-3.0-or-later
// The chronicle of the game being played, on the interface's side: the events the
// rules report (on the turn worker or on this thread) are kept in a lock-free log and
// announced here, on the interface thread, as they arrive. Kept beside a saved game as
// NAME.chronicle.jsonl.
#pragma once

#include <QObject>

#include <cstdint>
#include <optional>
#include <QString>
#include <QTimer>

#include <cstddef>

#include "rules/event_log.h"

class ChronicleLog : public QObject {
    Q_OBJECT

public:
    // A chronicle file larger than this is set aside unread: the events a chronicle
    // keeps take far less (docs/events.md).
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    // kept: the events kept before the oldest are cut (EventLog::kKept; fewer in tests).
    // world: the game whose events it keeps, which names their countries and rulers.
    explicit ChronicleLog(const GameState& world, QObject* parent = nullptr, std::size_t kept = EventLog::kKept);

    // What the rules report to (add it to the game's event sink).
    EventObserver& Observer() { return m_log; }
    const GameState& GetWorld() const { return m_world; }

    // The events kept before the oldest are cut.
    std::size_t Kept() const { return m_kept; }
    // Events announced so far.
    std::size_t Count() const { return m_announced; }
    const GameEvent& At(std::size_t index) const { return m_log[index]; }

    // Announces the events that have arrived since the last call. Runs by itself a few
    // times a second; call it to see them at once.
    void Poll();

    // Forgets the game (new game, load). Only while no turn worker runs.
    void Clear();

    // The seed of the 乱世 the game was begun on (nullopt: another game): its first line,
    // the start, names it.
    void SetRandomSeed(std::optional<std::uint32_t> seed);
    std::optional<std::uint32_t> RandomSeed() const { return m_seed; }

    // Cuts the oldest events when there are more than the log keeps, whole blocks of
    // them, and announces the log again from its start (cleared, then eventsAdded).
    // Only while no turn worker writes: at the player's turn, or while loading.
    // Returns how many were cut.
    std::size_t CutOldest();

    // The events from the last mark up to now, and a new mark after them (the turn
    // report's "since the player's last turn").
    std::pair<std::size_t, std::size_t> TakeSinceMark();

    // NAME -> NAME.chronicle.jsonl beside it, from the name's exact bytes.
    static QString ChroniclePath(const QString& savePath);
    // Writes every event as JSON Lines, then the line of the world saved beside them,
    // atomically; false and the reason on failure.
    bool Save(const QString& path, QString* error) const;
    // Replaces the log with the events of a file. False, with the log emptied, when the
    // file is missing (reason empty), or is set aside (reason given, in the player's
    // words): not a plain file, too large, a line that is not an event with every
    // field in range, or not closed by the line of the world now loaded. A file of more
    // events than the log keeps loads its newest.
    bool Load(const QString& path, QString* error);

signals:
    // Events [first, end) have arrived.
    void eventsAdded(std::size_t first, std::size_t end);
    void cleared();
    // The oldest events were cut to keep the log to its size.
    void oldestCut(std::size_t count);
    // The words of the events kept have changed (the seed became known).
    void reworded();

private:
    std::size_t DropOldest();

    const GameState& m_world;
    EventLog m_log;
    std::size_t m_kept;
    std::size_t m_announced = 0;
    std::optional<std::uint32_t> m_seed;
    std::size_t m_mark = 0;
    QTimer m_poll;
};
