// SPDX-License-Identifier: GPL-3.0-or-later
// Synchronous calls from the turn worker to the interface thread: the function runs on
// the interface thread (where every window lives) while the worker waits, as a sent
// window message would. The worker touches nothing of Qt's: it leaves the function
// under a standard mutex and wakes the interface thread through an event counter
// file that the interface's event loop watches. Both are visible to the thread
// checker, so the hand-over is seen as the ordering it is.
#pragma once

#include <QObject>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace platform {

class UiCaller : public QObject {
    Q_OBJECT

public:
    // Create on the interface thread.
    explicit UiCaller(QObject* parent = nullptr);
    ~UiCaller() override;

    // Runs fn on the interface thread and returns when it has returned. Called on the
    // interface thread itself, it simply runs fn. Returns false, without running fn,
    // when the caller has been cancelled.
    bool Call(const std::function<void()>& fn);

    // Makes every waiting and later Call return false. A call already running on the
    // interface thread is waited for (its function may use the caller's data); one
    // not yet started is dropped.
    void Cancel();
    // Accepts calls again.
    void Resume();
    bool Cancelled() const;

private:
    void RunPending();

    int m_wakeFd = -1;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_pending; // set while a call waits to start
    bool m_running = false;
    bool m_done = false;
    bool m_cancelled = false;
};

} // namespace platform
