// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/game_state.h"

#include "platform/sjis.h"

const std::array<std::string_view, kRulerCount> kRulerNames = {
    "非統治", "劉備", "曹操", "孫堅", "袁紹", "袁術", "劉表", "呂布",
    "馬騰", "董卓", "劉焉", "公孫瓚", "張魯", "陶謙", "劉璋", "孫権",
};

void BuildRulerTable(GameState& world)
{
    for (int i = 0; i < kRulerCount; ++i) {
        world.rulers[i].SetName(std::string(kRulerNames[i]));
        world.rulers[i].SetColour(kRulerColours[i]);
    }
}

std::string CountryNameUtf8(const GameState& world, int country)
{
    if (!GameState::IsCountryIndex(country))
        return {};
    return platform::SjisToUtf8(world.countries[country].GetName());
}
