// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/scenarios.h"

#include "assets/geography.h"
#include "model/scenario_pair.h"
#include "platform/sjis.h"

namespace assets {

namespace {

// Rulers by their index in kRulerNames.
constexpr RulerId kNone = 0;
constexpr RulerId kLiuBei = 1;
constexpr RulerId kCaoCao = 2;
constexpr RulerId kSunJian = 3;
constexpr RulerId kYuanShao = 4;
constexpr RulerId kYuanShu = 5;
constexpr RulerId kLiuBiao = 6;
constexpr RulerId kMaTeng = 8;
constexpr RulerId kDongZhuo = 9;
constexpr RulerId kLiuYan = 10;
constexpr RulerId kGongsunZan = 11;
constexpr RulerId kZhangLu = 12;
constexpr RulerId kTaoQian = 13;
constexpr RulerId kLiuZhang = 14;
constexpr RulerId kSunQuan = 15;

// The figures are tuned together; the notes beside each scenario say what for. A
// computer country below 10000 soldiers only conscripts, and one goes to war only
// with provisions at least equal to its soldiers, so most armies start above 10000.
// An opening where something happens (scripts/openings.py measures it): every ruler
// offered can make war at his first turn; left resting by the player he still holds a
// country after 12 months in at least 80 % of 200 games; a country changes hands
// within 6 months in at least half of the games; and the strong of each period stay
// the strong (compare --months 600).
const std::array<Scenario, 3> kScenarios = {{
    // 189, the twelfth month: Dong Zhuo holds the capital; the lords of the east are
    // gathering against him. Hanzhong and Jiao have no lord yet. Eleven lords of one
    // country each, much alike: whoever rests becomes everyone's weakest neighbour.
    // Every lord has the provisions for one campaign at once (as many as his soldiers,
    // gone below them by the new year's rations until the harvest), and little money:
    // a lord spends his funds in the first months and marches again only when the
    // harvest and the taxes allow. Dong Zhuo, with the capital's granaries, can go on.
    {1,
     189,
     12,
     {kLiuBei, kCaoCao, kSunJian, kYuanShao, kYuanShu, kLiuBiao, kMaTeng, kDongZhuo, kLiuYan, kGongsunZan,
      kTaoQian},
     {{
         // ruler       population cult comm soldiers train provisions funds
         {kDongZhuo, 520000, 70, 80, 42000, 65, 52000, 8000},   // 司隷
         {kYuanShu, 400000, 60, 55, 24000, 55, 24000, 4000},    // 豫州
         {kCaoCao, 300000, 50, 45, 20000, 80, 20000, 4000},     // 陳留
         {kTaoQian, 360000, 60, 55, 22000, 62, 22000, 4000},    // 徐州
         {kLiuBei, 240000, 45, 40, 20000, 76, 20000, 4000},     // 青州
         {kMaTeng, 200000, 35, 30, 26000, 65, 26000, 4000},     // 涼州
         {kDongZhuo, 220000, 40, 35, 24000, 60, 26000, 7000},   // 并州
         {kYuanShao, 480000, 65, 60, 30000, 55, 30000, 4000},   // 冀州
         {kGongsunZan, 260000, 45, 40, 24000, 65, 24000, 4000}, // 幽州
         {kSunJian, 380000, 55, 50, 22000, 60, 22000, 4000},    // 揚州
         {kLiuBiao, 460000, 60, 60, 26000, 50, 26000, 4000},    // 荊州
         {kLiuYan, 420000, 70, 45, 24000, 40, 24000, 4000},     // 益州
         {kNone, 180000, 30, 35, 8000, 20, 10000, 4000},        // 交州
         {kNone, 120000, 35, 25, 6000, 25, 8000, 3000},         // 漢中
     }}},
    // 200, the fourth month: Cao Cao and Yuan Shao face each other at Guandu; Liu Bei
    // has fled to Runan; Sun Quan has just succeeded his brother.
    {2,
     200,
     4,
     {kLiuBei, kCaoCao, kYuanShao, kLiuBiao, kMaTeng, kZhangLu, kLiuZhang, kSunQuan},
     {{
         {kCaoCao, 450000, 60, 60, 30000, 65, 40000, 12000},   // 司隷
         {kLiuBei, 300000, 50, 45, 22000, 75, 26000, 8000},    // 豫州
         {kCaoCao, 380000, 60, 55, 36000, 75, 40000, 12000},   // 陳留
         {kCaoCao, 340000, 55, 50, 22000, 60, 26000, 9000},    // 徐州
         {kYuanShao, 300000, 50, 45, 22000, 55, 26000, 9000},  // 青州
         {kMaTeng, 220000, 40, 35, 26000, 65, 28000, 8000},    // 涼州
         {kYuanShao, 240000, 45, 40, 20000, 50, 24000, 7000},  // 并州
         {kYuanShao, 560000, 75, 70, 48000, 60, 60000, 18000}, // 冀州
         {kYuanShao, 280000, 45, 45, 22000, 55, 24000, 8000},  // 幽州
         {kSunQuan, 420000, 60, 55, 26000, 60, 30000, 12000},  // 揚州
         {kLiuBiao, 520000, 70, 65, 34000, 45, 40000, 16000},  // 荊州
         {kLiuZhang, 460000, 75, 50, 30000, 45, 44000, 14000}, // 益州
         {kNone, 200000, 35, 40, 8000, 25, 12000, 5000},       // 交州
         {kZhangLu, 200000, 45, 35, 20000, 70, 26000, 7000},   // 漢中
     }}},
    // 219, the fifth month: Cao Cao holds the north, Liu Bei has just taken Hanzhong
    // and holds Shu and Jing, Sun Quan holds the south-east; Jiao's garrison is strong
    // enough that Liu Bei's armies look elsewhere first.
    {3,
     219,
     5,
     {kLiuBei, kCaoCao, kSunQuan},
     {{
         {kCaoCao, 520000, 70, 70, 40000, 70, 50000, 14000},  // 司隷
         {kCaoCao, 440000, 65, 60, 34000, 65, 40000, 12000},  // 豫州
         {kCaoCao, 400000, 65, 60, 28000, 65, 34000, 10000},  // 陳留
         {kCaoCao, 380000, 60, 55, 30000, 60, 34000, 10000},  // 徐州
         {kCaoCao, 320000, 55, 50, 20000, 55, 24000, 8000},   // 青州
         {kCaoCao, 220000, 40, 35, 24000, 60, 28000, 6000},   // 涼州
         {kCaoCao, 260000, 50, 40, 20000, 55, 24000, 6000},   // 并州
         {kCaoCao, 600000, 80, 75, 40000, 65, 50000, 16000},  // 冀州
         {kCaoCao, 300000, 50, 45, 22000, 60, 26000, 8000},   // 幽州
         {kSunQuan, 500000, 70, 65, 44000, 70, 50000, 16000}, // 揚州
         {kLiuBei, 460000, 65, 55, 42000, 80, 46000, 12000},  // 荊州
         {kLiuBei, 540000, 80, 55, 40000, 60, 56000, 16000},  // 益州
         {kSunQuan, 260000, 45, 45, 30000, 65, 26000, 8000},  // 交州
         {kLiuBei, 200000, 50, 40, 26000, 75, 30000, 8000},   // 漢中
     }}},
}};

} // namespace

const std::array<Scenario, 3>& Scenarios() { return kScenarios; }

WorldRecord StartingWorld(const Scenario& scenario, const mapkit::MapAnalysis& map,
                          const std::array<mapkit::Point, kCountryCount>& markers)
{
    WorldRecord world;
    world.playerRuler = scenario.offered.front();
    world.turnCountry = -1;
    world.year = scenario.year;
    world.month = scenario.month;
    for (int i = 0; i < kCountryCount; ++i) {
        CountryRecord& c = world.countries[i];
        const Holding& h = scenario.holdings[i];
        c.name = platform::Utf8ToSjis(Countries()[i].name);
        for (int n : map.Neighbours(i))
            c.neighbours.push_back(static_cast<std::uint32_t>(n));
        c.ruler = h.ruler;
        c.population = h.population;
        c.cultivation = h.cultivation;
        c.commerce = h.commerce;
        c.soldiers = h.soldiers;
        c.training = h.training;
        c.provisions = h.provisions;
        c.funds = h.funds;
        c.mapX = markers[i].x;
        c.mapY = markers[i].y;
    }
    return world;
}

bool WriteScenarioFiles(const std::string& directory, const mapkit::MapAnalysis& map,
                        const std::array<mapkit::Point, kCountryCount>& markers, std::string* error)
{
    for (const Scenario& scenario : kScenarios) {
        if (!WriteScenarioPair(directory, scenario.number, {scenario.offered, StartingWorld(scenario, map, markers)},
                               error))
            return false;
    }
    return true;
}

} // namespace assets
