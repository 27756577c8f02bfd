// SPDX-License-Identifier: GPL-3.0-or-later
// A 32-bit figure that two threads share without a lock: the turn worker writes it
// while the interface thread repaints from it. Every read and write is whole and
// race-free (relaxed atomic); the turn protocol orders what needs ordering.
#pragma once

#include <atomic>
#include <cstdint>

class SharedInt {
public:
    constexpr SharedInt(std::int32_t value = 0) : m_value(value) {}
    // Copies take the figure as it stands (a world is copied only while nobody writes it).
    SharedInt(const SharedInt& other) : m_value(other.Get()) {}
    SharedInt& operator=(const SharedInt& other) { return *this = other.Get(); }

    operator std::int32_t() const { return m_value.load(std::memory_order_relaxed); }
    std::int32_t Get() const { return m_value.load(std::memory_order_relaxed); }

    SharedInt& operator=(std::int32_t value)
    {
        m_value.store(value, std::memory_order_relaxed);
        return *this;
    }
    // Read-modify-write by the one thread that owns the figure at that moment.
    SharedInt& operator+=(std::int32_t delta) { return *this = Get() + delta; }
    SharedInt& operator-=(std::int32_t delta) { return *this = Get() - delta; }

private:
    std::atomic<std::int32_t> m_value;
};
