// SPDX-License-Identifier: GPL-3.0-or-later
// One trial of a look-ahead: a copy of the world with generators and a clock of its own,
// played on for some months, and what it came to for one ruler. The advisor's trials
// and the look-ahead computer's are the same trials.
//
// A trial's copy never draws from the world it was copied from: its generators are
// seeded, and its clock fixed, from a seed derived from the world's generator states
// (read, never drawn), its date and the trial's number. A clock being fed the readings
// of a record is not carried into the copy: a trial knows no more of what comes than
// the player does.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "foresight/policy.h"
#include "foresight/silent_host.h"
#include "model/game_state.h"
#include "rules/events.h"
#include "session/game_session.h"

namespace foresight {

// splitmix64's finaliser: nearby inputs give unrelated outputs.
std::uint64_t Mix(std::uint64_t x);

// The seed of trial index of a world, the same for the same world.
std::uint64_t TrialSeed(const GameState& world, int index);

// Gives copy generators and a clock of its own from seed (the copy's clock starts
// afresh: no feed, no listener).
void SeedCopy(GameState& copy, std::uint64_t seed);

// Seeds copy's two generators again from seed, its date and the country whose turn it
// is: at every turn of a trial, so that two trials on the same seed draw alike at the
// same turn however differently they drew before, and the world apart from what their
// commands changed goes on alike in both. The clock, from which a player's battle seeds,
// goes on as it was.
void SeedTurn(GameState& copy, std::uint64_t seed);

// A number for country's turn in the world's month, different for every turn.
inline std::int64_t TurnNumber(const GameState& world, int country)
{
    return (std::int64_t{world.year.Get()} * 16 + world.month.Get()) * kCountryCount + country;
}

// A silent host that seeds the generators of the world it plays afresh as each computer
// country's turn begins (SeedTurn); world is set once the session that owns it is made.
// A war between computers tells the turn's beginning again before its battle: the battle
// draws on from where the turn stands, not from the turn's first draw again.
class TurnSeededHost : public SilentHost {
public:
    explicit TurnSeededHost(std::uint64_t seed) : m_seed(seed) {}
    void TurnBegin(int) override
    {
        if (!world)
            return;
        const std::int64_t turn = TurnNumber(*world, world->turnCountry);
        if (turn == m_lastTurn)
            return;
        m_lastTurn = turn;
        SeedTurn(*world, m_seed);
    }
    GameState* world = nullptr;

private:
    std::uint64_t m_seed;
    std::int64_t m_lastTurn = -1;
};

// What a trial came to, for the ruler it was played for.
struct TrialEnd {
    int held = 0;       // countries he rules at the end
    int playerHeld = 0; // countries the players rule at the end
    bool lost = false;  // a country of his was taken from him on the way
    int lostTo = -1;    // the country whose attack took the first of them
    // The countries he held as each month of the trial began, summed over its months (a
    // trial whose game ended sooner counts its end for the months left).
    std::int64_t heldMonths = 0;
    int months = 0; // the months heldMonths is summed over
    std::int64_t strength = 0; // soldiers times training, summed over his countries at the end
};

// Hears the countries a ruler loses in a trial, and, given the trial's world, counts the
// countries he holds as each month begins.
class LossWatch : public EventObserver {
public:
    explicit LossWatch(RulerId ruler, const GameState* world = nullptr) : m_ruler(ruler), m_world(world) {}
    void OnGameEvent(const GameEvent& event) override
    {
        if (event.kind == EventKind::Capture && event.otherRuler == m_ruler && !lost) {
            lost = true;
            lostTo = event.target;
        }
        if (event.kind == EventKind::Month && m_world) {
            heldMonths += CountriesOf(*m_world, m_ruler);
            ++months;
        }
    }
    bool lost = false;
    int lostTo = -1;
    std::int64_t heldMonths = 0; // the countries he held as each month began, summed
    int months = 0;              // the months counted

private:
    RulerId m_ruler;
    const GameState* m_world;
};

// Plays session's world on from where it stands (right after the trial's first command
// or order; a session that has begun no game takes its phase from the world) until
// horizon months have turned or the game has ended: the computer rulers as the rules
// play them, every player at his turns by the rollout policy, all through the session's
// Apply. The session's host must look ahead for nobody. With seedTurns, the generators
// are seeded afresh as every player's turn begins (SeedTurn; a TurnSeededHost does it
// for the computer's turns). False when cancelled.
bool PlayOn(GameSession& session, std::uint64_t seed, int horizon, const PolicyThresholds& policy,
            const std::atomic<bool>& cancel, bool seedTurns = false);

// What the trial came to for ruler, from the world as it ends and the watch that heard it;
// the months of the horizon the game did not last count the countries at its end.
TrialEnd EndOf(const GameState& world, RulerId ruler, const LossWatch& watch, int horizon = 0);

// Starts a thread that runs work; throws std::system_error when the system refuses one.
using ThreadStarter = std::function<std::thread(std::function<void()>)>;

// Runs work on the calling thread and on up to threads - 1 helpers at once, and waits for
// them. A helper the system refuses (std::system_error) is done without: the work goes
// on on the threads that started. Returns how many threads worked.
int RunOnThreads(int threads, const std::function<void()>& work, const ThreadStarter& start = {});

// The threads to use for a wish (0: one for each hardware thread).
int ThreadsFor(int wish);

} // namespace foresight
