#include "platform/sync_call.h"

#include <QThread>

namespace platform {

UiCaller::UiCaller(QObject* parent) : QObject(parent) {}

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
    // Queued by name: nothing of ours is handed over inside Qt's event, only the
    // wake-up; the function itself travels under m_mutex.
    QMetaObject::invokeMethod(this, "RunPending", Qt::QueuedConnection);
    lock.lock();
    m_changed.wait(lock, [this] { return m_done || (m_cancelled && !m_running); });
    m_pending = nullptr;
    return m_done;
}

void UiCaller::RunPending()
{
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
