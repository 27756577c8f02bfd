// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/random_scenario.h"

#include <algorithm>
#include <array>

#include "platform/random.h"

namespace foresight {

namespace {

// The years each ruler held lands of his own, by id (the father's and the son's do not
// meet: 劉焉 and 劉璋, 孫堅 and 孫権 share a colour on the map).
constexpr std::array<RulerYears, kRulerCount> kRulerYears = {{
    {0, 0},     // 非統治
    {189, 223}, // 劉備
    {189, 220}, // 曹操
    {189, 191}, // 孫堅
    {189, 202}, // 袁紹
    {189, 199}, // 袁術
    {189, 208}, // 劉表
    {192, 198}, // 呂布
    {189, 211}, // 馬騰
    {189, 192}, // 董卓
    {189, 193}, // 劉焉
    {189, 199}, // 公孫瓚
    {191, 215}, // 張魯
    {189, 194}, // 陶謙
    {194, 214}, // 劉璋
    {200, 252}, // 孫権
}};

constexpr std::int32_t kFirstYear = 189;
constexpr std::int32_t kLastYear = 219;

// Scenarios drawn from one seed at most, and tables measured for each before the next
// is drawn.
constexpr int kMaxDraws = 8;
constexpr int kMaxRounds = 12;

// Whole numbers drawn from the game's generator (15 bits a draw), each value of a range
// equally likely: the same on every machine.
class Draws {
public:
    explicit Draws(std::uint32_t seed) : m_random(seed) {}

    // 0..n-1, n in 1..32768.
    int Below(int n)
    {
        const int limit = (platform::Random::kMax + 1) / n * n;
        int value = m_random.Draw();
        while (value >= limit)
            value = m_random.Draw();
        return value % n;
    }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    // low, low + step, ..., high.
    std::int32_t Steps(std::int32_t low, std::int32_t high, std::int32_t step)
    {
        return low + step * Below((high - low) / step + 1);
    }

private:
    platform::Random m_random;
};

bool Borders(const CountryRecord& c, int other)
{
    return std::find(c.neighbours.begin(), c.neighbours.end(), static_cast<std::uint32_t>(other)) !=
           c.neighbours.end();
}

// Owners: a capital for each ruler, then countries next to a ruler's handed out one at
// a time to a ruler drawn among those beside one still free; the rest stay unruled.
void DealCountries(Draws& draws, WorldRecord& world, const std::vector<RulerId>& rulers)
{
    for (CountryRecord& c : world.countries)
        c.ruler = 0;
    const int rulerCount = static_cast<int>(rulers.size());
    const int unruled = draws.Between(0, std::min(2, kCountryCount - rulerCount));
    for (RulerId ruler : rulers) {
        int at = draws.Below(kCountryCount);
        while (world.countries[static_cast<std::size_t>(at)].ruler != 0)
            at = (at + 1) % kCountryCount;
        world.countries[static_cast<std::size_t>(at)].ruler = ruler;
    }
    for (int dealt = 0; dealt < kCountryCount - rulerCount - unruled; ++dealt) {
        // The rulers beside a free country, and for each the free countries beside him.
        std::vector<std::pair<RulerId, std::vector<int>>> growing;
        for (RulerId ruler : rulers) {
            std::vector<int> free;
            for (int c = 0; c < kCountryCount; ++c) {
                const CountryRecord& country = world.countries[static_cast<std::size_t>(c)];
                if (country.ruler != 0)
                    continue;
                for (int n = 0; n < kCountryCount; ++n)
                    if (world.countries[static_cast<std::size_t>(n)].ruler == ruler && Borders(country, n)) {
                        free.push_back(c);
                        break;
                    }
            }
            if (!free.empty())
                growing.emplace_back(ruler, std::move(free));
        }
        if (growing.empty())
            break;
        const auto& [ruler, free] = growing[static_cast<std::size_t>(draws.Below(static_cast<int>(growing.size())))];
        const int country = free[static_cast<std::size_t>(draws.Below(static_cast<int>(free.size())))];
        world.countries[static_cast<std::size_t>(country)].ruler = ruler;
    }
}

// Figures like the bundled scenarios': a ruled country with an army above the
// 10,000 soldiers below which the computer only conscripts, provisions for a campaign
// and funds for more than one; an unruled one poorer and weakly held.
void DrawFigures(Draws& draws, WorldRecord& world)
{
    for (CountryRecord& c : world.countries) {
        const bool ruled = c.ruler != 0;
        c.population = ruled ? draws.Steps(150000, 550000, 10000) : draws.Steps(120000, 220000, 10000);
        c.cultivation = ruled ? draws.Between(35, 75) : draws.Between(25, 40);
        c.commerce = ruled ? draws.Between(30, 70) : draws.Between(25, 40);
        c.soldiers = ruled ? draws.Steps(18000, 36000, 1000) : draws.Steps(4000, 10000, 1000);
        c.training = ruled ? draws.Between(45, 80) : draws.Between(15, 30);
        c.provisions = c.soldiers + (ruled ? draws.Steps(0, 10000, 1000) : draws.Steps(2000, 4000, 1000));
        c.funds = ruled ? draws.Steps(4000, 12000, 1000) : draws.Steps(3000, 5000, 1000);
    }
}

ScenarioPair DrawScenario(Draws& draws, const WorldRecord& map)
{
    ScenarioPair pair;
    pair.world = map;
    pair.world.turnCountry = -1;
    pair.world.year = draws.Between(kFirstYear, kLastYear);
    pair.world.month = draws.Between(1, 12);
    for (RulerId r = 1; r < kRulerCount; ++r) {
        const RulerYears years = kRulerYears[static_cast<std::size_t>(r)];
        if (years.first <= pair.world.year && pair.world.year <= years.last)
            pair.offered.push_back(r);
    }
    DealCountries(draws, pair.world, pair.offered);
    DrawFigures(draws, pair.world);
    // Every ruler of the period holds a country, so every one is offered.
    pair.world.playerRuler = pair.offered.front();
    return pair;
}

constexpr std::int32_t kMaxSoldiers = 60000;

// Figures stay in whole hundreds, as a scenario author writes them.
std::int32_t Hundreds(std::int32_t value) { return value / 100 * 100; }

// One round of adjustment after a table that missed a target.
void Adjust(WorldRecord& world, const FairnessTable& table)
{
    std::array<bool, kRulerCount> oftenLost{};
    bool anyLost = false;
    for (const RulerFairness& row : table.rows) {
        oftenLost[static_cast<std::size_t>(row.ruler)] = !row.AliveMet();
        anyLost = anyLost || !row.AliveMet();
    }
    for (CountryRecord& c : world.countries) {
        const auto row = std::find_if(table.rows.begin(), table.rows.end(),
                                      [&c](const RulerFairness& r) { return r.ruler == c.ruler; });
        if (row == table.rows.end())
            continue;
        if (!row->AliveMet()) {
            // A ruler often lost gets a better trained and larger army.
            c.training = std::min(100, c.training + 8);
            c.soldiers = std::min(kMaxSoldiers, Hundreds(c.soldiers + c.soldiers / 8));
        }
        if (!row->Fair()) {
            c.provisions = std::max(c.provisions, c.soldiers);
            c.funds = std::max(c.funds, 2000);
        }
    }
    if (table.CaptureMet()) {
        // While countries change hands often enough, the others get less money and
        // fewer provisions beyond one campaign: fewer wars, fewer lost.
        if (!anyLost || table.capturePermille < kCaptureTargetPermille + 100)
            return;
        for (CountryRecord& c : world.countries) {
            if (c.ruler != 0 && !oftenLost[static_cast<std::size_t>(c.ruler)]) {
                c.funds = std::max(2000, Hundreds(c.funds - c.funds / 4));
                c.provisions = std::max(c.soldiers, Hundreds(c.provisions - c.soldiers / 8));
            }
        }
        return;
    }
    // Too quiet an opening: the unruled countries are held more weakly, and every
    // ruler has the provisions to march after the new year's rations.
    for (CountryRecord& c : world.countries) {
        if (c.ruler == 0) {
            c.soldiers = std::max(0, c.soldiers - 2000);
            c.training = std::max(5, c.training - 5);
        } else {
            c.provisions = std::max(c.provisions, Hundreds(c.soldiers + c.soldiers / 4));
            c.funds += 1000;
        }
    }
}

} // namespace

RulerYears YearsOfRuler(RulerId ruler)
{
    return ruler >= 0 && ruler < kRulerCount ? kRulerYears[static_cast<std::size_t>(ruler)] : RulerYears{};
}

std::optional<RandomScenario> MakeRandomScenario(std::uint32_t seed, const WorldRecord& map,
                                                 const RandomScenarioOptions& options)
{
    Draws draws(seed);
    FairnessOptions fairness;
    fairness.threads = options.threads;
    RandomScenario made;
    made.seed = seed;
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        ScenarioPair pair = DrawScenario(draws, map);
        for (int round = 0; round < kMaxRounds; ++round) {
            const std::optional<FairnessTable> table = MeasureFairness(pair, fairness, {}, options.cancel);
            if (!table)
                return std::nullopt;
            ++made.rounds;
            if (table->Fair()) {
                made.pair = std::move(pair);
                made.table = *table;
                made.draws = draw + 1;
                return made;
            }
            Adjust(pair.world, *table);
        }
    }
    return std::nullopt;
}

} // namespace foresight
