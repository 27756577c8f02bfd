// SPDX-License-Identifier: GPL-3.0-or-later
// The headless mode's tools for scenario authors: the fairness table of a scenario
// (velcor --headless --scenario N --fairness) and a fresh, fair scenario drawn from a
// seed (velcor --headless --random-scenario SEED [--write-scenario DIR]).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "foresight/fairness.h"

struct HeadlessOptions;

// Whether the options are those of a scenario tool, and if so whether they go together:
// --fairness with --scenario, --random-scenario with --write-scenario; --data, --jobs,
// and for --fairness --player advisor (with --rollouts and --horizon), beside them.
// seen holds the options given with a value. False with the error when they do not.
bool IsScenarioTool(const HeadlessOptions& options);
bool CheckScenarioToolOptions(const HeadlessOptions& options, const std::vector<std::string>& seen,
                              std::string& error);

// The table as the headless mode prints it, headed by source ("scenario 1 of data").
std::string FormatFairnessTable(const std::string& source, const foresight::FairnessTable& table);

// Runs the tool the options name; the table goes to out, the time it took to err.
// Returns the exit status.
int RunScenarioTool(const HeadlessOptions& options, std::ostream& out, std::ostream& err);
