// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/game_state.h"

#include "platform/sjis.h"

const std::array<std::string_view, kRulerCount> kRulerNames = {
    "非統治", "劉備", "曹操", "孫堅", "袁紹", "袁術", "劉表", "呂布",
    "馬騰", "董卓", "劉焉", "公孫瓚", "張魯", "陶謙", "劉璋", "孫権",
};

std::array<Country, kCountryCount> GameState::countries;
std::array<RulerInfo, kRulerCount> GameState::rulers;
SharedInt GameState::playerRuler{1};
SharedInt GameState::turnCountry{-1};
SharedInt GameState::year{0};
SharedInt GameState::month{0};
SharedInt GameState::shownCountry{-1};
SharedInt GameState::battleAttacker{-1};
SharedInt GameState::battleTarget{-1};

void GameState::ResetToProgramStart()
{
    for (Country& c : countries) {
        c.SetId(0);
        c.SetName({});
        c.ClearNeighbours();
        c.SetRuler(0);
        c.SetPopulation(0);
        c.SetCultivation(0);
        c.SetCommerce(0);
        c.SetSoldiers(0);
        c.SetTraining(0);
        c.SetProvisions(0);
        c.SetFunds(0);
        c.SetMapX(0);
        c.SetMapY(0);
    }
    for (RulerInfo& r : rulers) {
        r.SetName({});
        r.SetColour(0);
    }
    playerRuler = 1;
    turnCountry = -1;
    year = 0;
    month = 0;
    shownCountry = -1;
    battleAttacker = -1;
    battleTarget = -1;
}

void BuildRulerTable()
{
    for (int i = 0; i < kRulerCount; ++i) {
        GameState::rulers[i].SetName(std::string(kRulerNames[i]));
        GameState::rulers[i].SetColour(kRulerColours[i]);
    }
}

std::string CountryNameUtf8(int country)
{
    if (!GameState::IsCountryIndex(country))
        return {};
    return platform::SjisToUtf8(GameState::countries[country].GetName());
}
