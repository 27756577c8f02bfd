// SPDX-License-Identifier: GPL-3.0-or-later
// The three scenarios: who holds which country at the start, the starting figures,
// and the rulers the player may choose. Written to data/ as scenarioN.txt and
// countryN.txt through the game's own file writer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mapkit/map_analysis.h"
#include "model/country_file.h"

namespace assets {

// One country at the start of a scenario: the ruler and the seven figures.
struct Holding {
    RulerId ruler;
    std::int32_t population;
    std::int32_t cultivation;
    std::int32_t commerce;
    std::int32_t soldiers;
    std::int32_t training;
    std::int32_t provisions;
    std::int32_t funds;
};

struct Scenario {
    int number; // 1..3: scenarioN.txt, countryN.txt
    std::int32_t year;
    std::int32_t month;
    std::vector<RulerId> offered; // the ruler dialog's list, in order
    std::array<Holding, kCountryCount> holdings;
};

const std::array<Scenario, 3>& Scenarios();

// The starting world of a scenario on the painted map: names, the neighbours the map
// shows, markers and the scenario's holdings. The header's player is the first
// ruler offered and the turn cursor is before country 0.
WorldRecord StartingWorld(const Scenario& scenario, const mapkit::MapAnalysis& map,
                          const std::array<mapkit::Point, kCountryCount>& markers);

// Writes scenarioN.txt and countryN.txt of every scenario into directory.
bool WriteScenarioFiles(const std::string& directory, const mapkit::MapAnalysis& map,
                        const std::array<mapkit::Point, kCountryCount>& markers, std::string* error);

} // namespace assets
