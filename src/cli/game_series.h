// SPDX-License-Identifier: GPL-3.0-or-later
// Many headless games at once (velcor --headless --games N), for judging whether a
// scenario is fair: N games of each ruler chosen, each with the player resting, each
// the same game as a single run with its own clock, and a table of how the rulers fared.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "model/game_state.h"

struct HeadlessOptions;

// The end of one game.
struct GameRecord {
    std::int64_t monthsSurvived = 0; // the whole run's months when he did not fall
    bool alive = false;              // he held a country at the end
    bool unified = false;            // he held every country
    int countriesHeld = 0;
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
};

// Sums up a ruler's games (at least one). The quartile p of n games sorted by months
// survived is the game at rank ceil(p * n), counted from 1: the smallest value that
// at least a share p of the games reach or fall short of.
RulerSummary SummariseGames(RulerId ruler, const std::vector<GameRecord>& games);

// What the table is of, for its heading.
struct SeriesHeading {
    std::string source;      // "scenario 1" or the loaded file
    int scenario = 0;        // 0 for a loaded game
    std::int32_t year = 0;   // the start's date
    std::int32_t month = 0;
    int games = 0;           // games a ruler
    std::int64_t months = 0; // months a game
    std::int64_t firstClock = 0;
    Difficulty difficulty = Difficulty::Normal; // named when not normal
    bool advised = false;    // the advisor played the player's side
};

std::string FormatSeriesTable(const SeriesHeading& heading, const std::vector<RulerSummary>& rows);
std::vector<std::string> FormatSeriesCsv(const SeriesHeading& heading, const std::vector<RulerSummary>& rows);

// "250/1000 games  50.0 games/s  15 s left" after seconds of play.
std::string ProgressText(int done, int total, double seconds);

// Plays the series the options name (options.games > 0) and prints its table to out;
// the time it took, and the progress line when showProgress, go to err. Returns the
// exit status.
int RunGameSeries(const HeadlessOptions& options, std::ostream& out, std::ostream& err, bool showProgress);
