// SPDX-License-Identifier: GPL-3.0-or-later
// The computer ruler who looks ahead (達人): at a computer country's turn, each order it
// may give (rules/computer.h) is tried on copies of the world and played on for some
// months, as the advisor tries the player's commands (foresight/trial.h: generators and
// a clock of the copy's own, the game's never drawn from; the computer rulers as at
// 普通, the player by the rollout policy), and the order with the best score is
// given. It knows what the player could know: the figures on the map, not the game's
// coming draws nor the player's coming commands.
//
// The score of an order, for the ruler whose country it is: the countries he rules at
// the horizon on average, less kMasterPlayerWeight times the player's (every computer
// ruler is the player's rival), less kMasterRiskPenalty times the share of trials in
// which a country of his was taken. Equal scores go to the order listed first. A war
// whose odds of taking the target are below kMasterLeastOdds is not tried.
#pragma once

#include <vector>

#include "foresight/policy.h"
#include "foresight/trial.h"
#include "model/game_state.h"
#include "rules/computer.h"

namespace foresight {

inline constexpr int kMasterRollouts = 24;
inline constexpr int kMasterHorizon = 6; // months
// Every computer ruler at 達人 is the player's rival first: a country the player loses
// weighs twice one it gains itself (at half, an advised player outlived it: docs/advisor.md).
inline constexpr int kMasterPlayerWeightPercent = 200;
inline constexpr int kMasterRiskPenaltyPercent = 50;
inline constexpr double kMasterLeastOdds = 0.2;

struct LookAheadOptions {
    int rollouts = kMasterRollouts; // trials of each order
    int horizon = kMasterHorizon;   // months each trial plays on
    int threads = 0;                // 0: one for each hardware thread
    PolicyThresholds policy;        // the player's turns in the trials
    int playerWeightPercent = kMasterPlayerWeightPercent;
    int riskPenaltyPercent = kMasterRiskPenaltyPercent;
    ThreadStarter startThread;      // how a worker thread is started (empty: std::thread)
};

// An order and how its trials went.
struct WeighedOrder {
    ComputerOrder order;
    int trials = 0;
    std::int64_t heldSum = 0;       // the ruler's countries at the end, summed
    std::int64_t playerHeldSum = 0; // the player's
    int lost = 0;                   // trials in which a country of the ruler's was taken
    // The score times 100 times the trials, in whole numbers.
    std::int64_t ScoreTimesTrials(const LookAheadOptions& options) const;
};

class LookAheadRuler : public ComputerPlanner {
public:
    explicit LookAheadRuler(LookAheadOptions options = {}) : m_options(std::move(options)) {}
    virtual ~LookAheadRuler() = default;

    ComputerOrder Choose(const GameState& world, int country) const override;
    // The orders tried for country, in the order of ComputerChoices, and their trials.
    std::vector<WeighedOrder> Weigh(const GameState& world, int country) const;
    const LookAheadOptions& Options() const { return m_options; }

private:
    LookAheadOptions m_options;
};

// The look-ahead ruler at its default settings: the planner the front ends hand to
// their hosts.
const ComputerPlanner& DefaultPlanner();

} // namespace foresight
