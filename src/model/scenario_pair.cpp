// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/scenario_pair.h"

#include <algorithm>

#include "model/scenario_file.h"
#include "platform/text_file.h"

using platform::Message;

ScenarioPairRead ReadScenarioPair(const std::string& scenarioPath, const std::string& countryPath)
{
    ScenarioPairRead result;
    ScenarioList list = ReadScenarioFile(scenarioPath);
    if (list.status != ScenarioStatus::Read) {
        result.words = std::move(list.words);
        return result;
    }
    const LoadOutcome loaded = ReadCountryRecord(countryPath, result.pair.world, CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        result.words = loaded.words;
        return result;
    }
    result.pair.offered = std::move(list.rulers);
    result.read = true;
    return result;
}

int CountriesHeld(const WorldRecord& world, RulerId ruler)
{
    return static_cast<int>(std::count_if(world.countries.begin(), world.countries.end(),
                                          [ruler](const CountryRecord& c) { return c.ruler == ruler; }));
}

Message UnplayableReason(const ScenarioPair& pair)
{
    if (pair.offered.empty())
        return Message(VELCOR_TEXT("Message", "選べる君主がいません"));
    for (RulerId ruler : pair.offered)
        if (CountriesHeld(pair.world, ruler) == 0)
            return Message(VELCOR_TEXT("Message", "%1 は国を持っていません"),
                           {Message::RulerName(ruler, std::string(kRulerNames[static_cast<std::size_t>(ruler)]))});
    return {};
}

std::vector<std::string> FormatScenarioFile(const std::vector<RulerId>& offered)
{
    std::vector<std::string> lines;
    for (RulerId ruler : offered)
        lines.push_back(std::to_string(ruler));
    return lines;
}

bool WriteScenarioPair(const std::string& directory, int number, const ScenarioPair& pair, std::string* error)
{
    WorldRecord world = pair.world;
    world.playerRuler = pair.offered.empty() ? 0 : pair.offered.front();
    world.turnCountry = -1;
    return WriteCountryFile(CountryFilePath(directory, number), world, error) &&
           platform::WriteLinesAtomically(ScenarioFilePath(directory, number), FormatScenarioFile(pair.offered),
                                          error);
}
