// SPDX-License-Identifier: GPL-3.0-or-later
// The data checker for scenario authors: reads the map picture and the six data files
// and lists every rule they break, each with its file and line.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "mapkit/map_analysis.h"

namespace mapkit {

struct Fault {
    std::string file;
    int line = 0; // 1-based; 0 when the fault is not a line's
    std::string message;
};

// "file:line: message", or "file: message" for a fault of the whole file.
std::string FormatFault(const Fault& fault);

struct ScenarioSummary {
    int number = 0;
    int year = 0;
    int month = 0;
    std::vector<int> offered;                  // ruler ids as listed
    std::array<int, kRulerCount> countriesHeld{}; // by ruler id, in the country file
    bool rulersKnown = true; // false when a country's ruler line could not be read
};

struct CheckReport {
    std::vector<Fault> faults;
    bool mapRead = false;
    double backgroundShare = 0;
    std::vector<ScenarioSummary> scenarios; // those whose files could be read
};

// Checks scenario1..3.txt and country1..3.txt in dataDir against the map picture
// 130.png in resDir; or only the pairs of the numbers given (a player's own scenario
// is the pair 1 of its folder).
CheckReport CheckData(const std::string& dataDir, const std::string& resDir);
CheckReport CheckData(const std::string& dataDir, const std::string& resDir, const std::vector<int>& scenarios);

// The share of the picture the background may take: the map is mostly sea and land
// outside the realm, but not so much that the countries become specks.
constexpr double kMinBackgroundShare = 0.5;
constexpr double kMaxBackgroundShare = 0.85;

} // namespace mapkit
