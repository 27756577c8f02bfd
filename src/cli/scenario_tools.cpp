// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/scenario_tools.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "cli/headless_game.h"
#include "cli/table_text.h"
#include "foresight/random_scenario.h"
#include "model/scenario_file.h"
#include "model/scenario_pair.h"

namespace {

bool Refuse(std::string& error, std::string text)
{
    error = std::move(text);
    return false;
}

// A share with a mark when it misses its target.
std::string ShareText(int permille, bool met) { return Tenths(permille) + "%" + (met ? " " : "*"); }

std::string SecondsSince(std::chrono::steady_clock::time_point start)
{
    std::ostringstream t;
    t << std::fixed << std::setprecision(2)
      << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() << " s";
    return t.str();
}

foresight::FairnessOptions FairnessOptionsOf(const HeadlessOptions& options)
{
    foresight::FairnessOptions fairness;
    fairness.threads = options.jobs;
    if (options.player == HeadlessOptions::Player::Advisor) {
        fairness.advisedGames = foresight::kAdvisedGames;
        if (options.rollouts > 0)
            fairness.advice.rollouts = options.rollouts;
        if (options.horizon > 0)
            fairness.advice.horizon = options.horizon;
    }
    return fairness;
}

int RunFairness(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    const ScenarioPairRead read = ReadScenarioPair(ScenarioFilePath(options.dataDir, options.scenario),
                                                   CountryFilePath(options.dataDir, options.scenario));
    if (!read.read) {
        err << "velcor: " << read.words.Text() << '\n';
        return kHeadlessBadInput;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::optional<foresight::FairnessTable> table =
        foresight::MeasureFairness(read.pair, FairnessOptionsOf(options));
    out << FormatFairnessTable("scenario " + std::to_string(options.scenario) + " of " + options.dataDir, *table)
        << std::flush;
    err << "measured in " << SecondsSince(start) << '\n';
    return kHeadlessDone;
}

int RunRandomScenario(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    WorldRecord map;
    const LoadOutcome loaded =
        ReadCountryRecord(CountryFilePath(options.dataDir, 1), map, CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        err << "velcor: " << loaded.words.Text() << '\n';
        return kHeadlessBadInput;
    }
    const auto start = std::chrono::steady_clock::now();
    foresight::RandomScenarioOptions making;
    making.threads = options.jobs;
    const std::optional<foresight::RandomScenario> made =
        foresight::MakeRandomScenario(*options.randomSeed, map, making);
    if (!made) {
        err << "velcor: no fair scenario came of seed " << *options.randomSeed << '\n';
        return kHeadlessBadInput;
    }
    out << FormatFairnessTable("乱世 " + std::to_string(made->seed), made->table) << std::flush;
    err << "made in " << SecondsSince(start) << ", " << made->draws << (made->draws == 1 ? " draw, " : " draws, ")
        << made->rounds << (made->rounds == 1 ? " table\n" : " tables\n");
    if (options.writeScenario.empty())
        return kHeadlessDone;
    std::error_code ignored;
    std::filesystem::create_directories(options.writeScenario, ignored);
    std::string error;
    if (!WriteScenarioPair(options.writeScenario, 1, made->pair, &error)) {
        err << "velcor: " << options.writeScenario << ": " << error << '\n';
        return kHeadlessSaveFailed;
    }
    return kHeadlessDone;
}

} // namespace

bool IsScenarioTool(const HeadlessOptions& options)
{
    return options.fairness || options.randomSeed || !options.writeScenario.empty();
}

bool CheckScenarioToolOptions(const HeadlessOptions& options, const std::vector<std::string>& seen, std::string& error)
{
    const bool random = options.randomSeed.has_value();
    if (!random && !options.writeScenario.empty())
        return Refuse(error, "--write-scenario writes a random scenario: give --random-scenario too");
    if (random && options.fairness)
        return Refuse(error, "--random-scenario prints its fairness table: give it without --fairness");
    const char* const tool = random ? "--random-scenario" : "--fairness";
    if (options.advise)
        return Refuse(error, std::string("--advise cannot be given with ") + tool);
    const std::vector<std::string> allowed =
        random ? std::vector<std::string>{"--random-scenario", "--write-scenario", "--data", "--jobs"}
               : std::vector<std::string>{"--scenario", "--data", "--jobs", "--player", "--rollouts", "--horizon"};
    for (const std::string& name : seen)
        if (std::find(allowed.begin(), allowed.end(), name) == allowed.end())
            return Refuse(error, name + " cannot be given with " + tool);
    if (!random && options.scenario == 0)
        return Refuse(error, "--fairness needs --scenario N");
    if ((options.rollouts || options.horizon) && options.player != HeadlessOptions::Player::Advisor)
        return Refuse(error, "--rollouts and --horizon are the advisor's: give --player advisor too");
    return true;
}

std::string FormatFairnessTable(const std::string& source, const foresight::FairnessTable& table)
{
    using namespace foresight;
    std::ostringstream t;
    t << source << ", " << table.year << " 年 " << table.month << " 月: " << table.games
      << " resting games a ruler of " << kAliveMonths << " months";
    if (table.advisedGames > 0)
        t << " and " << table.advisedGames << " advised";
    t << "; clocks " << table.firstClock << ".." << table.firstClock + std::max(table.games, table.advisedGames) - 1
      << '\n';
    t << PadRight("ruler", 12) << PadLeft("war", 5) << PadLeft("alive", 9) << PadLeft("median", 8)
      << PadLeft("capture", 10);
    if (table.advisedGames > 0)
        t << PadLeft("advised", 10) << PadLeft("median", 8);
    t << '\n';
    int missing = 0;
    for (const RulerFairness& r : table.rows) {
        missing += !r.Fair();
        t << PadRight(RulerLabel(r.ruler), 12) << PadLeft(r.warAtStart ? "yes " : "no*", 5)
          << PadLeft(ShareText(r.resting.alivePermille, r.AliveMet()), 9)
          << PadLeft(std::to_string(r.resting.median), 7) << ' ' << PadLeft(Tenths(r.capturePermille) + "% ", 10);
        if (r.advised)
            t << PadLeft(Tenths(r.advised->alivePermille) + "%", 9) << PadLeft(std::to_string(r.advised->median), 8);
        t << '\n';
    }
    t << PadRight("all", 35) << ' ' << PadLeft(ShareText(table.capturePermille, table.CaptureMet()), 10) << '\n';
    t << "war: he can make war at his first turn; alive: he holds a country after " << kAliveMonths
      << " months (wanted: " << Tenths(kAliveTargetPermille) << "% or more); median: months he survived; capture: a "
      << "country changed hands within " << kCaptureMonths << " months (wanted: " << Tenths(kCaptureTargetPermille)
      << "% or more of all the games)";
    if (table.advisedGames > 0)
        t << "; advised: alive with the advisor's best command at every turn";
    t << "; * misses its target\n";
    if (table.rows.empty())
        t << "not fair: the scenario offers no ruler\n";
    else if (table.Fair())
        t << "fair: every target is met\n";
    else if (missing == 0)
        t << "not fair: too few captures\n";
    else
        t << "not fair: " << missing << (missing == 1 ? " ruler misses" : " rulers miss") << " a target"
          << (table.CaptureMet() ? "" : ", and too few captures") << '\n';
    return t.str();
}

int RunScenarioTool(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    return options.randomSeed ? RunRandomScenario(options, out, err) : RunFairness(options, out, err);
}
