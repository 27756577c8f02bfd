// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/game_series.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "cli/headless_game.h"
#include "cli/table_text.h"
#include "conduct/seat_role.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "rules/difficulty.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// The progress line on a terminal, redrawn in place a few times a second.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool shown, int total) : m_err(err), m_shown(shown), m_total(total) {}

    void Update(int done)
    {
        if (!m_shown)
            return;
        const SteadyClock::time_point now = SteadyClock::now();
        if (done < m_total && now - m_drawn < std::chrono::milliseconds(200))
            return;
        m_drawn = now;
        m_err << '\r' << ProgressText(done, m_total, Seconds(m_start, now)) << "\x1b[K" << std::flush;
    }
    void Clear()
    {
        if (m_shown)
            m_err << "\r\x1b[K" << std::flush;
    }
    static double Seconds(SteadyClock::time_point from, SteadyClock::time_point to)
    {
        return std::chrono::duration<double>(to - from).count();
    }
    SteadyClock::time_point Start() const { return m_start; }

private:
    std::ostream& m_err;
    bool m_shown;
    int m_total;
    SteadyClock::time_point m_start = SteadyClock::now();
    SteadyClock::time_point m_drawn{};
};

} // namespace

std::string FormatSeriesTable(const SeriesHeading& h, const std::vector<RulerSummary>& rows)
{
    std::ostringstream t;
    t << h.source << ", " << h.year << " 年 " << h.month << " 月: " << h.games << (h.games == 1 ? " game" : " games")
      << " a ruler of " << h.months << " months, the player " << (h.advised ? "advised" : "resting")
      << (h.difficulty == Difficulty::Normal ? std::string() : ", " + std::string(DifficultyName(h.difficulty)))
      << "; clocks " << h.firstClock << ".."
      << h.firstClock + h.games - 1 << '\n';
    // Each column as wide as its heading's place, or one more than its widest cell, so
    // that a space always stands between two columns.
    constexpr std::size_t kColumns = 8;
    using Cells = std::array<std::string, kColumns>;
    std::vector<Cells> lines = {{"ruler", "games", "alive", "Q1", "median", "Q3", "unified", "held"}};
    for (const RulerSummary& r : rows)
        lines.push_back({RulerLabel(r.ruler), std::to_string(r.games), Tenths(r.alivePermille) + "%",
                         std::to_string(r.q1), std::to_string(r.median), std::to_string(r.q3),
                         Tenths(r.unifiedPermille) + "%", Hundredths(r.meanHeldHundredths)});
    std::array<int, kColumns> widths = {12, 7, 8, 7, 8, 7, 9, 7};
    for (const Cells& cells : lines)
        for (std::size_t c = 0; c < kColumns; ++c)
            widths[c] = std::max(widths[c], DisplayWidth(cells[c]) + 1);
    for (const Cells& cells : lines) {
        t << PadRight(cells[0], widths[0]);
        for (std::size_t c = 1; c < kColumns; ++c)
            t << PadLeft(cells[c], widths[c]);
        t << '\n';
    }
    t << "alive: he still holds a country at the end; Q1, median, Q3: months he survived (all " << h.months
      << " when alive); unified: he holds all of China; held: mean countries at the end\n";
    return t.str();
}

std::vector<std::string> FormatSeriesCsv(const SeriesHeading& h, const std::vector<RulerSummary>& rows)
{
    std::vector<std::string> lines = {
        "source,scenario,year,month,ruler,name,games,months,first_clock,alive_percent,months_q1,months_median,"
        "months_q3,unified_percent,mean_countries_held"};
    // The source is a file name when a saved game is played: quoted as CSV quotes.
    std::string source = "\"";
    for (char c : h.source)
        source += c == '"' ? std::string("\"\"") : std::string(1, c);
    source += '"';
    for (const RulerSummary& r : rows) {
        std::ostringstream line;
        line << source << ',' << h.scenario << ',' << h.year << ',' << h.month << ',' << r.ruler << ','
             << kRulerNames[static_cast<std::size_t>(r.ruler)] << ',' << r.games << ',' << h.months << ','
             << h.firstClock << ',' << Tenths(r.alivePermille) << ',' << r.q1 << ',' << r.median << ',' << r.q3
             << ',' << Tenths(r.unifiedPermille) << ',' << Hundredths(r.meanHeldHundredths);
        lines.push_back(line.str());
    }
    return lines;
}

std::string ProgressText(int done, int total, double seconds)
{
    std::ostringstream t;
    t << done << '/' << total << " games";
    if (done > 0 && seconds > 0) {
        const double rate = done / seconds;
        t << "  " << std::fixed << std::setprecision(1) << rate << " games/s  "
          << static_cast<std::int64_t>(std::ceil((total - done) / rate)) << " s left";
    }
    return t.str();
}

int RunGameSeries(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool showProgress)
{
    // The start is read and checked once, as a single run reads it; each game begins
    // from a copy of it.
    HeadlessGame setUp;
    std::vector<RulerId> offered;
    if (!SetUpHeadlessGame(setUp.Session(), options, offered, err))
        return kHeadlessBadInput;
    const bool newGame = options.loadFile.empty();
    const GameState& startWorld = setUp.GetWorld();
    const std::vector<RulerId> rulers =
        options.allRulers ? offered : std::vector<RulerId>{newGame ? options.ruler : startWorld.playerRuler.Get()};

    SeriesHeading heading;
    heading.source = newGame ? "scenario " + std::to_string(options.scenario) : options.loadFile;
    heading.scenario = newGame ? options.scenario : 0;
    heading.year = startWorld.year;
    heading.month = startWorld.month;
    heading.games = options.games;
    heading.months = options.months;
    heading.firstClock = options.clockStart ? *options.clockStart : platform::ClockSeconds();
    heading.difficulty = startWorld.difficulty;

    heading.advised = options.player == HeadlessOptions::Player::Advisor;

    foresight::SeriesPlan plan;
    plan.start = startWorld;
    plan.newGame = newGame;
    plan.rulers = rulers;
    plan.seats = SeatsOf(options);
    plan.games = options.games;
    plan.months = options.months;
    plan.firstClock = heading.firstClock;
    plan.advised = heading.advised;
    plan.advice = AdviceOptionsOf(options);
    plan.seatCommand = SeatCommands(PersonSeats::Resting);

    const int total = static_cast<int>(rulers.size()) * options.games;
    ProgressLine progress(err, showProgress, total);
    const foresight::SeriesRun run =
        foresight::PlaySeries(plan, options.jobs, [&](int done) { progress.Update(done); });
    const std::vector<GameRecord>& records = run.records;
    const int jobs = run.threads;
    const double seconds = ProgressLine::Seconds(progress.Start(), SteadyClock::now());
    progress.Clear();
    if (run.asked > 1 && run.started < run.asked)
        err << "velcor: " << run.started << " of " << run.asked << " threads could be started; the games go on "
            << (run.started == 0 ? "on one" : "on those") << '\n';

    std::vector<RulerSummary> rows;
    for (std::size_t r = 0; r < rulers.size(); ++r) {
        const auto first = records.begin() + static_cast<std::ptrdiff_t>(r * static_cast<std::size_t>(options.games));
        rows.push_back(SummariseGames(rulers[r], std::vector<GameRecord>(first, first + options.games)));
    }
    out << FormatSeriesTable(heading, rows) << std::flush;
    std::ostringstream timing;
    timing << total << (total == 1 ? " game" : " games") << " in " << std::fixed << std::setprecision(2) << seconds
           << " s, " << std::setprecision(1) << (seconds > 0 ? total / seconds : 0.0) << " games/s, " << jobs
           << (jobs == 1 ? " thread" : " threads") << '\n';
    err << timing.str();
    if (!options.csvFile.empty()) {
        std::string error;
        if (!platform::WriteLinesAtomically(options.csvFile, FormatSeriesCsv(heading, rows), &error)) {
            err << "velcor: " << options.csvFile << ": " << error << '\n';
            return kHeadlessSaveFailed;
        }
    }
    return kHeadlessDone;
}
