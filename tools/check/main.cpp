// SPDX-License-Identifier: GPL-3.0-or-later
// velcor-check DATA_DIR [--res RES_DIR] [--scenario N]: checks the scenario and country
// files in DATA_DIR (all three pairs, or only pair N) against the map picture
// RES_DIR/130.png (RES_DIR defaults to DATA_DIR/../res) and prints one line for every
// fault, "file:line: what is wrong". Exit status 0 only when there is none.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "mapkit/data_check.h"

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: velcor-check DATA_DIR [--res RES_DIR] [--scenario N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string data;
    std::string res;
    std::vector<int> scenarios; // empty: all three
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--res" && i + 1 < argc)
            res = argv[++i];
        else if (arg == "--scenario" && i + 1 < argc && scenarios.empty() && std::strlen(argv[i + 1]) == 1 &&
                 argv[i + 1][0] >= '1' && argv[i + 1][0] <= '3')
            scenarios.push_back(argv[++i][0] - '0');
        else if (data.empty() && !arg.empty() && arg[0] != '-')
            data = arg;
        else
            return Usage();
    }
    if (data.empty())
        return Usage();
    if (res.empty())
        res = data + "/../res";

    mapkit::CheckReport report;
    try {
        report = scenarios.empty() ? mapkit::CheckData(data, res) : mapkit::CheckData(data, res, scenarios);
    } catch (const std::exception& e) {
        // Each file is read with its size bounded; this is the last word on anything else.
        std::fprintf(stderr, "velcor-check: %s\n", e.what());
        return 2;
    }
    for (const mapkit::Fault& fault : report.faults)
        std::printf("%s\n", mapkit::FormatFault(fault).c_str());
    if (report.mapRead)
        std::printf("map: background %.1f%% of the picture\n", 100.0 * report.backgroundShare);
    for (const mapkit::ScenarioSummary& s : report.scenarios) {
        std::printf("scenario %d, %d 年 %d 月:", s.number, s.year, s.month);
        for (int r = 1; r < kRulerCount; ++r) {
            if (s.countriesHeld[r] > 0)
                std::printf(" %s %d", std::string(kRulerNames[r]).c_str(), s.countriesHeld[r]);
        }
        if (s.countriesHeld[0] > 0)
            std::printf(", %d without a ruler", s.countriesHeld[0]);
        std::printf("\n");
    }
    if (!report.faults.empty()) {
        std::printf("%zu fault%s\n", report.faults.size(), report.faults.size() == 1 ? "" : "s");
        return 1;
    }
    std::printf("no faults\n");
    return 0;
}
