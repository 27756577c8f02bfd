// SPDX-License-Identifier: GPL-3.0-or-later
// 乱世 made on a thread of its own, for a dialog that must not wait: started with a
// seed and the map, cancelled when the player changes his mind, its scenario read once
// it says it has finished. Nothing of the work touches a window.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "foresight/random_scenario.h"

namespace dialogs {

class RandomStart : public QObject {
    Q_OBJECT

public:
    explicit RandomStart(QObject* parent = nullptr);
    // Cancels the work and waits for it (a fraction of a second).
    ~RandomStart() override;

    // Starts making the scenario of seed on map; false, with nothing started, when
    // work is under way or the system gives no thread.
    bool Start(std::uint32_t seed, const WorldRecord& map);
    void Cancel() { m_cancel.store(true, std::memory_order_relaxed); }
    bool Running() const { return m_thread.joinable(); }

    // The scenario made, once finished; empty when cancelled or when none came of the
    // seed.
    const std::optional<foresight::RandomScenario>& Result() const { return m_result; }
    // How long the last one took, from its start to its end.
    qint64 ElapsedMs() const { return m_elapsedMs; }

signals:
    // The work has ended (made, cancelled or failed); the thread has been joined.
    void finished();

private:
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false}; // set by the thread last; a timer here looks for it
    QTimer m_poll;
    std::optional<foresight::RandomScenario> m_made; // written by the thread, read after its join
    std::optional<foresight::RandomScenario> m_result;
    QElapsedTimer m_clock;
    qint64 m_elapsedMs = 0;
};

} // namespace dialogs
