// The scenario file: one ruler id per line, the rulers a scenario offers, in the
// order the ruler dialog shows them.
#pragma once

#include <string>
#include <vector>

#include "model/game_state.h"
#include "platform/text_file.h"

// The ruler dialog has this many places.
constexpr int kRulerSlotCount = 13;

enum class ScenarioStatus { Read, CannotOpen, Refused };

struct ScenarioList {
    ScenarioStatus status = ScenarioStatus::CannotOpen;
    platform::OpenError openError = platform::OpenError::None;
    std::vector<RulerId> rulers; // at most kRulerSlotCount
    std::string message;         // for the player when not read
};

// Reads up to kRulerSlotCount ids, stopping at the first empty line or the end of the
// file; lines after the thirteenth are not read. An id outside 0..15 refuses the file.
ScenarioList ReadScenarioFile(const std::string& path);
ScenarioList ParseScenarioFile(platform::TextFileReader& reader, const std::string& name);
