// SPDX-License-Identifier: GPL-3.0-or-later
// The advisor: for the country whose turn it is, every command the player may give,
// each tried on copies of the world and played on for some months, ranked by what a
// player wants: not to lose, and to grow. Asking never moves a draw of the game: every
// trial plays a copy with generators and a clock of its own (foresight/trial.h).
//
// A trial: the command is carried out through a session on the copy (its battles fought
// at once), then the computer rulers play as they always do, and at each later turn of
// the player's his country plays the rollout policy (foresight/policy.h), until the
// horizon's months have passed or the game has ended.
//
// The score of a command: the countries the player rules over the months of the horizon
// (as each month begins), on average over the months and its trials, less the risk
// penalty times the share of trials in which a country of his was taken from him on the
// way (the risk, stated as a penalty; heavier for a small realm, RiskPenaltyPercent). A
// country won sooner counts for more months, one lost for none after it; a war that wins
// a country now and loses it, or another, later shows in both. The ranking is by the
// score, best first; equal scores go by the larger army at the horizon (soldiers times
// training over his countries, on average), then by the order of the candidates. The
// trials of each command run in rounds over worker threads; a snapshot of the ranking can
// be read after each round, and the result for a world and a number of trials is the same
// whatever the number of threads.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "foresight/policy.h"
#include "foresight/trial.h"
#include "model/game_state.h"
#include "platform/message.h"
#include "session/player_command.h"

namespace foresight {

inline constexpr int kDefaultRollouts = 256;
inline constexpr int kDefaultHorizon = 24; // months
// What a trial that loses a country costs a command's score, in hundredths of a country,
// for a realm of kFullRiskPenaltyUpTo countries: four countries, so that a small realm
// makes war only when it wins far more than it risks. A greater realm can spare a country
// on the way to the next: its penalty is that times kFullRiskPenaltyUpTo over the
// countries it holds (one country for a realm of eight). A realm of one country that
// loses it has lost the game, and the months after count that in full: its penalty is
// kLastCountryRiskPenaltyPercent. Chosen on the advised games (docs/advisor.md).
inline constexpr int kRiskPenaltyPercent = 400;
inline constexpr int kFullRiskPenaltyUpTo = 2;
inline constexpr int kLastCountryRiskPenaltyPercent = 300;
inline constexpr double kRiskPenalty = kRiskPenaltyPercent / 100.0;

// The penalty for a realm of this many countries, in hundredths of a country.
constexpr int RiskPenaltyPercent(int countries)
{
    if (countries <= 1)
        return kLastCountryRiskPenaltyPercent;
    return countries <= kFullRiskPenaltyUpTo
               ? kRiskPenaltyPercent
               : (kRiskPenaltyPercent * kFullRiskPenaltyUpTo + countries / 2) / countries;
}

struct AdviceOptions {
    int rollouts = kDefaultRollouts; // trials of each command
    int horizon = kDefaultHorizon;   // months each trial plays on
    int threads = 0;                 // worker threads; 0: one for each hardware thread
    int roundSize = 8;               // trials of each command between two snapshots
    PolicyThresholds policy;         // the player's later turns in the trials
    ThreadStarter startThread;       // how a worker thread is started (empty: std::thread)
};

// One command and how its trials went.
struct AdvisedCommand {
    PlayerCommand command;
    int trials = 0;
    int keptOrMore = 0;       // trials ending with at least as many countries as now
    int survived = 0;         // trials ending with a country
    int lost = 0;             // trials in which a country of his was taken
    std::int64_t heldSum = 0; // countries at the end, summed over the trials
    std::int64_t heldMonthsSum = 0; // countries as each month began, summed over the months and trials
    std::int64_t monthsSum = 0;     // the months of all its trials
    std::int64_t strengthSum = 0; // soldiers times training over his countries at the end, summed
    std::array<int, kCountryCount> lostTo{}; // trials whose first loss was to each country's attack
    int penaltyPercent = kRiskPenaltyPercent; // what a trial that loses a country costs (RiskPenaltyPercent)

    double KeptShare() const { return Share(keptOrMore); }
    double MeanHeld() const { return trials ? static_cast<double>(heldSum) / trials : 0.0; }
    // The countries he holds over the months of the horizon, on average.
    double MeanHeldOverMonths() const { return monthsSum ? static_cast<double>(heldMonthsSum) / monthsSum : 0.0; }
    double SurvivedShare() const { return Share(survived); }
    double LostShare() const { return Share(lost); }
    double Score() const { return MeanHeldOverMonths() - penaltyPercent / 100.0 * LostShare(); }
    // The army at the horizon as fully trained soldiers (soldiers times training / 100).
    double MeanArmy() const { return trials ? static_cast<double>(strengthSum) / trials / 100 : 0.0; }
    // The country whose attack most often took his first country lost; -1 when none did.
    int MainThreat() const;

private:
    double Share(int count) const { return trials ? static_cast<double>(count) / trials : 0.0; }
};

// Whether a and b have the same score (exactly, in whole numbers).
bool SameScore(const AdvisedCommand& a, const AdvisedCommand& b);
// True when a ranks before b by the score, then the army (see above); equal otherwise.
bool RanksBefore(const AdvisedCommand& a, const AdvisedCommand& b);

// Why ranking[index] ranks where it does, in words: the countries at the horizon on
// average and the share of trials keeping every country, the risk (the country whose
// attack most often took one, and the share of trials that lost one), and, when its
// score ties with a neighbour's in the ranking, the army that decided.
platform::Message ReasonOf(const GameState& world, const std::vector<AdvisedCommand>& ranking, std::size_t index,
                           int horizon);

// The commands the player may give now in world's turn country, in the order M, W, L,
// C, S, T, R (moves to each friendly neighbour with half and with all of the soldiers,
// provisions and funds; a war on each hostile neighbour), those the session refuses
// left out. Empty when it is not the player's turn in a country of his.
std::vector<PlayerCommand> CandidateCommands(const GameState& world);

// The advisor's best command for the turn country of world, tried on the calling thread
// and its helpers; none when it has nothing better than the rest.
std::optional<PlayerCommand> AdvisedCommandFor(const GameState& world, const AdviceOptions& options);
// Its best of a ranking (none: the rest).
std::optional<PlayerCommand> BestOf(const std::vector<AdvisedCommand>& ranking);

// The key letter of a command (M W L C S T R) and its target country, -1 when none.
char CommandKey(const PlayerCommand& command);
int CommandTarget(const PlayerCommand& command);

class Advisor {
public:
    // Takes a copy of the world as it stands at the player's turn.
    Advisor(const GameState& world, AdviceOptions options = {});
    // Cancels the work and waits for it.
    ~Advisor();
    Advisor(const Advisor&) = delete;
    Advisor& operator=(const Advisor&) = delete;

    // Runs every round on the calling thread and its helpers and returns the ranking.
    std::vector<AdvisedCommand> Run();
    // Runs the rounds on a thread of its own; read Snapshot meanwhile. When the system
    // has no thread to spare, the rounds run on the calling thread before it returns.
    void Start();
    // The ranking after the last finished round (before the first: every command with
    // no trials, in the candidates' order).
    std::vector<AdvisedCommand> Snapshot() const;
    // Trials of each command finished so far.
    int TrialsDone() const { return m_trialsDone.load(std::memory_order_acquire); }
    bool Finished() const { return m_finished.load(std::memory_order_acquire); }
    // Stops at the next trial; the snapshot keeps the last finished round.
    void Cancel() { m_cancel.store(true, std::memory_order_release); }
    const AdviceOptions& Options() const { return m_options; }
    // The world the advice is for.
    const GameState& World() const { return m_world; }
    // What a trial that loses a country costs here, in countries (RiskPenaltyPercent).
    double RiskPenalty() const { return m_penaltyPercent / 100.0; }

private:
    void RunRounds();

    GameState m_world;
    AdviceOptions m_options;
    int m_penaltyPercent = kRiskPenaltyPercent;
    std::vector<AdvisedCommand> m_totals; // in the candidates' order
    std::vector<AdvisedCommand> m_ranking;
    mutable std::mutex m_lock; // guards m_ranking
    std::atomic<int> m_trialsDone{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace foresight
