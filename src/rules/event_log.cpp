// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/event_log.h"

#include <new>

EventLog::EventLog() : m_blocks(new std::atomic<Block*>[kMaxBlocks]())
{
}

EventLog::~EventLog()
{
    for (std::size_t i = 0; i < kMaxBlocks; ++i)
        delete m_blocks[i].load(std::memory_order_relaxed);
}

GameEvent* EventLog::ReserveInNewBlock()
{
    const std::size_t index = m_size.load(std::memory_order_relaxed);
    const std::size_t block = index / kBlockSize;
    if (block >= kMaxBlocks) {
        m_dropped.fetch_add(1, std::memory_order_relaxed);
        return nullptr;
    }
    Block* b = m_blocks[block].load(std::memory_order_relaxed);
    if (!b) {
        b = new Block;
        // Published with the first event in it (Publish orders both).
        m_blocks[block].store(b, std::memory_order_release);
    }
    return new (b->bytes + index % kBlockSize * sizeof(GameEvent)) GameEvent;
}

void EventLog::OnGameEvent(const GameEvent& event)
{
    if (GameEvent* slot = Reserve()) {
        *slot = event;
        Publish();
    }
}

const GameEvent& EventLog::operator[](std::size_t index) const
{
    const Block* b = m_blocks[index / kBlockSize].load(std::memory_order_acquire);
    return *std::launder(reinterpret_cast<const GameEvent*>(b->bytes + index % kBlockSize * sizeof(GameEvent)));
}

void EventLog::Clear()
{
    m_size.store(0, std::memory_order_release);
    m_dropped.store(0, std::memory_order_relaxed);
}
