// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/random_start.h"

#include <system_error>

namespace dialogs {

RandomStart::RandomStart(QObject* parent) : QObject(parent) {}

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
    m_made.reset();
    m_result.reset();
    m_clock.start();
    try {
        m_thread = std::thread([this, seed, map] {
            foresight::RandomScenarioOptions options;
            options.cancel = &m_cancel;
            m_made = foresight::MakeRandomScenario(seed, map, options);
            // The note comes last: the thread only returns after it.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!m_thread.joinable())
                        return;
                    m_thread.join();
                    m_elapsedMs = m_clock.elapsed();
                    m_result = std::move(m_made);
                    emit finished();
                },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

} // namespace dialogs
