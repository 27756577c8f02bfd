// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

#include <atomic>
#include <ctime>

namespace platform {

namespace {
std::atomic<bool> g_fixed{false};
std::atomic<std::int64_t> g_next{0};
} // namespace

std::int64_t ClockSeconds()
{
    if (g_fixed.load(std::memory_order_acquire))
        return g_next.fetch_add(1, std::memory_order_relaxed);
    return static_cast<std::int64_t>(std::time(nullptr));
}

void FixClock(std::int64_t start)
{
    g_next.store(start, std::memory_order_relaxed);
    g_fixed.store(true, std::memory_order_release);
}

void UseRealClock()
{
    g_fixed.store(false, std::memory_order_release);
}

bool ClockFixed() { return g_fixed.load(std::memory_order_acquire); }

void GameClock::EndFeed()
{
    if (!m_feed)
        return;
    if (m_fed > 0 && (m_fixed || ClockFixed())) {
        m_fixed = true;
        m_next = m_fed < m_feed->size() ? SecondAfter((*m_feed)[m_fed - 1]) : m_afterFeed;
    }
    m_feed.reset();
}

} // namespace platform
