// SPDX-License-Identifier: GPL-3.0-or-later
// Tunes the advisor's rollout policy by self-play: for each candidate set of thresholds,
// games of every ruler of every scenario in which the policy alone plays the player's
// side at normal, and a table of how the player fared: the share of games unified, the
// mean over the rulers of their median months survived, and the mean score (the game's
// own, docs: README "How a game ended"). The best candidate by the mean score is marked.
//
//   policy-tune DATA [--games G] [--months M] [--clock C] [--jobs J] [--scenario N]
//               [--rulers R,R...] [--grid coarse|fine|wide|reinforce|tuned]
//
// The coarse grid comes first; the fine one searches around its best. The wide grid
// spans every threshold with armies moved forward, for a search on a few rulers
// (--scenario and --rulers). The reinforce grid tries fronts that help each other on the
// best thresholds of the fine one. --grid tuned plays the thresholds in foresight/policy.h
// alone and prints a line for each ruler.
//
// Game g of a ruler is played with the clock C + g, as velcor --headless --games plays
// it; the table is the same on any number of threads.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "cli/headless.h"
#include "foresight/policy.h"
#include "foresight/trial.h"
#include "rules/turn.h"
#include "session/game_summary.h"

namespace {

struct Start {
    int scenario = 0;
    GameState world;
    std::vector<RulerId> rulers;
};

struct Game {
    int months = 0; // months survived (the whole run when still alive)
    bool unified = false;
    std::int64_t score = 0;
};

Game PlayPolicyGame(const Start& start, RulerId ruler, std::int64_t clock, int months,
                    const foresight::PolicyThresholds& policy)
{
    HeadlessGame game;
    GameSession& session = game.Session();
    GameState& world = session.world;
    world = start.world;
    world.clock.FixFrom(clock);
    SeatPlayer(world, ruler);
    session.BeginGame(false);
    GameFigures figures;
    int run = 0;
    std::int32_t lastMonth = world.month;
    session.StartComputerTurns();
    for (std::uint32_t step = 1;; ++step) {
        const std::int32_t month = world.month;
        run += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        const int held = foresight::CountriesOf(world, ruler);
        figures.mostHeld = std::max(figures.mostHeld, held);
        if (held == 0 || IsUnified(world) || run >= months)
            break;
        const PlayerCommand command =
            foresight::PolicyCommand(world, static_cast<std::uint32_t>(foresight::Mix(static_cast<std::uint64_t>(clock) * 7919 + step)), policy);
        if (!std::holds_alternative<command::Rest>(command))
            session.Apply(command);
        session.Apply(command::Rest{});
    }
    Game g;
    figures.held = foresight::CountriesOf(world, ruler);
    figures.months = run;
    g.unified = figures.held > 0 && IsUnified(world);
    figures.end = figures.held == 0 ? GameEnd::Defeated : g.unified ? GameEnd::Unified : GameEnd::Playing;
    g.months = figures.held > 0 ? months : run; // as velcor --games counts them
    g.score = GameScore(figures);
    return g;
}

double Median(std::vector<int> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: policy-tune DATA [--games G] [--months M] [--clock C] [--jobs J] [--scenario N] "
                     "[--rulers R,R...] [--grid coarse|fine|wide|reinforce|tuned]\n";
        return 2;
    }
    const std::string data = argv[1];
    int games = 100, months = 240, jobs = 2;
    std::int64_t clock = 1700000000;
    std::string grid = "coarse";
    int only = 0; // one scenario alone; 0: all three
    std::vector<RulerId> chosen; // these rulers alone; empty: every ruler offered
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--games")
            games = std::atoi(value.c_str());
        else if (name == "--months")
            months = std::atoi(value.c_str());
        else if (name == "--clock")
            clock = std::atoll(value.c_str());
        else if (name == "--jobs")
            jobs = std::atoi(value.c_str());
        else if (name == "--grid")
            grid = value;
        else if (name == "--scenario")
            only = std::atoi(value.c_str());
        else if (name == "--rulers")
            for (std::size_t at = 0; at < value.size();) {
                const std::size_t comma = std::min(value.find(',', at), value.size());
                chosen.push_back(static_cast<RulerId>(std::atoi(value.substr(at, comma - at).c_str())));
                at = comma + 1;
            }
    }

    std::vector<Start> starts;
    for (int scenario = 1; scenario <= 3; ++scenario) {
        if (only && scenario != only)
            continue;
        HeadlessOptions options;
        options.dataDir = data;
        options.scenario = scenario;
        options.allRulers = true;
        options.months = months;
        HeadlessGame setUp;
        Start start;
        start.scenario = scenario;
        if (!SetUpHeadlessGame(setUp.Session(), options, start.rulers, std::cerr))
            return 2;
        start.world = setUp.GetWorld();
        if (!chosen.empty()) {
            std::vector<RulerId> kept;
            for (RulerId r : start.rulers)
                if (std::find(chosen.begin(), chosen.end(), r) != chosen.end())
                    kept.push_back(r);
            start.rulers = kept;
        }
        starts.push_back(std::move(start));
    }

    if (grid == "tuned") {
        // The tuned policy alone, ruler by ruler.
        const foresight::PolicyThresholds tuned;
        for (const Start& s : starts)
            for (RulerId r : s.rulers) {
                std::vector<int> lived;
                int unified = 0;
                for (int g = 0; g < games; ++g) {
                    const Game game = PlayPolicyGame(s, r, clock + g, months, tuned);
                    lived.push_back(game.months);
                    unified += game.unified;
                }
                std::printf("scenario %d ruler %2d: median months %.1f, unified %.1f %%\n", s.scenario, r, Median(lived),
                            100.0 * unified / games);
            }
        return 0;
    }
    std::vector<foresight::PolicyThresholds> candidates;
    // The coarse grid first; the fine one around its best (armies moved forward, no guard).
    const bool fine = grid == "fine";
    const bool wide = grid == "wide";
    const std::vector<double> odds = fine ? std::vector<double>{0.6, 0.65, 0.7, 0.75} : std::vector<double>{0.5, 0.6, 0.7, 0.8, 0.9};
    const std::vector<double> guards = fine   ? std::vector<double>{0.0, 0.25}
                                       : wide ? std::vector<double>{0.0, 0.25, 0.5, 1.0}
                                              : std::vector<double>{0.0, 0.5, 1.0};
    const std::vector<double> conscripts = fine   ? std::vector<double>{1.5, 2.0, 3.0, 5.0}
                                           : wide ? std::vector<double>{1.0, 2.0, 3.0, 5.0, 8.0}
                                                  : std::vector<double>{0.5, 1.0, 1.5};
    const std::vector<bool> moves = fine || wide ? std::vector<bool>{true} : std::vector<bool>{false, true};
    // The grids above were searched before fronts reinforced each other (reinforce 0); the
    // reinforce grid tries it on the best of the fine one.
    if (grid == "reinforce")
        for (double o : {0.60, 0.65})
            for (double r : {0.0, 1.0, 1.5, 2.0, 3.0})
                candidates.push_back(foresight::PolicyThresholds{o, 0.0, 3.0, true, r});
    else
        for (bool move : moves)
            for (double o : odds)
                for (double g : guards)
                    for (double c : conscripts)
                        candidates.push_back(foresight::PolicyThresholds{o, g, c, move, 0.0});

    std::printf("| odds | guard | conscript | move | reinforce | games | unified | median months (mean over rulers) | mean score |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|\n");
    double bestScore = -1;
    std::size_t best = 0;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        struct Task {
            const Start* start;
            RulerId ruler;
            int game;
        };
        std::vector<Task> tasks;
        for (const Start& s : starts)
            for (RulerId r : s.rulers)
                for (int g = 0; g < games; ++g)
                    tasks.push_back({&s, r, g});
        std::vector<Game> results(tasks.size());
        std::atomic<std::size_t> next{0};
        auto work = [&] {
            for (std::size_t i = next.fetch_add(1); i < tasks.size(); i = next.fetch_add(1))
                results[i] = PlayPolicyGame(*tasks[i].start, tasks[i].ruler, clock + tasks[i].game, months, candidates[k]);
        };
        foresight::RunOnThreads(jobs, work);
        int unified = 0;
        double scoreSum = 0, medianSum = 0;
        int rulers = 0;
        for (std::size_t i = 0; i < tasks.size(); i += static_cast<std::size_t>(games)) {
            std::vector<int> lived;
            for (int g = 0; g < games; ++g) {
                const Game& r = results[i + static_cast<std::size_t>(g)];
                lived.push_back(r.months);
                unified += r.unified;
                scoreSum += static_cast<double>(r.score);
            }
            medianSum += Median(lived);
            ++rulers;
        }
        const double meanScore = scoreSum / static_cast<double>(tasks.size());
        if (meanScore > bestScore) {
            bestScore = meanScore;
            best = k;
        }
        const foresight::PolicyThresholds& c = candidates[k];
        std::printf("| %.2f | %.2f | %.2f | %s | %.1f | %zu | %.1f %% | %.1f | %.0f |\n", c.attackOdds, c.guard,
                    c.conscriptBelow, c.moveToFront ? "yes" : "no", c.reinforceAbove, tasks.size(), 100.0 * unified / static_cast<double>(tasks.size()),
                    medianSum / rulers, meanScore);
        std::fflush(stdout);
    }
    const foresight::PolicyThresholds& c = candidates[best];
    std::printf("\nbest: odds %.2f guard %.2f conscript %.2f move %s reinforce %.1f, mean score %.0f\n", c.attackOdds,
                c.guard, c.conscriptBelow, c.moveToFront ? "yes" : "no", c.reinforceAbove, bestScore);
    return 0;
}
