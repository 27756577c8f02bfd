// SPDX-License-Identifier: GPL-3.0-or-later
// Look-ahead: the odds of a battle whose end is certain, and the advisor's ranking of a
// world in which one command is clearly best.
#include <gtest/gtest.h>

#include "foresight/advisor.h"
#include "model/country_file.h"
#include "rules/battle_odds.h"
#include "test_world.h"

namespace {

GameState TestWorld()
{
    GameState world;
    ApplyWorld(world, MakeTestWorld());
    BuildRulerTable(world);
    return world;
}

} // namespace

// Where nothing is left to chance, every trial ends the same way. In the test world
// country 0 (the player's) borders 1 and 7.
TEST(BattleOddsTest, ABattleWhoseEndIsCertainHasOddsOfOne)
{
    struct Case {
        const char* name;
        BattleKind kind;
        void (*prepare)(GameState&);
        double (BattleOdds::*outcome)() const;
    };
    const Case cases[] = {
        {"the target has no soldiers", BattleKind::Player, [](GameState& w) { w.countries[1].SetSoldiers(0); },
         &BattleOdds::TakenShare},
        {"the computer takes a country without a ruler", BattleKind::Computer,
         [](GameState& w) { w.countries[1].SetRuler(0); }, &BattleOdds::TakenShare},
        {"the attacker has no soldiers", BattleKind::Player, [](GameState& w) { w.countries[0].SetSoldiers(0); },
         &BattleOdds::WipedOutShare},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState world = TestWorld();
        c.prepare(world);
        const BattleOdds odds = OddsOfBattle(world, 0, 1, c.kind, 500, 3);
        EXPECT_EQ(odds.trials, 500);
        EXPECT_DOUBLE_EQ((odds.*c.outcome)(), 1.0);
    }
}

// A strong, trained army beside a neighbour with no soldiers; its other neighbour is its
// own, beside a far stronger army: over the month the war on the empty one is clearly
// best (later, the rollout policy would take it after any command). The same ranking
// on any number of threads.
TEST(AdvisorTest, RanksTheWarOnAnUndefendedNeighbourFirst)
{
    GameState world = TestWorld();
    world.countries[0].SetTraining(Country::kMaxTraining);
    world.countries[1].SetSoldiers(0);
    world.countries[7].SetRuler(world.playerRuler);
    world.countries[8].SetSoldiers(200000);
    world.turnCountry = 0;
    foresight::AdviceOptions options;
    options.rollouts = 12;
    options.horizon = 1;
    options.roundSize = 5;
    std::vector<foresight::AdvisedCommand> first;
    for (const int threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        options.threads = threads;
        const std::vector<foresight::AdvisedCommand> ranking = foresight::Advisor(world, options).Run();
        ASSERT_FALSE(ranking.empty());
        const auto* war = std::get_if<command::War>(&ranking.front().command);
        ASSERT_NE(war, nullptr) << foresight::CommandKey(ranking.front().command);
        EXPECT_EQ(war->target, 1);
        EXPECT_EQ(ranking.front().trials, options.rollouts);
        if (first.empty())
            first = ranking;
        ASSERT_EQ(ranking.size(), first.size());
        for (std::size_t i = 0; i < ranking.size(); ++i) {
            EXPECT_EQ(foresight::CommandKey(ranking[i].command), foresight::CommandKey(first[i].command));
            EXPECT_EQ(foresight::CommandTarget(ranking[i].command), foresight::CommandTarget(first[i].command));
            EXPECT_EQ(ranking[i].heldSum, first[i].heldSum);
            EXPECT_EQ(ranking[i].keptOrMore, first[i].keptOrMore);
        }
    }
}
