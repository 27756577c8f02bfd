// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/random_start.h"

#include <system_error>

namespace dialogs {

RandomStart::RandomStart(QObject* parent) : QObject(parent)
{
    // The thread only sets its flag; the result is taken here, on the window's thread,
    // so that nothing of Qt is called from the thread.
    m_poll.setInterval(20);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (!m_done.load(std::memory_order_acquire) || !m_thread.joinable())
            return;
        m_poll.stop();
        m_thread.join();
        m_elapsedMs = m_clock.elapsed();
        m_result = std::move(m_made);
        emit finished();
    });
}

RandomStart::~RandomStart()
{
    Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

bool RandomStart::Start(std::uint32_t seed, const WorldRecord& map)
{
    if (m_thread.joinable())
        return false;
    m_cancel.store(false, std::memory_order_relaxed);
    m_done.store(false, std::memory_order_relaxed);
    m_made.reset();
    m_result.reset();
    m_clock.start();
    try {
        m_thread = std::thread([this, seed, map] {
            foresight::RandomScenarioOptions options;
            options.cancel = &m_cancel;
            m_made = foresight::MakeRandomScenario(seed, map, options);
            m_done.store(true, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        return false;
    }
    m_poll.start();
    return true;
}

} // namespace dialogs
