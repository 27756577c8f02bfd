// SPDX-License-Identifier: GPL-3.0-or-later
// Every event of a game, kept in the order reported. One thread writes at a time (the
// turn worker during the computer's turns, the interface thread during the player's),
// as the turn protocol hands the game over; any thread may read what has been written
// meanwhile, without a lock. Writing an event costs a copy and one ordered store, so
// that keeping the chronicle does not slow the computer's turns.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

#include "rules/events.h"

class EventLog : public EventObserver {
public:
    static constexpr std::size_t kBlockSize = 1024;
    // The events a chronicle keeps (docs/events.md): past them its oldest are cut.
    static constexpr std::size_t kKept = 256 * kBlockSize;
    // Room for twice as many, so that the events written between two cuts (the
    // computer's turns of a month, cut at the player's turn) never find the log full;
    // past this they would be dropped.
    static constexpr std::size_t kMaxBlocks = 2 * kKept / kBlockSize;

    EventLog();
    ~EventLog() override;
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // Appends the event (the writer's side).
    void OnGameEvent(const GameEvent& event) override;

    // The same in two steps, so that the rules write an event straight into its place:
    // the next event's room (nullptr when the log is full), then its publication.
    // Only one event is open at a time.
    GameEvent* Reserve()
    {
        const std::size_t index = m_size.load(std::memory_order_relaxed);
        Block* b = index / kBlockSize < kMaxBlocks ? m_blocks[index / kBlockSize].load(std::memory_order_relaxed)
                                                   : nullptr;
        if (!b)
            return ReserveInNewBlock();
        return new (b->bytes + index % kBlockSize * sizeof(GameEvent)) GameEvent;
    }
    void Publish() { m_size.store(m_size.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

    // Events written so far; each of them may be read at once.
    std::size_t Size() const { return m_size.load(std::memory_order_acquire); }
    const GameEvent& operator[](std::size_t index) const;
    // Events that did not fit.
    std::size_t Dropped() const { return m_dropped.load(std::memory_order_relaxed); }

    // Forgets every event; the memory stays for the next game. Only while nobody
    // writes or reads.
    void Clear();
    // Forgets the oldest events, whole blocks of them: the events of the first blocks
    // go, the later ones move to the front with their blocks, whose memory is kept for
    // the events to come. Only while nobody writes or reads. Returns how many went.
    std::size_t DropOldestBlocks(std::size_t blocks);

private:
    GameEvent* ReserveInNewBlock();

    // Room for events, constructed only as they are written.
    struct Block {
        alignas(GameEvent) unsigned char bytes[kBlockSize * sizeof(GameEvent)];
    };
    static_assert(std::is_trivially_copyable_v<GameEvent> && std::is_trivially_destructible_v<GameEvent>);
    std::unique_ptr<std::atomic<Block*>[]> m_blocks;
    std::atomic<std::size_t> m_size{0};
    std::atomic<std::size_t> m_dropped{0};
};
