// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/game_series.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <iomanip>
#include <mutex>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

#include "cli/headless.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/text_file.h"
#include "rules/difficulty.h"
#include "rules/turn.h"

// Each game is a world of its own, played by a session of its own with its own fixed
// clock, so games run side by side on threads and the table does not depend on which
// thread played which game.

namespace {

using SteadyClock = std::chrono::steady_clock;

// Rounded half up: parts per scale of count out of total.
std::int64_t Share(std::int64_t count, std::int64_t total, std::int64_t scale)
{
    return (count * scale * 2 + total) / (total * 2);
}

std::string Tenths(std::int64_t value) { return std::to_string(value / 10) + "." + std::to_string(value % 10); }

std::string Hundredths(std::int64_t value)
{
    const std::int64_t cents = value % 100;
    return std::to_string(value / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

// Columns on a terminal: the CJK characters of the names take two.
int DisplayWidth(std::string_view utf8)
{
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        const bool halfWidthKana = cp >= 0xFF61 && cp <= 0xFF9F;
        width += cp >= 0x1100 && !halfWidthKana ? 2 : 1;
        i += length;
    }
    return width;
}

std::string PadRight(const std::string& text, int width)
{
    return text + std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(text))), ' ');
}

std::string PadLeft(const std::string& text, int width)
{
    return std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(text))), ' ') + text;
}

std::string RulerLabel(RulerId ruler)
{
    return PadLeft(std::to_string(ruler), 2) + " " + std::string(kRulerNames[static_cast<std::size_t>(ruler)]);
}

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
    s.alivePermille = static_cast<int>(Share(alive, n, 1000));
    s.unifiedPermille = static_cast<int>(Share(unified, n, 1000));
    s.meanHeldHundredths = static_cast<int>(Share(held, n, 100));
    return s;
}

std::string FormatSeriesTable(const SeriesHeading& h, const std::vector<RulerSummary>& rows)
{
    std::ostringstream t;
    t << h.source << ", " << h.year << " 年 " << h.month << " 月: " << h.games << (h.games == 1 ? " game" : " games")
      << " a ruler of " << h.months << " months, the player " << (h.advised ? "advised" : "resting")
      << (h.difficulty == Difficulty::Normal ? std::string() : ", " + std::string(DifficultyName(h.difficulty)))
      << "; clocks " << h.firstClock << ".."
      << h.firstClock + h.games - 1 << '\n';
    t << PadRight("ruler", 12) << PadLeft("games", 7) << PadLeft("alive", 8) << PadLeft("Q1", 7)
      << PadLeft("median", 8) << PadLeft("Q3", 7) << PadLeft("unified", 9) << PadLeft("held", 7) << '\n';
    for (const RulerSummary& r : rows) {
        t << PadRight(RulerLabel(r.ruler), 12) << PadLeft(std::to_string(r.games), 7)
          << PadLeft(Tenths(r.alivePermille) + "%", 8) << PadLeft(std::to_string(r.q1), 7)
          << PadLeft(std::to_string(r.median), 8) << PadLeft(std::to_string(r.q3), 7)
          << PadLeft(Tenths(r.unifiedPermille) + "%", 9) << PadLeft(Hundredths(r.meanHeldHundredths), 7) << '\n';
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

    HeadlessOptions single;
    single.months = options.months;
    single.player = options.player;
    single.rollouts = options.rollouts;
    single.horizon = options.horizon;
    // Game i of each ruler is the single run with the clock firstClock + i.
    auto play = [&](int task) {
        HeadlessGame game;
        GameSession& session = game.Session();
        session.world = startWorld;
        session.world.clock.FixFrom(heading.firstClock + task % options.games);
        if (newGame)
            BeginNewGame(session.world, session.events, rulers[static_cast<std::size_t>(task / options.games)]);
        else
            BeginLoadedGame(session.world, session.events);
        const HeadlessOutcome end = PlayResting(game, single);
        GameRecord record;
        record.alive = end.playerHolds;
        record.unified = end.unified;
        record.countriesHeld = end.countriesHeld;
        record.monthsSurvived = end.playerHolds ? options.months : end.monthsRun;
        return record;
    };

    const int total = static_cast<int>(rulers.size()) * options.games;
    int jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    jobs = std::min(jobs, total);
    // The games share the cores: each advisor then thinks on its game's thread alone
    // (its advice is the same on any number of threads).
    single.adviceThreads = jobs > 1 ? 1 : 0;
    std::vector<GameRecord> records(static_cast<std::size_t>(total));
    int done = 0;
    ProgressLine progress(err, showProgress, total);
    progress.Update(0);
    // The games are handed out one at a time to whichever thread is free; each writes
    // only its own records, and this thread keeps the progress line. Should the system
    // give fewer threads than asked, the games are played on those it gave (on this
    // one when none): the table does not depend on the threads.
    std::atomic<int> next{0};
    std::mutex lock;
    std::condition_variable finished;
    int finishedCount = 0;
    std::vector<std::thread> threads;
    if (jobs > 1) {
        threads.reserve(static_cast<std::size_t>(jobs));
        try {
            for (int job = 0; job < jobs; ++job) {
                threads.emplace_back([&] {
                    for (int task = next.fetch_add(1); task < total; task = next.fetch_add(1)) {
                        const GameRecord record = play(task);
                        const std::lock_guard<std::mutex> hold(lock);
                        records[static_cast<std::size_t>(task)] = record;
                        ++finishedCount;
                        finished.notify_one();
                    }
                });
            }
        } catch (const std::system_error&) {
            err << "velcor: " << threads.size() << " of " << jobs << " threads could be started; the games go on "
                << (threads.empty() ? "on one" : "on those") << '\n';
        }
    }
    jobs = std::max(1, static_cast<int>(threads.size()));
    if (threads.empty()) {
        for (int task = 0; task < total; ++task) {
            records[static_cast<std::size_t>(task)] = play(task);
            progress.Update(++done);
        }
    } else {
        {
            std::unique_lock<std::mutex> hold(lock);
            while (done < total) {
                finished.wait(hold, [&] { return finishedCount > done; });
                done = finishedCount;
                hold.unlock();
                progress.Update(done);
                hold.lock();
            }
        }
        for (std::thread& t : threads)
            t.join();
    }
    const double seconds = ProgressLine::Seconds(progress.Start(), SteadyClock::now());
    progress.Clear();

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
