// SPDX-License-Identifier: GPL-3.0-or-later
// The clock the random generators are seeded from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// The current time in whole seconds since the epoch, as time(NULL). When the clock
// has been fixed, each reading returns the next second of the fixed clock instead.
std::int64_t ClockSeconds();

// From now on readings return start, start + 1, start + 2, ... so that a run can be
// repeated exactly while every seeding still sees a new second.
void FixClock(std::int64_t start);

// Back to the real clock.
void UseRealClock();

// Whether the process's clock is fixed (FixClock).
bool ClockFixed();

// Hears every reading of a game's clock, on the thread that read it.
class ClockListener {
public:
    virtual void ClockRead(std::int64_t seconds) = 0;

protected:
    ~ClockListener() = default;
};

// The clock one game seeds its generators from. By default it reads the process's
// clock above; fixed, it is the game's own: start, start + 1, ... whatever other games
// read meanwhile, so that games played side by side each repeat exactly. A copy goes
// on from the same reading.
//
// A recorded game is played again by feeding its readings back: they are returned
// first, in their order. Should the game want more than the record holds, the clock
// goes on from the second after the record's last reading (0 for a record without
// any), one second a reading, so that a record played again is the same game at every
// run. Once the feed is ended, a clock that was fixed, its own or the process's, goes
// on from the second after the last reading it gave, as the recorded game's clock went
// on; any other reads the time again.
// A listener hears each reading; it belongs to the clock it was given to, not to the
// world's value: a copy has none, and an assignment keeps the listener it had.
class GameClock {
public:
    GameClock() = default;
    GameClock(const GameClock& other)
        : m_fixed(other.m_fixed), m_next(other.m_next), m_feed(other.m_feed), m_fed(other.m_fed),
          m_afterFeed(other.m_afterFeed)
    {
    }
    GameClock& operator=(const GameClock& other)
    {
        m_fixed = other.m_fixed;
        m_next = other.m_next;
        m_feed = other.m_feed;
        m_fed = other.m_fed;
        m_afterFeed = other.m_afterFeed;
        return *this;
    }

    std::int64_t Read()
    {
        std::int64_t seconds = 0;
        if (m_feed && m_fed < m_feed->size()) {
            seconds = (*m_feed)[m_fed++];
        } else if (m_feed) {
            seconds = m_afterFeed;
            m_afterFeed = SecondAfter(seconds);
        } else {
            seconds = m_fixed ? m_next++ : ClockSeconds();
        }
        if (m_listener)
            m_listener->ClockRead(seconds);
        return seconds;
    }
    // Fixed from start on; a feed is ended.
    void FixFrom(std::int64_t start)
    {
        m_fixed = true;
        m_next = start;
        m_feed.reset();
    }
    bool Fixed() const { return m_fixed; }

    // Readings to return first: readings[from], readings[from + 1], ...
    void Feed(std::shared_ptr<const std::vector<std::int64_t>> readings, std::size_t from)
    {
        m_feed = std::move(readings);
        m_fed = from;
        m_afterFeed = !m_feed || m_feed->empty() ? 0 : SecondAfter(m_feed->back());
    }
    // The index in the feed of the next reading it would have returned (its size once
    // spent).
    std::size_t FedIndex() const { return m_fed; }
    bool Feeding() const { return m_feed != nullptr; }
    // No more readings from the feed: the clock goes on as described above.
    void EndFeed();

    void Listen(ClockListener* listener) { m_listener = listener; }

private:
    // The next second, the largest followed by the smallest.
    static std::int64_t SecondAfter(std::int64_t seconds)
    {
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(seconds) + 1);
    }

    bool m_fixed = false;
    std::int64_t m_next = 0;
    std::shared_ptr<const std::vector<std::int64_t>> m_feed;
    std::size_t m_fed = 0;
    std::int64_t m_afterFeed = 0; // what the feed gives once spent
    ClockListener* m_listener = nullptr;
};

} // namespace platform
