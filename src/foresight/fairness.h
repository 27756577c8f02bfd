// SPDX-License-Identifier: GPL-3.0-or-later
// The fairness table of a scenario: for each ruler it offers, whether he can make war
// at once, how often he is still alive after a year of resting games, his median months
// in them, how often a country changes hands within the first half year, and, when
// asked, how a player advised at every turn fares. A scenario is fair when every ruler
// meets the targets the bundled scenarios meet. Measured on copies of the starting
// world (the games of foresight/game_series.h), the same on every machine and with
// any number of threads; cancellable, with its progress readable meanwhile.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "foresight/advisor.h"
#include "foresight/game_series.h"
#include "model/game_state.h"
#include "model/scenario_pair.h"

namespace foresight {

inline constexpr int kFairnessGames = 200;          // resting games of each ruler
inline constexpr std::int64_t kAliveMonths = 12;     // each game's length
inline constexpr std::int64_t kCaptureMonths = 6;    // a capture counts within these first months
inline constexpr int kAliveTargetPermille = 800;     // alive after kAliveMonths in at least this share
inline constexpr int kCaptureTargetPermille = 500;   // a capture within kCaptureMonths in at least this share
inline constexpr std::int64_t kFairnessClock = 1000000; // the first game's clock
// Advised games of each ruler, when asked, and the advisor's trials of each command and
// months of each trial in them: an advice at every turn of every game is the costly
// part of the table, and this much of it tells a strong start from a weak one.
inline constexpr int kAdvisedGames = 10;
inline constexpr int kAdvisedRollouts = 16;
inline constexpr int kAdvisedHorizon = 6;

struct FairnessOptions {
    int games = kFairnessGames;
    std::int64_t firstClock = kFairnessClock;
    int threads = 0;       // 0: one for each core
    int advisedGames = 0;  // 0: the advised player is not asked
    AdviceOptions advice = [] {
        AdviceOptions quick;
        quick.rollouts = kAdvisedRollouts;
        quick.horizon = kAdvisedHorizon;
        return quick;
    }();
};

struct RulerFairness {
    RulerId ruler = 0;
    bool warAtStart = false;       // one of his countries can make war at its first turn
    RulerSummary resting;          // his resting games: alive share, median months, ...
    int capturePermille = 0;       // his games with a capture within kCaptureMonths
    std::optional<RulerSummary> advised; // his advised games, when asked

    bool AliveMet() const { return resting.alivePermille >= kAliveTargetPermille; }
    bool Fair() const { return warAtStart && AliveMet(); }
    bool operator==(const RulerFairness&) const = default;
};

struct FairnessTable {
    std::int32_t year = 0;  // the start's date
    std::int32_t month = 0;
    int games = 0;          // resting games of each ruler
    int advisedGames = 0;   // advised games of each ruler; 0 when not asked
    std::int64_t firstClock = 0;
    std::vector<RulerFairness> rows; // in the order offered
    // The resting games of every ruler together with a capture within kCaptureMonths:
    // the target is the opening's, whoever plays (a ruler who rests may be the one
    // the others would have fought).
    int capturePermille = 0;

    bool CaptureMet() const { return capturePermille >= kCaptureTargetPermille; }
    // Every ruler meets his targets and the opening its own.
    bool Fair() const;
    bool operator==(const FairnessTable&) const = default;
};

// The starting world of a pair as a new game reads it: the ruler table built, the
// header's player and cursor as written.
GameState StartingWorldOf(const ScenarioPair& pair);

// Whether a country of ruler's can make war as the world stands: soldiers, provisions
// at least its soldiers and the funds for a war, and a neighbour of another ruler.
bool CanMakeWar(const GameState& world, RulerId ruler);

// Plays the table's games on options.threads threads. progress,
// when given, is called on the calling thread with the games done and their total. An
// empty optional when cancelled.
std::optional<FairnessTable> MeasureFairness(const ScenarioPair& pair, const FairnessOptions& options,
                                             const std::function<void(int done, int total)>& progress = {},
                                             const std::atomic<bool>* cancel = nullptr);

// The table measured on a thread of its own, for a window that must not wait: start
// it, read its progress and result while it runs, and let it go (or cancel it) when
// the scenario changes. Nothing of it touches a window. Letting it go waits for the
// game in play: a resting game is a matter of microseconds, an advised one ends at its
// player's next turn, after the advice in hand.
class FairnessJob {
public:
    FairnessJob(ScenarioPair pair, FairnessOptions options = {});
    // Cancels the work and waits for it.
    ~FairnessJob();
    FairnessJob(const FairnessJob&) = delete;
    FairnessJob& operator=(const FairnessJob&) = delete;

    // Starts the work; finished, when given, is called once on the job's thread when
    // the table is done or the work has been cancelled (a window posts itself a note;
    // the job must not be let go from within it). False, with nothing started, when the
    // system starts no thread.
    bool Start(std::function<void()> finished = {});
    // Asks the work to stop; the result stays empty.
    void Cancel() { m_cancel.store(true, std::memory_order_release); }

    int GamesDone() const { return m_done.load(std::memory_order_acquire); }
    int GamesTotal() const { return m_total.load(std::memory_order_acquire); }
    bool Finished() const { return m_finished.load(std::memory_order_acquire); }
    // The table, once finished without being cancelled.
    std::optional<FairnessTable> Result() const;

private:
    ScenarioPair m_pair;
    FairnessOptions m_options;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::atomic<int> m_done{0};
    std::atomic<int> m_total{0};
    mutable std::mutex m_lock; // guards m_result
    std::optional<FairnessTable> m_result;
    std::thread m_thread;
};

} // namespace foresight
