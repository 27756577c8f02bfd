// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/fairness.h"

#include <algorithm>
#include <system_error>

#include "rules/commands.h"

namespace foresight {

namespace {

SeriesPlan PlanOf(const GameState& world, const ScenarioPair& pair, const FairnessOptions& options, bool advised)
{
    SeriesPlan plan;
    plan.start = world;
    plan.rulers = pair.offered;
    plan.games = advised ? options.advisedGames : options.games;
    plan.months = kAliveMonths;
    plan.firstClock = options.firstClock;
    plan.advised = advised;
    plan.advice = options.advice;
    return plan;
}

// The records of the ruler in place r of a plan's games.
std::vector<GameRecord> GamesOf(const SeriesRun& run, std::size_t r, int games)
{
    const auto first = run.records.begin() + static_cast<std::ptrdiff_t>(r * static_cast<std::size_t>(games));
    return std::vector<GameRecord>(first, first + games);
}

} // namespace

bool FairnessTable::Fair() const
{
    return !rows.empty() && CaptureMet() &&
           std::all_of(rows.begin(), rows.end(), [](const RulerFairness& r) { return r.Fair(); });
}

GameState StartingWorldOf(const ScenarioPair& pair)
{
    GameState world;
    BuildRulerTable(world);
    ApplyWorld(world, pair.world);
    return world;
}

bool CanMakeWar(const GameState& world, RulerId ruler)
{
    for (int c = 0; c < kCountryCount; ++c) {
        const Country& country = world.countries[static_cast<std::size_t>(c)];
        if (country.GetRuler() == ruler && country.GetSoldiers() > 0 && WarBlock(world, c) == CommandBlock::None &&
            !AttackTargets(world, c).empty())
            return true;
    }
    return false;
}

std::optional<FairnessTable> MeasureFairness(const ScenarioPair& pair, const FairnessOptions& options,
                                             const std::function<void(int, int)>& progress,
                                             const std::atomic<bool>* cancel)
{
    const GameState world = StartingWorldOf(pair);
    FairnessTable table;
    table.year = world.year;
    table.month = world.month;
    table.games = std::max(1, options.games);
    table.advisedGames = std::max(0, options.advisedGames);
    table.firstClock = options.firstClock;

    FairnessOptions sized = options;
    sized.games = table.games;
    sized.advisedGames = table.advisedGames;
    const int rulers = static_cast<int>(pair.offered.size());
    const int total = rulers * (table.games + table.advisedGames);
    const SeriesRun resting = PlaySeries(PlanOf(world, pair, sized, false), options.threads, [&](int done) {
        if (progress)
            progress(done, total);
    }, cancel);
    if (resting.cancelled)
        return std::nullopt;
    SeriesRun advised;
    if (table.advisedGames > 0) {
        const int before = rulers * table.games;
        advised = PlaySeries(PlanOf(world, pair, sized, true), options.threads, [&](int done) {
            if (progress)
                progress(before + done, total);
        }, cancel);
        if (advised.cancelled)
            return std::nullopt;
    }

    std::int64_t capturedAll = 0;
    for (std::size_t r = 0; r < pair.offered.size(); ++r) {
        RulerFairness row;
        row.ruler = pair.offered[r];
        row.warAtStart = CanMakeWar(world, row.ruler);
        const std::vector<GameRecord> games = GamesOf(resting, r, table.games);
        row.resting = SummariseGames(row.ruler, games);
        const auto captured = std::count_if(games.begin(), games.end(), [](const GameRecord& g) {
            return g.firstCaptureMonth >= 0 && g.firstCaptureMonth < kCaptureMonths;
        });
        row.capturePermille = static_cast<int>(ShareOf(captured, table.games, 1000));
        capturedAll += captured;
        if (table.advisedGames > 0)
            row.advised = SummariseGames(row.ruler, GamesOf(advised, r, table.advisedGames));
        table.rows.push_back(row);
    }
    if (rulers > 0)
        table.capturePermille = static_cast<int>(ShareOf(capturedAll, std::int64_t{rulers} * table.games, 1000));
    return table;
}

FairnessJob::FairnessJob(ScenarioPair pair, FairnessOptions options)
    : m_pair(std::move(pair)), m_options(std::move(options))
{
}

FairnessJob::~FairnessJob()
{
    Cancel();
    if (m_thread.joinable())
        m_thread.join();
}

bool FairnessJob::Start(std::function<void()> finished)
{
    if (m_thread.joinable())
        return true;
    try {
        m_thread = std::thread([this, finished = std::move(finished)] {
        std::optional<FairnessTable> table = MeasureFairness(
            m_pair, m_options,
            [this](int done, int total) {
                m_total.store(total, std::memory_order_release);
                m_done.store(done, std::memory_order_release);
            },
            &m_cancel);
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_result = std::move(table);
        }
        m_finished.store(true, std::memory_order_release);
        if (finished)
            finished();
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

std::optional<FairnessTable> FairnessJob::Result() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_result;
}

} // namespace foresight
