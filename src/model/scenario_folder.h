// SPDX-License-Identifier: GPL-3.0-or-later
// The scenarios a new game may start from: the three bundled with the game, then the
// player's own. An own scenario is a folder of its own in the player's scenario folder,
// named as the scenario is named and holding scenario1.txt and country1.txt, the format
// of the bundled pairs: a folder can be handed to another player as it is, and
// `velcor --data FOLDER --scenario 1` plays it. Every pair is read through the readers
// and limits of the bundled ones; one that cannot be read, or cannot start a game, is
// listed all the same with the reason.
#pragma once

#include <string>
#include <vector>

#include "model/scenario_pair.h"
#include "platform/message.h"

constexpr int kBundledScenarioCount = 3;
// Own scenarios listed at most, by name: enough for any collection, few enough to read
// at once when the list is shown.
constexpr int kMaxOwnScenarios = 200;
// The longest name, in bytes: a folder's name on every file system the game runs on.
constexpr std::size_t kMaxScenarioNameBytes = 120;

struct ScenarioEntry {
    bool own = false;         // false: one of the bundled scenarios
    int number = 0;           // a bundled scenario's number, 1..3; 0 for an own one
    std::string name;         // an own scenario's name: its folder's name as the system has it
    std::string directory;    // where its two files are
    int fileNumber = 0;       // N of scenarioN.txt and countryN.txt there
    bool playable = false;    // read whole, and it can start a game
    platform::Message reason; // why not, when not playable
    ScenarioPair pair;        // as read, when playable

    std::string ScenarioPath() const;
    std::string CountryPath() const;
};

// The bundled scenarios in bundledDir (1..3), then the own scenarios in ownDir by name
// (bytes in order), each read. Names beginning with a dot and entries that are not
// folders are passed over. An ownDir that does not exist adds nothing; one that cannot
// be listed adds one entry named by its path, with the reason.
std::vector<ScenarioEntry> ListScenarios(const std::string& bundledDir, const std::string& ownDir);

// Reads the pair an entry names and fills in playable, reason and pair.
void ReadEntry(ScenarioEntry& entry);

// Why name cannot name an own scenario's folder; empty when it can. Refused: an empty
// name, one longer than kMaxScenarioNameBytes, one that is not UTF-8, begins with a dot
// or a space, or holds a control character or one of / \ : * ? " < > |.
platform::Message ScenarioNameRefusal(const std::string& name);

// The folder of the own scenario name in ownDir.
std::string OwnScenarioDirectory(const std::string& ownDir, const std::string& name);

// Writes the pair as the own scenario name (its folders made as needed), replacing one
// of that name, each file written atomically. False, with the reason in error, when
// the name is refused or a folder or file cannot be written.
bool WriteOwnScenario(const std::string& ownDir, const std::string& name, const ScenarioPair& pair,
                      std::string* error);
