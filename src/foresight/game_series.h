// SPDX-License-Identifier: GPL-3.0-or-later
// Many games of one start at once, for judging whether it is fair: G games of each
// ruler chosen, each with the player resting (or advised), each the same game as a
// single run with its own clock, each a world of its own on one of J threads, and how
// each ruler fared summed up. The same games give the same records on any number of
// threads. `velcor --headless --games` and the fairness table play through it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "foresight/advisor.h"
#include "foresight/resting_game.h"
#include "model/game_state.h"

namespace foresight {

// The end of one game.
struct GameRecord {
    std::int64_t monthsSurvived = 0; // the whole run's months when he did not fall
    bool alive = false;              // he held a country at the end
    bool unified = false;            // he held every country
    int countriesHeld = 0;
    std::int64_t firstCaptureMonth = -1; // months the calendar had turned when a country first changed hands; -1: none
};

// One ruler's games. Shares are in tenths of a percent and the mean in hundredths of
// a country, rounded half up, so that the table is the same on every machine.
struct RulerSummary {
    RulerId ruler = 0;
    int games = 0;
    // Months survived: the quartiles by nearest rank (see SummariseGames).
    std::int64_t q1 = 0;
    std::int64_t median = 0;
    std::int64_t q3 = 0;
    int alivePermille = 0;
    int unifiedPermille = 0;
    int meanHeldHundredths = 0;

    bool operator==(const RulerSummary&) const = default;
};

// Sums up a ruler's games (at least one). The quartile p of n games sorted by months
// survived is the game at rank ceil(p * n), counted from 1: the smallest value that
// at least a share p of the games reach or fall short of.
RulerSummary SummariseGames(RulerId ruler, const std::vector<GameRecord>& games);

// count parts in scale of total (at least 1), rounded half up.
std::int64_t ShareOf(std::int64_t count, std::int64_t total, std::int64_t scale);

// What to play.
struct SeriesPlan {
    GameState start;            // read and checked once; each game begins from a copy
    bool newGame = true;        // false: a loaded game, played by its own player
    std::vector<RulerId> rulers; // a new game's player in each block of games
    Seats seats{};              // who plays the other rulers of a new game (a player's
                                // own seat: a person unless it seats the advisor)
    int games = 0;              // games of each ruler
    std::int64_t months = 0;    // each game's months
    std::int64_t firstClock = 0;
    bool advised = false;       // the advisor plays the player's side
    AdviceOptions advice;       // its threads are set by the series
    SeatCommand seatCommand;    // each other player's command (none: they rest)
};

// Game task of a plan: the ruler rulers[task / games]'s game task % games, played with
// the clock firstClock + task % games, as the single run with that clock plays it.
GameRecord PlaySeriesGame(const SeriesPlan& plan, int task, const std::atomic<bool>* cancel = nullptr);

struct SeriesRun {
    std::vector<GameRecord> records; // in task order
    int played = 0;                  // all of them unless cancelled
    int threads = 0;                 // threads that played
    int asked = 0;                   // threads it meant to start (1: it started none)
    int started = 0;                 // threads the system started of those
    bool cancelled = false;
};

// Plays every game of the plan, handed out one at a time to whichever of jobs threads
// is free (0: one for each core; fewer when the system starts fewer; the calling thread
// plays them itself when it starts none). progress is called on the calling thread with
// the games done, as they finish. Once cancel is set no game is begun and an advised
// game ends at its player's next turn: the run is cancelled and its records are not
// the plan's.
SeriesRun PlaySeries(const SeriesPlan& plan, int jobs, const std::function<void(int done)>& progress,
                     const std::atomic<bool>* cancel = nullptr);

} // namespace foresight
