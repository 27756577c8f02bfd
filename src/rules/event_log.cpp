// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/event_log.h"

#include <algorithm>
#include <new>
#include <vector>

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

std::size_t EventLog::DropOldestBlocks(std::size_t blocks)
{
    const std::size_t size = m_size.load(std::memory_order_relaxed);
    blocks = std::min(blocks, (size + kBlockSize - 1) / kBlockSize);
    if (blocks == 0)
        return 0;
    // The blocks turn round: the first ones, emptied, come last.
    std::vector<Block*> order(kMaxBlocks);
    for (std::size_t i = 0; i < kMaxBlocks; ++i)
        order[i] = m_blocks[i].load(std::memory_order_relaxed);
    std::rotate(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(blocks), order.end());
    for (std::size_t i = 0; i < kMaxBlocks; ++i)
        m_blocks[i].store(order[i], std::memory_order_relaxed);
    const std::size_t dropped = std::min(size, blocks * kBlockSize);
    m_size.store(size - dropped, std::memory_order_release);
    return dropped;
}
