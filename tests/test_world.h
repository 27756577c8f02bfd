// SPDX-License-Identifier: GPL-3.0-or-later
// A small world of fourteen countries for the rules' tests and benchmarks: two rows of
// seven, each country bordering the ones beside, above and below it. The player
// (ruler 1) holds country 0 alone, with a larger army; six computer rulers hold two countries each and
// countries 12 and 13 have no ruler.
#pragma once

#include <string>

#include "model/country_file.h"
#include "platform/sjis.h"

inline WorldRecord MakeTestWorld()
{
    static const char* const kNames[kCountryCount] = {"司隷", "豫州", "冀州", "襄陽", "徐州", "青州", "荊州",
                                                      "揚州", "益州", "涼州", "并州", "幽州", "交州", "雍州"};
    constexpr int kRulers[kCountryCount] = {1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 0, 0};
    constexpr int kRow = 7;
    WorldRecord world;
    world.playerRuler = 1;
    world.turnCountry = -1;
    world.year = 190;
    world.month = 1;
    for (int i = 0; i < kCountryCount; ++i) {
        CountryRecord& c = world.countries[i];
        c.name = platform::Utf8ToSjis(kNames[i]);
        const int column = i % kRow;
        if (column > 0)
            c.neighbours.push_back(i - 1);
        if (column < kRow - 1)
            c.neighbours.push_back(i + 1);
        c.neighbours.push_back(i < kRow ? i + kRow : i - kRow);
        c.ruler = kRulers[i];
        c.population = 60000 + 5000 * i;
        c.cultivation = 40 + i;
        c.commerce = 50 - i;
        c.soldiers = c.ruler == 0 ? 3000 : 11000 + 500 * i;
        if (i == 0)
            c.soldiers = 40000; // the player, who only rests, holds out for a while
        c.training = 30 + 3 * i;
        c.provisions = 40000;
        c.funds = 9000;
        c.mapX = 40 * i;
        c.mapY = 100;
    }
    return world;
}
