// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <limits>

#include "model/country.h"
#include "world_fixture.h"

using platform::Random;

namespace {
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
}

class CountryTest : public WorldTest {};

TEST_F(CountryTest, DevelopLandAndCommerceCostFundsAndRiseByOneToTwenty)
{
    Country& c = C(0);
    c.SetFunds(999);
    c.SetCultivation(50);
    const std::uint32_t before = world.random.State();
    EXPECT_EQ(c.DevelopLand(world.random), 0);
    EXPECT_EQ(c.GetFunds(), 999);
    EXPECT_EQ(c.GetCultivation(), 50);
    EXPECT_EQ(world.random.State(), before) << "a refused action must not draw";

    c.SetFunds(1000);
    Random probe(world.random.State());
    EXPECT_EQ(c.DevelopLand(world.random), 1);
    EXPECT_EQ(c.GetFunds(), 0);
    EXPECT_EQ(c.GetCultivation(), 50 + probe.Draw() % 20 + 1);

    c.SetFunds(2500);
    c.SetCommerce(7);
    EXPECT_EQ(c.DevelopCommerce(world.random), 1);
    EXPECT_EQ(c.GetFunds(), 1500);
    EXPECT_EQ(c.GetCommerce(), 7 + probe.Draw() % 20 + 1);

    c.SetFunds(0);
    EXPECT_EQ(c.DevelopCommerce(world.random), 0);
}

TEST_F(CountryTest, TrainIsCappedAndFree)
{
    Country& c = C(0);
    c.SetTraining(100);
    const std::uint32_t before = world.random.State();
    EXPECT_EQ(c.Train(world.random), 0);
    EXPECT_EQ(world.random.State(), before);

    // A rise of 20 from 95 stops at 100.
    world.random.Seed(SeedWhoseFirstDraw([](int d) { return d % 20 == 19; }));
    c.SetTraining(95);
    c.SetFunds(0);
    EXPECT_EQ(c.Train(world.random), 1);
    EXPECT_EQ(c.GetTraining(), 100);
    EXPECT_EQ(c.GetFunds(), 0);

    c.SetTraining(101); // beyond the cap counts as full too
    EXPECT_EQ(c.Train(world.random), 0);
    EXPECT_EQ(c.GetTraining(), 101);
}

TEST_F(CountryTest, TrainRisesByOneToTwentyAsTheDrawSays)
{
    // Every rise is the draw modulo 20, plus one; over many draws each of 1..20 occurs
    // and nothing else does.
    bool seen[22] = {};
    for (std::uint32_t seed = 1; seed <= 2000; ++seed) {
        Country& c = C(0);
        c.SetTraining(0);
        world.random.Seed(seed);
        Random probe(seed);
        ASSERT_EQ(c.Train(world.random), 1);
        const int rise = c.GetTraining();
        ASSERT_EQ(rise, probe.Draw() % 20 + 1) << "seed " << seed;
        ASSERT_EQ(world.random.State(), probe.State()) << "one draw";
        seen[rise] = true;
    }
    for (int rise = 1; rise <= 20; ++rise)
        EXPECT_TRUE(seen[rise]) << rise;
    EXPECT_FALSE(seen[0]);
    EXPECT_FALSE(seen[21]);
}

TEST_F(CountryTest, ConscriptTakesPeopleAndDilutesTraining)
{
    Country& c = C(0);
    // The draw gives 3000 recruits: training 80 over 1000 soldiers falls to 20.
    world.random.Seed(SeedWhoseFirstDraw([](int d) { return d % 10000 == 1000; }));
    c.SetFunds(1500);
    c.SetPopulation(100000);
    c.SetSoldiers(1000);
    c.SetTraining(80);
    EXPECT_EQ(c.Conscript(world.random), 1);
    EXPECT_EQ(c.GetSoldiers(), 4000);
    EXPECT_EQ(c.GetPopulation(), 97000);
    EXPECT_EQ(c.GetTraining(), 20);
    EXPECT_EQ(c.GetFunds(), 500);

    EXPECT_EQ(c.Conscript(world.random), 0) << "500 funds are not enough";
    EXPECT_EQ(c.GetSoldiers(), 4000);
}

TEST_F(CountryTest, ConscriptNeverTakesMoreThanThePopulation)
{
    Country& c = C(0);
    c.SetFunds(3000);
    c.SetPopulation(500);
    c.SetSoldiers(500);
    c.SetTraining(60);
    EXPECT_EQ(c.Conscript(world.random), 1);
    EXPECT_EQ(c.GetPopulation(), 0);
    EXPECT_EQ(c.GetSoldiers(), 1000);
    EXPECT_EQ(c.GetTraining(), 30);

    // Nobody left: it still costs 1000 and leaves training as it was.
    EXPECT_EQ(c.Conscript(world.random), 1);
    EXPECT_EQ(c.GetSoldiers(), 1000);
    EXPECT_EQ(c.GetTraining(), 30);
    EXPECT_EQ(c.GetFunds(), 1000);

    // No soldiers and nobody to recruit: no division by zero, training stays.
    Country& empty = C(1);
    empty.SetFunds(1000);
    empty.SetTraining(45);
    EXPECT_EQ(empty.Conscript(world.random), 1);
    EXPECT_EQ(empty.GetTraining(), 45);
    EXPECT_EQ(empty.GetSoldiers(), 0);
}

TEST_F(CountryTest, SeasonalUpdatesSkipUnruledCountriesButPopulationGrows)
{
    Country& ruled = C(0);
    Country& unruled = C(1);
    for (Country* c : {&ruled, &unruled}) {
        c->SetPopulation(100000);
        c->SetCultivation(100000); // the product 10^10 is beyond 32 bits
        c->SetCommerce(50);
        c->SetSoldiers(2000);
        c->SetProvisions(1000);
        c->SetFunds(10);
    }
    ruled.SetRuler(3);

    ruled.Harvest();
    unruled.Harvest();
    EXPECT_EQ(ruled.GetProvisions(), 1000 + 5'000'000);
    EXPECT_EQ(unruled.GetProvisions(), 1000);

    ruled.CollectTaxes();
    unruled.CollectTaxes();
    EXPECT_EQ(ruled.GetFunds(), 10 + 1000);
    EXPECT_EQ(unruled.GetFunds(), 10);

    ruled.FeedTroops();
    unruled.FeedTroops();
    EXPECT_EQ(ruled.GetProvisions(), 1000 + 5'000'000 - 200);
    EXPECT_EQ(unruled.GetProvisions(), 1000);

    Random probe(world.random.State());
    unruled.GrowPopulation(world.random);
    const int g = probe.Draw() % 3 + 10;
    EXPECT_EQ(unruled.GetPopulation(), 100000 + g * 50 * 100000);
}

TEST_F(CountryTest, FeedTroopsHalvesAnArmyThatCannotBeFed)
{
    Country& c = C(0);
    c.SetRuler(1);
    c.SetSoldiers(1000);
    c.SetProvisions(50);
    c.FeedTroops();
    EXPECT_EQ(c.GetProvisions(), 0);
    EXPECT_EQ(c.GetSoldiers(), 500);

    c.SetSoldiers(9);
    c.SetProvisions(0);
    c.FeedTroops();
    EXPECT_EQ(c.GetProvisions(), 0);
    EXPECT_EQ(c.GetSoldiers(), 9);

    c.SetSoldiers(1001); // an odd army loses its larger half
    c.SetProvisions(99);
    c.FeedTroops();
    EXPECT_EQ(c.GetSoldiers(), 500);
}

TEST_F(CountryTest, HugeFiguresSaturateInsteadOfWrapping)
{
    Country& c = C(0);
    c.SetRuler(2);
    c.SetPopulation(kInt32Max);
    c.SetCultivation(kInt32Max);
    c.SetCommerce(kInt32Max);
    c.SetProvisions(kInt32Max - 5);
    c.SetFunds(kInt32Max - 5);
    c.Harvest();
    c.CollectTaxes();
    c.GrowPopulation(world.random);
    EXPECT_EQ(c.GetProvisions(), kInt32Max);
    EXPECT_EQ(c.GetFunds(), kInt32Max);
    EXPECT_EQ(c.GetPopulation(), kInt32Max);

    c.AddSoldiers(kInt32Max);
    c.AddSoldiers(kInt32Max);
    EXPECT_EQ(c.GetSoldiers(), kInt32Max);
    c.AddFunds(-5);
    EXPECT_EQ(c.GetFunds(), kInt32Max - 5);
    c.SetFunds(1000);
    c.SetCultivation(kInt32Max);
    EXPECT_EQ(c.DevelopLand(world.random), 1);
    EXPECT_EQ(c.GetCultivation(), kInt32Max);
}

TEST_F(CountryTest, ParseNeighboursAppendsAtoiValues)
{
    Country& c = C(0);
    c.ParseNeighbours("3,5,12");
    EXPECT_EQ(c.GetNeighbours(), (std::vector<std::uint32_t>{3, 5, 12}));
    c.ParseNeighbours("");
    EXPECT_EQ(c.GetNeighbours(), (std::vector<std::uint32_t>{3, 5, 12, 0}));
    c.ClearNeighbours();
    c.ParseNeighbours("3,5,");
    EXPECT_EQ(c.GetNeighbours(), (std::vector<std::uint32_t>{3, 5, 0}));
    c.ClearNeighbours();
    c.ParseNeighbours(" 7x, 8 ,,");
    EXPECT_EQ(c.GetNeighbours(), (std::vector<std::uint32_t>{7, 8, 0, 0}));
}

TEST_F(CountryTest, NeighbourTestsCompareRulersAndTheOwnList)
{
    Country& a = C(0);
    Country& b = C(1);
    Country& far = C(2);
    a.ParseNeighbours("1");
    a.SetRuler(4);
    b.SetRuler(4);
    far.SetRuler(4);
    EXPECT_EQ(a.IsFriendlyNeighbour(b), 1);
    EXPECT_EQ(a.IsHostileNeighbour(b), 0);
    EXPECT_EQ(a.IsFriendlyNeighbour(far), 0) << "not in the list";
    EXPECT_EQ(b.IsFriendlyNeighbour(a), 0) << "lists need not be symmetric";

    b.SetRuler(0); // an unruled country is hostile to every ruled neighbour
    EXPECT_EQ(a.IsHostileNeighbour(b), 1);
    EXPECT_EQ(a.IsFriendlyNeighbour(b), 0);

    EXPECT_EQ(a.IsFriendlyNeighbour(a), 0);
    a.ParseNeighbours("0");
    EXPECT_EQ(a.IsFriendlyNeighbour(a), 1);
}

TEST_F(CountryTest, OccupyMovesHalfTheArmyAndKeepsTheTargetsStores)
{
    Country& attacker = C(0);
    Country& target = C(1);
    attacker.SetRuler(6);
    attacker.SetSoldiers(7);
    attacker.SetTraining(77);
    target.SetRuler(2);
    target.SetSoldiers(-3);
    target.SetTraining(10);
    target.SetFunds(1234);
    target.SetProvisions(555);
    target.SetPopulation(9999);
    attacker.Occupy(target);
    EXPECT_EQ(target.GetRuler(), 6);
    EXPECT_EQ(attacker.GetSoldiers(), 4);
    EXPECT_EQ(target.GetSoldiers(), 3);
    EXPECT_EQ(target.GetTraining(), 77);
    EXPECT_EQ(target.GetFunds(), 1234);
    EXPECT_EQ(target.GetProvisions(), 555);
    EXPECT_EQ(target.GetPopulation(), 9999);
}

TEST_F(CountryTest, RulerTableHoldsTheFixedNamesAndColours)
{
    EXPECT_EQ(world.playerRuler, 1);
    EXPECT_EQ(world.turnCountry, -1);
    EXPECT_TRUE(world.rulers[3].GetName().empty());
    BuildRulerTable(world);
    EXPECT_EQ(world.rulers[0].GetName(), "非統治");
    EXPECT_EQ(world.rulers[1].GetName(), "劉備");
    EXPECT_EQ(world.rulers[15].GetName(), "孫権");
    EXPECT_EQ(world.rulers[3].GetColour(), world.rulers[15].GetColour());
    EXPECT_EQ(world.rulers[10].GetColour(), world.rulers[14].GetColour());
    EXPECT_EQ(world.rulers[2].GetColour(), MakeColour(128, 128, 255));
    for (int i = 1; i < kRulerCount; ++i) {
        for (int j = i + 1; j < kRulerCount; ++j)
            EXPECT_NE(kRulerNames[i], kRulerNames[j]);
    }
}

TEST_F(CountryTest, ColourTablesAreTheMapsLegend)
{
    // Red, green and blue of each ruler's colour and each country's key colour, as the
    // map's legend gives them.
    const int rulers[kRulerCount][3] = {
        {255, 255, 255}, {0, 255, 0},   {128, 128, 255}, {255, 0, 0},     {255, 255, 0},   {192, 192, 255},
        {0, 255, 255},   {255, 160, 160}, {0, 192, 0},   {255, 0, 255},   {0, 160, 160},   {192, 0, 192},
        {192, 192, 0},   {192, 192, 192}, {0, 160, 160}, {255, 0, 0},
    };
    const int keys[kCountryCount][3] = {
        {134, 134, 134}, {128, 0, 0},   {128, 128, 0}, {0, 128, 0},  {0, 128, 128},  {0, 0, 128},   {128, 0, 128},
        {153, 153, 51},  {0, 51, 51},   {0, 153, 255}, {0, 51, 153}, {102, 0, 255},  {153, 51, 0},  {204, 255, 255},
    };
    BuildRulerTable(world);
    for (int r = 0; r < kRulerCount; ++r) {
        SCOPED_TRACE("ruler " + std::to_string(r));
        const Colour c = kRulerColours[static_cast<std::size_t>(r)];
        EXPECT_EQ(ColourRed(c), rulers[r][0]);
        EXPECT_EQ(ColourGreen(c), rulers[r][1]);
        EXPECT_EQ(ColourBlue(c), rulers[r][2]);
        EXPECT_EQ(c >> 24, 0u);
        EXPECT_EQ(world.rulers[static_cast<std::size_t>(r)].GetColour(), c);
    }
    for (int i = 0; i < kCountryCount; ++i) {
        SCOPED_TRACE("country " + std::to_string(i));
        const Colour c = kRegionKeyColours[static_cast<std::size_t>(i)];
        EXPECT_EQ(ColourRed(c), keys[i][0]);
        EXPECT_EQ(ColourGreen(c), keys[i][1]);
        EXPECT_EQ(ColourBlue(c), keys[i][2]);
        EXPECT_EQ(c >> 24, 0u);
    }
    // The colour value keeps red in its low byte.
    EXPECT_EQ(kRulerColours[2], 0x00FF8080u);
    EXPECT_EQ(kRegionKeyColours[9], 0x00FF9900u);
}
