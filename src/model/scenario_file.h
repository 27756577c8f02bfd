// SPDX-License-Identifier: GPL-3.0-or-later
// The scenario file: one ruler id per line, the rulers a scenario offers, in the
// order the ruler dialog shows them.
#pragma once

#include <string>
#include <vector>

#include "model/game_state.h"
#include "platform/message.h"
#include "platform/text_file.h"

// The ruler dialog has this many places.
constexpr int kRulerSlotCount = 13;

enum class ScenarioStatus { Read, CannotOpen, Refused };

struct ScenarioList {
    ScenarioStatus status = ScenarioStatus::CannotOpen;
    platform::OpenError openError = platform::OpenError::None;
    std::vector<RulerId> rulers; // at most kRulerSlotCount
    platform::Message words;     // for the player when not read
};

// Reads up to kRulerSlotCount ids, stopping at the first empty line or the end of the
// file; lines after the thirteenth are not read. An id outside 1..15 refuses the file:
// 0 is no ruler, and a player without one would never come to his turn (a line that
// holds no number reads as 0).
ScenarioList ReadScenarioFile(const std::string& path);
ScenarioList ParseScenarioFile(platform::TextFileReader& reader, const std::string& name);

// Reads the scenario file at path and looks for ruler among those it offers. False,
// with the message for the player, when the file cannot be read or is refused, or
// when it does not offer the ruler.
bool ScenarioOffersRuler(const std::string& path, RulerId ruler, std::string& message);
// Why the scenario file at path, read as list, does not offer ruler (it offers none,
// or others, which the text names); empty when it offers him.
std::string RulerNotOffered(const std::string& path, const ScenarioList& list, RulerId ruler);
