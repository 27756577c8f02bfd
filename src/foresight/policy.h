// SPDX-License-Identifier: GPL-3.0-or-later
// The rollout policy: what the player does at his later turns in a look-ahead's trial,
// for the country whose turn it is. Quick (it is asked at every turn of every trial)
// and plain, so that the trials show what a command leads to when it is followed by
// sensible play:
//   1. a country with no hostile neighbour sends its soldiers and provisions, and half
//      its funds, one step towards the nearest of his countries that has one, when it
//      holds at least kMoveAtLeast soldiers (an army at the back wins nothing);
//   2. otherwise war on the hostile neighbour it is likeliest to take, when those odds
//      reach attackOdds; with guard above 0, only a war after which the half of the
//      expected survivors that stays at home (soldiers times training) is at least guard
//      times as strong as the strongest other hostile neighbour; only neighbours weaker
//      than it, or without soldiers, are weighed;
//   3. otherwise, with reinforceAbove above 0 (a step tried by self-play and left off:
//      docs/advisor.md), when its army is more than reinforceAbove times as strong as its
//      strongest hostile neighbour's and holds at least kMoveAtLeast soldiers, half of
//      its soldiers and provisions go to the neighbour of his that stands weakest
//      against its own strongest hostile neighbour, when that one is the weaker (a
//      front that is safe helps the one that is not);
//   4. otherwise conscription while its army is weaker than conscriptBelow times that
//      of its strongest hostile neighbour, when it has the funds;
//   5. otherwise training while it is below its top;
//   6. otherwise the lower of land and commerce developed, when it has the funds;
//   7. otherwise rest.
// The thresholds were chosen by self-play (docs/advisor.md: thousands of games of every
// ruler played by the policy alone for each candidate, tools/policy-tune).
#pragma once

#include <cstdint>

#include "model/game_state.h"
#include "session/player_command.h"

namespace foresight {

struct PolicyThresholds {
    double attackOdds = 0.65;    // odds of taking a target the policy goes to war at
    double guard = 0.0;          // home's strength against the strongest other neighbour; 0: not weighed
    double conscriptBelow = 3.0; // conscript while weaker than this times the strongest neighbour
    bool moveToFront = true;     // countries at the back send their armies forward
    double reinforceAbove = 0.0; // a front this much stronger than its threat helps another; 0: never
};

// Soldiers a country at the back keeps rather than sending them forward.
inline constexpr std::int32_t kMoveAtLeast = 2000;

// Trials of a battle the policy asks before it attacks: enough to tell a likely win.
inline constexpr int kPolicyOddsTrials = 64;

// The command the rollout policy gives in world's turn country; seed makes the odds it
// asks repeatable.
PlayerCommand PolicyCommand(const GameState& world, std::uint32_t seed, const PolicyThresholds& thresholds = {});

// Soldiers times training: what an army weighs against another.
inline std::int64_t Strength(const Country& c)
{
    return static_cast<std::int64_t>(c.GetTraining()) * c.GetSoldiers();
}

// The countries ruler holds.
int CountriesOf(const GameState& world, RulerId ruler);

} // namespace foresight
