// SPDX-License-Identifier: GPL-3.0-or-later
// The player's commands as plain logic: the move between two countries and the words
// of the domestic commands.
#include "model/country_file.h"
#include "rules/commands.h"
#include "rules_support.h"

using platform::Random;

class CommandsTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        BuildRulerTable(world);
        C(0).SetName(platform::Utf8ToSjis("荊州"));
    }
    // Country i with an army and stores.
    Country& Stock(int i, std::int32_t soldiers, std::int32_t training, std::int32_t provisions,
                          std::int32_t funds)
    {
        Country& c = C(i);
        c.SetRuler(1);
        c.SetSoldiers(soldiers);
        c.SetTraining(training);
        c.SetProvisions(provisions);
        c.SetFunds(funds);
        return c;
    }
};

TEST_F(CommandsTest, AMoveCarriesTheAmountsAndAveragesTheTraining)
{
    Country& s = Stock(0, 10000, 80, 5000, 3000);
    Country& d = Stock(1, 3000, 50, 100, 200);
    ApplyMove(world, events, 0, 1, {1000, 400, 300});
    EXPECT_EQ(s.GetSoldiers(), 9000);
    EXPECT_EQ(s.GetProvisions(), 4600);
    EXPECT_EQ(s.GetFunds(), 2700);
    EXPECT_EQ(s.GetTraining(), 80) << "the source's training stays";
    EXPECT_EQ(d.GetSoldiers(), 4000);
    EXPECT_EQ(d.GetProvisions(), 500);
    EXPECT_EQ(d.GetFunds(), 500);
    EXPECT_EQ(d.GetTraining(), 57) << "(3000 x 50 + 80 x 1000) / 4000 = 57.5, truncated";

    // Into a country without soldiers the source's training comes exactly.
    Stock(2, 0, 33, 0, 0);
    ApplyMove(world, events, 0, 2, {700, 0, 0});
    EXPECT_EQ(C(2).GetTraining(), 80);
    EXPECT_EQ(C(2).GetSoldiers(), 700);

    // Nothing moved into a country without soldiers: its training becomes 0. Into one
    // with soldiers it stays.
    Stock(3, 0, 40, 10, 10);
    Stock(4, 100, 40, 10, 10);
    const WorldRecord before = CaptureWorld(world, -1);
    ApplyMove(world, events, 0, 3, {0, 0, 0});
    ApplyMove(world, events, 0, 4, {0, 0, 0});
    EXPECT_EQ(C(3).GetTraining(), 0);
    WorldRecord after = CaptureWorld(world, -1);
    after.countries[3].training = 40;
    EXPECT_EQ(after, before) << "a move of nothing changes nothing else";

    // The whole stock leaves nothing behind.
    ApplyMove(world, events, 0, 1, {s.GetSoldiers(), s.GetProvisions(), s.GetFunds()});
    EXPECT_EQ(s.GetSoldiers(), 0);
    EXPECT_EQ(s.GetProvisions(), 0);
    EXPECT_EQ(s.GetFunds(), 0);
    EXPECT_EQ(s.GetTraining(), 80);
}

TEST_F(CommandsTest, TheAverageOfLargeArmiesDoesNotOverflow)
{
    // 2,000,000,000 x 90 is far beyond 32 bits: (180e9 + 100e6 x 30) / 2.1e9 = 87.14.
    Stock(0, 100'000'000, 30, 0, 0);
    Stock(1, 2'000'000'000, 90, 0, 0);
    ApplyMove(world, events, 0, 1, {100'000'000, 0, 0});
    EXPECT_EQ(C(1).GetSoldiers(), 2'100'000'000);
    EXPECT_EQ(C(1).GetTraining(), 87);
    EXPECT_EQ(C(0).GetSoldiers(), 0);
}

TEST_F(CommandsTest, MoveAmountsMustLieWithinTheSourcesStocks)
{
    Stock(0, 600, 10, 901, 0);
    EXPECT_TRUE(MoveAmountsAllowed(world, 0, {600, 901, 0}));
    EXPECT_TRUE(MoveAmountsAllowed(world, 0, {0, 0, 0}));
    EXPECT_FALSE(MoveAmountsAllowed(world, 0, {601, 0, 0}));
    EXPECT_FALSE(MoveAmountsAllowed(world, 0, {0, 902, 0}));
    EXPECT_FALSE(MoveAmountsAllowed(world, 0, {0, 0, 1}));
    EXPECT_FALSE(MoveAmountsAllowed(world, 0, {-1, 0, 0}));
    EXPECT_FALSE(MoveAmountsAllowed(world, 0, {0, -1, 0}));
    EXPECT_FALSE(MoveAmountsAllowed(world, 0, {0, 0, -1}));
}

TEST_F(CommandsTest, DomesticCommandsWordTheirOutcome)
{
    Country& c = Stock(0, 5000, 30, 0, 3000);
    c.SetCultivation(40);
    c.SetCommerce(60);
    c.SetPopulation(100000);
    world.commandRandom.Seed(77);
    Random probe(77);
    const int land = 40 + probe.Draw() % 20 + 1;
    const int commerce = 60 + probe.Draw() % 20 + 1;
    const int soldiers = 5000 + probe.Draw() % 10000 + 2000;
    const int training = 30 * 5000 / soldiers + probe.Draw() % 20 + 1;
    const struct {
        DomesticCommand command;
        std::string words;
    } done[] = {
        {DomesticCommand::DevelopLand, "開墾が " + std::to_string(land) + " になりました"},
        {DomesticCommand::DevelopCommerce, "商業が " + std::to_string(commerce) + " になりました"},
        {DomesticCommand::Conscript, "兵士が " + std::to_string(soldiers) + " になりました"},
        {DomesticCommand::Train, "訓練が " + std::to_string(training) + " になりました"},
    };
    for (const auto& d : done) {
        const CommandOutcome outcome = RunDomesticCommand(world, events, d.command, 0);
        EXPECT_TRUE(outcome.done) << d.words;
        EXPECT_EQ(outcome.words.Text(), d.words);
    }
    EXPECT_EQ(c.GetFunds(), 0);

    // Refused: no funds for the paid three, full training for the fourth.
    c.SetTraining(100);
    const WorldRecord before = CaptureWorld(world, -1);
    const struct {
        DomesticCommand command;
        const char* words;
    } refused[] = {
        {DomesticCommand::DevelopLand, "資金が不足しています"},
        {DomesticCommand::DevelopCommerce, "資金が不足しています"},
        {DomesticCommand::Conscript, "資金が不足しています"},
        {DomesticCommand::Train, "これ以上訓練できません"},
    };
    for (const auto& r : refused) {
        const CommandOutcome outcome = RunDomesticCommand(world, events, r.command, 0);
        EXPECT_FALSE(outcome.done) << r.words;
        EXPECT_EQ(outcome.words.Text(), r.words);
    }
    EXPECT_EQ(CaptureWorld(world, -1), before);

    EXPECT_EQ(TurnStatusWords(world, 0).Text(), "0 荊州 の番です");
}

TEST_F(CommandsTest, TheTargetsOfAMoveAndAWarAreTheNeighboursTheirTestsAccept)
{
    // 0 borders 3 (listed twice, first), 1 (its own ruler), 2 (no ruler) and 5 (another
    // ruler); 4 has its ruler but is no neighbour.
    const RulerId rulers[] = {1, 1, 0, 4, 1, 2};
    for (int i = 0; i < 6; ++i) {
        C(i).SetRuler(rulers[i]);
        C(i).ClearNeighbours();
    }
    C(0).ParseNeighbours("3,1,2,5,3");
    EXPECT_EQ(MoveTargets(world, 0), (std::vector<int>{1}));
    EXPECT_EQ(AttackTargets(world, 0), (std::vector<int>{2, 3, 5})) << "in index order, once each; no ruler is hostile";
    C(1).SetRuler(4);
    EXPECT_EQ(MoveTargets(world, 0), std::vector<int>{});
    EXPECT_EQ(AttackTargets(world, 0), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(MoveTargets(world, -1), std::vector<int>{});
    EXPECT_EQ(AttackTargets(world, 14), std::vector<int>{});

    // What the tooltips read agrees with what the commands do: the war's provisions
    // first, then its funds, then its target.
    Stock(0, 500, 100, 499, 999);
    EXPECT_EQ(WarBlock(world, 0), CommandBlock::Provisions);
    EXPECT_EQ(RefusalWords(WarBlock(world, 0)).Text(), "兵糧が不足しています");
    C(0).SetProvisions(500);
    EXPECT_EQ(WarBlock(world, 0), CommandBlock::Funds);
    EXPECT_EQ(RefusalWords(WarBlock(world, 0)).Text(), "資金が不足しています");
    C(0).SetFunds(1000);
    EXPECT_EQ(WarBlock(world, 0), CommandBlock::None);
    EXPECT_EQ(WarBlock(world, 0, 4), CommandBlock::NoAttackTarget) << "4 is no neighbour";
    EXPECT_EQ(MoveBlock(world, 0), CommandBlock::NoMoveTarget) << "1 has gone over to ruler 4";
    EXPECT_EQ(DomesticBlock(world, DomesticCommand::Train, 0), CommandBlock::TrainingFull);
    EXPECT_FALSE(RunDomesticCommand(world, events, DomesticCommand::Train, 0).done);
    EXPECT_EQ(DomesticBlock(world, DomesticCommand::Conscript, 0), CommandBlock::None);
    C(0).SetFunds(999);
    for (DomesticCommand c : {DomesticCommand::DevelopLand, DomesticCommand::DevelopCommerce, DomesticCommand::Conscript}) {
        EXPECT_EQ(DomesticBlock(world, c, 0), CommandBlock::Funds);
        EXPECT_FALSE(RunDomesticCommand(world, events, c, 0).done);
    }
}
