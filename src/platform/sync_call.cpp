// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sync_call.h"

#include <QSocketNotifier>
#include <QThread>

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

UiCaller::UiCaller(QObject* parent) : QObject(parent)
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    auto* notifier = new QSocketNotifier(static_cast<qintptr>(m_wakeFd), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { RunPending(); });
}

UiCaller::~UiCaller()
{
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

bool UiCaller::Call(const std::function<void()>& fn)
{
    if (QThread::currentThread() == thread()) {
        if (Cancelled())
            return false;
        fn();
        return true;
    }
    std::unique_lock lock(m_mutex);
    if (m_cancelled)
        return false;
    m_pending = fn;
    m_done = false;
    lock.unlock();
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(m_wakeFd, &one, sizeof one);
    lock.lock();
    m_changed.wait(lock, [this] { return m_done || (m_cancelled && !m_running); });
    m_pending = nullptr;
    return m_done;
}

void UiCaller::RunPending()
{
    std::uint64_t count = 0;
    [[maybe_unused]] ssize_t got = ::read(m_wakeFd, &count, sizeof count);
    std::function<void()> fn;
    {
        std::lock_guard lock(m_mutex);
        if (!m_pending || m_cancelled)
            return;
        fn = std::move(m_pending);
        m_pending = nullptr;
        m_running = true;
    }
    fn();
    {
        std::lock_guard lock(m_mutex);
        m_running = false;
        m_done = true;
    }
    m_changed.notify_all();
}

void UiCaller::Cancel()
{
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = true;
    }
    m_changed.notify_all();
}

void UiCaller::Resume()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = false;
}

bool UiCaller::Cancelled() const
{
    std::lock_guard lock(m_mutex);
    return m_cancelled;
}

} // namespace platform
