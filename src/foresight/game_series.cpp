// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/game_series.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "foresight/look_ahead_ruler.h"
#include "foresight/resting_game.h"
#include "foresight/silent_host.h"
#include "rules/events.h"
#include "rules/turn.h"
#include "session/game_session.h"

// Each game is a world of its own, played by a session of its own with its own fixed
// clock, so games run side by side on threads and the records do not depend on which
// thread played which game.

namespace foresight {

namespace {

// Notes when a country first changes hands, in months of the calendar since the start.
class FirstCapture : public EventObserver {
public:
    void OnGameEvent(const GameEvent& event) override
    {
        if (event.kind == EventKind::Month)
            ++m_months;
        else if (event.kind == EventKind::Capture && m_first < 0)
            m_first = m_months;
    }
    std::int64_t Month() const { return m_first; }

private:
    std::int64_t m_months = 0;
    std::int64_t m_first = -1;
};

} // namespace

std::int64_t ShareOf(std::int64_t count, std::int64_t total, std::int64_t scale)
{
    return (count * scale * 2 + total) / (total * 2);
}

RulerSummary SummariseGames(RulerId ruler, const std::vector<GameRecord>& games)
{
    RulerSummary s;
    s.ruler = ruler;
    s.games = static_cast<int>(games.size());
    if (games.empty())
        return s;
    std::vector<std::int64_t> months;
    std::int64_t alive = 0, unified = 0, held = 0;
    for (const GameRecord& g : games) {
        months.push_back(g.monthsSurvived);
        alive += g.alive;
        unified += g.unified;
        held += g.countriesHeld;
    }
    std::sort(months.begin(), months.end());
    const std::int64_t n = s.games;
    // Rank ceil(p * n) with p = quarters / 4, counted from 1.
    auto quartile = [&](std::int64_t quarters) { return months[static_cast<std::size_t>((quarters * n + 3) / 4 - 1)]; };
    s.q1 = quartile(1);
    s.median = quartile(2);
    s.q3 = quartile(3);
    s.alivePermille = static_cast<int>(ShareOf(alive, n, 1000));
    s.unifiedPermille = static_cast<int>(ShareOf(unified, n, 1000));
    s.meanHeldHundredths = static_cast<int>(ShareOf(held, n, 100));
    return s;
}

GameRecord PlaySeriesGame(const SeriesPlan& plan, int task, const std::atomic<bool>* cancel)
{
    SilentHost host;
    host.planner = &DefaultPlanner(); // the computer rulers at 達人 look ahead
    GameSession session(host);
    FirstCapture capture;
    session.events.Add(&capture);
    session.world = plan.start;
    GameState& world = session.world;
    world.clock.FixFrom(plan.firstClock + task % plan.games);
    if (plan.newGame) {
        // This game's ruler plays; every other ruler sits as the plan says.
        const RulerId ruler = plan.rulers[static_cast<std::size_t>(task / plan.games)];
        world.seats = plan.seats;
        world.playerRuler = ruler;
        Seat& seat = world.seats[static_cast<std::size_t>(ruler)];
        if (!seat.Plays())
            seat = Seat::Person();
    }
    session.BeginGame(!plan.newGame);
    PlayOnOptions play;
    play.months = plan.months;
    play.advised = plan.advised;
    play.advice = plan.advice;
    play.seatCommand = plan.seatCommand;
    play.cancel = cancel;
    const PlayOnOutcome end = PlayOn(session, play);
    GameRecord record;
    record.alive = end.playerHolds;
    record.unified = end.unified;
    record.countriesHeld = end.countriesHeld;
    record.monthsSurvived = end.playerHolds ? plan.months : end.monthsRun;
    record.firstCaptureMonth = capture.Month();
    return record;
}

SeriesRun PlaySeries(const SeriesPlan& plan, int jobs, const std::function<void(int)>& progress,
                     const std::atomic<bool>* cancel)
{
    const int total = static_cast<int>(plan.rulers.size()) * plan.games;
    SeriesRun run;
    run.records.resize(static_cast<std::size_t>(total));
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    if (jobs <= 0)
        jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    jobs = std::max(1, std::min(jobs, total));
    // The games share the cores: each advisor then thinks on its game's thread alone
    // (its advice is the same on any number of threads).
    SeriesPlan shared = plan;
    shared.advice.threads = jobs > 1 ? 1 : plan.advice.threads;

    // The games are handed out one at a time to whichever thread is free; each writes
    // only its own records, and the calling thread reports the progress.
    std::atomic<int> next{0};
    std::mutex lock;
    std::condition_variable finished;
    int finishedCount = 0;
    int running = 0;
    auto work = [&] {
        for (int task = next.fetch_add(1); task < total && !cancelled(); task = next.fetch_add(1)) {
            const GameRecord record = PlaySeriesGame(shared, task, cancel);
            const std::lock_guard<std::mutex> hold(lock);
            run.records[static_cast<std::size_t>(task)] = record;
            ++finishedCount;
            finished.notify_one();
        }
        const std::lock_guard<std::mutex> hold(lock);
        --running;
        finished.notify_one();
    };
    std::vector<std::thread> threads;
    if (jobs > 1) {
        threads.reserve(static_cast<std::size_t>(jobs));
        for (int job = 0; job < jobs; ++job) {
            {
                const std::lock_guard<std::mutex> hold(lock);
                ++running;
            }
            try {
                threads.emplace_back(work);
            } catch (const std::system_error&) {
                // The system starts no more threads: those started play every game.
                const std::lock_guard<std::mutex> hold(lock);
                --running;
                break;
            }
        }
    }
    run.asked = jobs;
    run.started = static_cast<int>(threads.size());
    int done = 0;
    if (progress)
        progress(0);
    if (threads.empty()) {
        shared.advice.threads = plan.advice.threads;
        for (int task = 0; task < total && !cancelled(); ++task) {
            run.records[static_cast<std::size_t>(task)] = PlaySeriesGame(shared, task, cancel);
            done = task + 1;
            if (progress)
                progress(done);
        }
        run.threads = 1;
    } else {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            finished.wait(hold, [&] { return finishedCount > done || running == 0; });
            const bool over = running == 0;
            if (finishedCount > done) {
                done = finishedCount;
                hold.unlock();
                if (progress)
                    progress(done);
                hold.lock();
            }
            if (over && finishedCount == done)
                break;
        }
        hold.unlock();
        for (std::thread& t : threads)
            t.join();
        run.threads = static_cast<int>(threads.size());
    }
    run.played = done;
    run.cancelled = cancelled() || done < total;
    return run;
}

} // namespace foresight
