// SPDX-License-Identifier: GPL-3.0-or-later
// The game without windows (velcor --headless): a new game or a saved one, played by
// the computer rulers while the player rests at each of his turns. The same rules and
// the same turn worker's procedure as the windows, run on the calling thread; the
// player's battles are fought at once.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/headless_game.h"
#include "foresight/resting_game.h"
#include "model/game_state.h"
#include "rules/turn.h"
#include "session/game_session.h"

extern const char* const kHeadlessUsage;

// Reads the arguments that follow --headless. False with a message when they are bad.
bool ParseHeadlessOptions(const std::vector<std::string>& args, HeadlessOptions& options, std::string& error);

// How a game played with the player resting ended.
using HeadlessOutcome = foresight::PlayOnOutcome;

// Plays the game, begun (SetUpHeadlessGame), with the player resting at each of his
// turns (or advised), until options.months have passed, the game has ended
// or the observer ends it. Seeds every stretch of computer turns from the clock as a
// new turn worker does. The host's stream, when there is one, receives the map at the
// start, at each new year and at the end, and the battles against the player.
HeadlessOutcome PlayResting(HeadlessGame& game, const HeadlessOptions& options);

// The advisor's ranking for the player's turn in the session's world, one line per
// command, best first: "W 5 kept 0.917 held 3.21 alive 1.000 lost 0.120 score 3.150 army
// 52000 trials 256 why 24か月後 ...", with the
// amounts after a move's target.
void PrintAdvice(const GameState& world, const HeadlessOptions& options, std::ostream& out);

// Sets up the game the options name and plays it; the yearly map and the outcome go
// to out, problems to err. Returns the exit status.
int RunHeadless(const HeadlessOptions& options, std::ostream& out, std::ostream& err);

// What plays a networked game (--host, --join): it sets the options' hooks up.
using HeadlessNetwork = std::function<void(HeadlessOptions& options, std::ostream& out, std::ostream& err)>;

// ParseHeadlessOptions, then RunHeadless, RunGameSeries (with the progress line when
// err is standard error on a terminal) or the usage; network, when given, for --host
// and --join.
int HeadlessMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const HeadlessNetwork& network = {});
