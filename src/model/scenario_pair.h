// SPDX-License-Identifier: GPL-3.0-or-later
// A scenario as one value: the rulers it offers and its starting world, read from and
// written to the pair of files a data directory holds (scenarioN.txt, countryN.txt),
// through the same readers and limits as every scenario the game starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/country_file.h"
#include "model/game_state.h"
#include "platform/message.h"

struct ScenarioPair {
    std::vector<RulerId> offered; // in the order the ruler dialog lists them
    WorldRecord world;            // the starting world; its header's player and cursor as written

    bool operator==(const ScenarioPair&) const = default;
};

struct ScenarioPairRead {
    bool read = false;
    ScenarioPair pair;
    platform::Message words; // why not, for the player
};

// Reads the two files as a new game reads them: the scenario file's list, then the
// country file as a starting world.
ScenarioPairRead ReadScenarioPair(const std::string& scenarioPath, const std::string& countryPath);

// Why a pair, read whole, cannot start a game: it offers no ruler, or it offers one who
// holds no country (he would lose before his first turn). Empty when it can.
platform::Message UnplayableReason(const ScenarioPair& pair);

// The scenario file's lines for a list of rulers.
std::vector<std::string> FormatScenarioFile(const std::vector<RulerId>& offered);

// Writes scenario<number>.txt and country<number>.txt into directory, each written
// atomically (the previous file stays whole until the new one is); the country file
// first, so that a list is never newer than the world it offers rulers of. The header
// of the world is written as a starting world's: the first ruler offered as the player
// and the cursor before country 0.
bool WriteScenarioPair(const std::string& directory, int number, const ScenarioPair& pair, std::string* error);

// The countries a ruler holds in a world as a file holds it.
int CountriesHeld(const WorldRecord& world, RulerId ruler);
