// SPDX-License-Identifier: GPL-3.0-or-later
// Many headless games at once (velcor --headless --games N), for judging whether a
// scenario is fair: the games of foresight/game_series.h, and a table of how the
// rulers fared.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "foresight/game_series.h"
#include "model/game_state.h"

struct HeadlessOptions;

using foresight::GameRecord;
using foresight::RulerSummary;
using foresight::SummariseGames;

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
