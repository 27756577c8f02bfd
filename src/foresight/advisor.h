// SPDX-License-Identifier: GPL-3.0-or-later
// The advisor: for the country whose turn it is, every command the player may give,
// each tried on copies of the world and played on for some months, ranked by how the
// player fared. Asking never moves a draw of the game: every trial plays a copy whose
// generators and clock are seeded from seeds of its own, derived from the world's
// generator states and the trial's number, never drawn from the world.
//
// A trial (a rollout): the command is carried out through a session on the copy (its
// battles fought at once), then the computer rulers play as they always do, and at each
// later turn of the player's the country plays the rollout policy below, until the
// horizon's months have passed or the game has ended.
//
// The rollout policy, for the country whose turn it is:
//   1. war on the hostile neighbour it is likeliest to take, when the odds of taking
//      it are at least kPolicyAttackOdds (only neighbours weaker than it, soldiers times
//      training, or without soldiers, are weighed) and the war does not spread the
//      army thin (below);
//   2. otherwise conscription when the army is weaker (soldiers times training) than
//      that of its strongest hostile neighbour and it has the funds;
//   3. otherwise training while it is below its top;
//   4. otherwise the lower of land and commerce developed, when it has the funds;
//   5. otherwise rest.
//
// A war spreads the army thin when either half of the soldiers expected to survive it
// (a taken country keeps half of them), at the country's training, would be weaker than
// the strongest army left beside the country. The policy never plays such a war, and
// the ranking lists it after every other command, whatever its trials say: played on
// for months, the countries it wins are lost again and the player's with them.
//
// The score of a command: the share of its trials in which the player still rules at
// least as many countries at the end as now, then the mean countries he rules at the
// end, then the share in which he still rules a country; the ranking is by these three
// in turn, best first. The trials of each command run in rounds over worker threads; a
// snapshot of the ranking can be read after each round, and the result for a world and
// a number of trials is the same whatever the number of threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "model/game_state.h"
#include "session/player_command.h"

namespace foresight {

inline constexpr int kDefaultRollouts = 256;
inline constexpr int kDefaultHorizon = 12; // months
inline constexpr double kPolicyAttackOdds = 0.8;

struct AdviceOptions {
    int rollouts = kDefaultRollouts; // trials of each command
    int horizon = kDefaultHorizon;   // months each trial plays on
    int threads = 0;                 // worker threads; 0: one for each hardware thread
    int roundSize = 8;               // trials of each command between two snapshots
};

// One command and how its trials went.
struct AdvisedCommand {
    PlayerCommand command;
    int trials = 0;
    int keptOrMore = 0; // trials ending with at least as many countries as now
    int survived = 0;   // trials ending with a country
    std::int64_t heldSum = 0; // countries at the end, summed over the trials
    bool spreadsThin = false; // a war that spreads the army thin (see above)

    double KeptShare() const { return trials ? static_cast<double>(keptOrMore) / trials : 0.0; }
    double MeanHeld() const { return trials ? static_cast<double>(heldSum) / trials : 0.0; }
    double SurvivedShare() const { return trials ? static_cast<double>(survived) / trials : 0.0; }
};

// True when a ranks before b: a war that spreads the army thin after every other
// command, then by kept share, then mean held, then survival.
bool RanksBefore(const AdvisedCommand& a, const AdvisedCommand& b);

// The commands the player may give now in world's turn country, in the order M, W, L,
// C, S, T, R (moves to each friendly neighbour with half and with all of the soldiers,
// provisions and funds; a war on each hostile neighbour), those the session refuses
// left out. Empty when it is not the player's turn in a country of his.
std::vector<PlayerCommand> CandidateCommands(const GameState& world);

// The command the rollout policy gives in world's turn country (see above); seed makes
// the odds it asks repeatable.
PlayerCommand PolicyCommand(const GameState& world, std::uint32_t seed);

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

    // Runs every round on the calling thread's workers and returns the ranking.
    std::vector<AdvisedCommand> Run();
    // Runs the rounds on a thread of its own; read Snapshot meanwhile.
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

private:
    void RunRounds();

    GameState m_world;
    AdviceOptions m_options;
    std::vector<AdvisedCommand> m_totals; // in the candidates' order
    std::vector<AdvisedCommand> m_ranking;
    mutable std::mutex m_lock; // guards m_ranking
    std::atomic<int> m_trialsDone{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

} // namespace foresight
