// SPDX-License-Identifier: GPL-3.0-or-later
#include <thread>

#include "model/country_file.h"
#include "rules/battle.h"
#include "rules_support.h"

using platform::Random;

namespace {
// The generator as it stands after n draws from seed.
std::uint32_t StateAfter(std::uint32_t seed, int draws)
{
    Random r(seed);
    for (int i = 0; i < draws; ++i)
        r.Draw();
    return r.State();
}
} // namespace

class BattleTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        BuildRulerTable(world);
        C(0).SetName(platform::Utf8ToSjis("冀州"));
        C(1).SetName(platform::Utf8ToSjis("徐州"));
    }
    // Country 0 (ruler 2) against country 1 (ruler 1).
    void Sides(std::int32_t attackerSoldiers, std::int32_t attackerTraining, std::int32_t targetSoldiers,
                      std::int32_t targetTraining)
    {
        Ready(0, 2, attackerSoldiers, attackerTraining);
        Ready(1, 1, targetSoldiers, targetTraining);
    }
};

TEST_F(BattleTest, ExchangeDrawsTheAttackersFactorFirstAndNeverWraps)
{
    Random rng(SeedWhoseDraws({{10, 3}, {10, 7}}));
    BattleLosses losses = BattleExchange(1000, 50, 2000, 80, rng);
    EXPECT_EQ(losses.target, 150);    // 1000 * 50 * 3 / 1000
    EXPECT_EQ(losses.attacker, 1120); // 2000 * 80 * 7 / 1000

    Random big(SeedWhoseDraws({{10, 9}, {10, 8}}));
    losses = BattleExchange(2000000000, 100, 1500000000, 100, big);
    EXPECT_EQ(losses.target, 1800000000);
    EXPECT_EQ(losses.attacker, 1200000000);
}

TEST_F(BattleTest, ComputerTakesAnUnruledCountryWithoutAFight)
{
    Country& a = Ready(0, 2, 20001, 60);
    a.SetProvisions(50000);
    a.SetFunds(5000);
    Country& t = C(1);
    t.SetSoldiers(7000);
    t.SetTraining(90);
    const std::uint32_t before = world.random.State();

    EXPECT_TRUE(ResolveComputerBattle(world, events, 0, 1));
    EXPECT_EQ(world.random.State(), before) << "no exchange is fought";
    EXPECT_EQ(a.GetProvisions(), 50000 - 20001);
    EXPECT_EQ(a.GetFunds(), 4000);
    EXPECT_EQ(a.GetSoldiers(), 10001);
    EXPECT_EQ(t.GetRuler(), 2);
    EXPECT_EQ(t.GetSoldiers(), 10000);
    EXPECT_EQ(t.GetTraining(), 60);
}

TEST_F(BattleTest, ComputerBattleChargesTheArmyBeforeTheFightAndEndsAfterThreeExchanges)
{
    // Training 1 on both sides: at most 90 losses an exchange, nobody falls.
    Sides(10000, 1, 10000, 1);
    world.random.Seed(42);
    EXPECT_FALSE(ResolveComputerBattle(world, events, 0, 1));
    EXPECT_EQ(world.random.State(), StateAfter(42, 6));
    EXPECT_EQ(C(0).GetProvisions(), 1000000 - 10000);
    EXPECT_EQ(C(0).GetFunds(), 99000);
    EXPECT_EQ(C(1).GetRuler(), 1);
    EXPECT_GE(C(0).GetSoldiers(), 10000 - 270);
    EXPECT_GE(C(1).GetSoldiers(), 10000 - 270);
    EXPECT_LT(C(0).GetSoldiers() + C(1).GetSoldiers(), 20000) << "the losses stand";

    // The attacker falls in the first exchange: the target keeps its country.
    Sides(1000, 1, 100000, 100);
    world.random.Seed(SeedWhoseDraws({{10, 4}, {10, 5}}));
    EXPECT_FALSE(ResolveComputerBattle(world, events, 0, 1));
    EXPECT_EQ(C(0).GetSoldiers(), 0);
    EXPECT_EQ(C(1).GetSoldiers(), 100000 - 4);
    EXPECT_EQ(C(1).GetRuler(), 1);
}

TEST_F(BattleTest, ComputerBattleWhereBothSidesFallHandsOverNoNegativeArmy)
{
    // Training above 100 (a hand-made world): each side wipes out the other at once.
    Sides(1000, 1000, 1500, 1000);
    world.random.Seed(SeedWhoseDraws({{10, 2}, {10, 1}}));
    EXPECT_TRUE(ResolveComputerBattle(world, events, 0, 1));
    EXPECT_EQ(C(1).GetRuler(), 2);
    EXPECT_EQ(C(1).GetSoldiers(), 0);
    EXPECT_EQ(C(0).GetSoldiers(), 0);
}

// One battle of the script, from its opening to its close.
struct ScriptCase {
    const char* what;
    std::int32_t attacker, attackerTraining, target, targetTraining;
    std::initializer_list<std::pair<int, int>> exchangeDraws; // after the variant
    int ticks;                                                 // until Tick says close
    std::int32_t attackerLeft, targetLeft;
    int attackerEnd, targetEnd; // kBattleEndLines bases of the closing lines
};

TEST_F(BattleTest, ScriptSpeaksByStrengthAndOutcome)
{
    const ScriptCase cases[] = {
        {"target wiped out", 10000, 100, 500, 0, {{10, 5}, {10, 0}}, 7, 10000, 0, 0, 6},
        {"attacker wiped out", 500, 0, 10000, 100, {{10, 0}, {10, 0}, {10, 0}, {10, 5}}, 8, 0, 10000, 8, 2},
        {"both standing", 10000, 0, 10000, 0, {}, 10, 10000, 10000, 4, 10},
        {"both fall", 1000, 1000, 1000, 1000, {{10, 1}, {10, 1}}, 7, 0, 0, 0, 6},
    };
    for (const ScriptCase& c : cases) {
        for (int variant = 0; variant < 2; ++variant) {
            SCOPED_TRACE(std::string(c.what) + ", variant " + std::to_string(variant));
            std::vector<std::pair<int, int>> draws{{2, variant}};
            draws.insert(draws.end(), c.exchangeDraws.begin(), c.exchangeDraws.end());
            const std::uint32_t seed = SeedWhoseDraws(draws);
            platform::FixClock(seed);
            Sides(c.attacker, c.attackerTraining, c.target, c.targetTraining);
            BattleScript script(world, 0, 1, world.random);
            script.Start();
            EXPECT_EQ(script.m_nVariant, variant);
            const int stronger = c.attacker < c.target ? 0 : 2; // equal counts: the attacker
            EXPECT_EQ(script.m_strAttackerLine, kBattleCries[stronger + variant]);
            EXPECT_EQ(script.m_strTargetLine, "");
            script.Tick();
            script.Tick();
            EXPECT_EQ(script.m_strTargetLine, kBattleCries[4 + stronger + variant]);
            script.Tick();
            EXPECT_EQ(script.m_strAttackerLine, kBattleCries[8 + stronger + variant]);
            int ticks = 3;
            while (!script.Tick())
                ++ticks;
            EXPECT_EQ(ticks + 1, c.ticks);
            EXPECT_TRUE(script.Finished());
            EXPECT_EQ(script.m_nAttackerSoldiers, c.attackerLeft);
            EXPECT_EQ(script.m_nTargetSoldiers, c.targetLeft);
            const int attackerLine = c.attackerEnd + variant, targetLine = c.targetEnd + variant;
            EXPECT_EQ(script.m_strAttackerLine, kBattleEndLines[attackerLine]);
            EXPECT_EQ(script.m_strTargetLine, kBattleEndLines[targetLine]);
        }
    }
}

TEST_F(BattleTest, ScriptWithASideWithoutSoldiersClosesAtTheFirstTick)
{
    for (auto [attacker, target] : {std::pair{0, 5000}, std::pair{8000, 0}}) {
        platform::FixClock(500);
        Sides(attacker, 50, target, 50);
        BattleScript script(world, 0, 1, world.random);
        script.Start();
        EXPECT_EQ(script.m_nStep, BattleScript::kClosingStep);
        EXPECT_EQ(script.m_strAttackerLine, "");
        EXPECT_EQ(script.m_strTargetLine, "");
        EXPECT_TRUE(script.Tick());
        EXPECT_EQ(script.m_nAttackerSoldiers, attacker);
        EXPECT_EQ(script.m_nTargetSoldiers, target);
        EXPECT_EQ(world.random.State(), StateAfter(500, 1)) << "only the variant is drawn";
    }
}

TEST_F(BattleTest, FinishGivesWhatTheTimerWouldHaveGiven)
{
    Sides(12000, 60, 9000, 70);
    platform::FixClock(12345);
    BattleScript ticked(world, 0, 1, world.random);
    ticked.Start();
    while (!ticked.Tick()) {
    }
    const std::uint32_t tickedState = world.random.State();

    for (int ticksFirst : {0, 4}) {
        platform::FixClock(12345);
        BattleScript finished(world, 0, 1, world.random);
        finished.Start();
        for (int i = 0; i < ticksFirst; ++i)
            finished.Tick();
        finished.Finish();
        EXPECT_TRUE(finished.Finished());
        EXPECT_EQ(finished.m_nAttackerSoldiers, ticked.m_nAttackerSoldiers);
        EXPECT_EQ(finished.m_nTargetSoldiers, ticked.m_nTargetSoldiers);
        EXPECT_EQ(finished.m_strAttackerLine, ticked.m_strAttackerLine);
        EXPECT_EQ(finished.m_strTargetLine, ticked.m_strTargetLine);
        EXPECT_EQ(finished.m_nStep, ticked.m_nStep);
        EXPECT_EQ(world.random.State(), tickedState);
    }
    EXPECT_LT(ticked.m_nTargetSoldiers, 9000) << "the battle was fought";
}

TEST_F(BattleTest, ScriptSteppedOnAnotherThreadDrawsFromTheAskersGenerator)
{
    Sides(10000, 0, 10000, 0); // four exchanges, no losses
    platform::FixClock(777);
    BattleScript script(world, 0, 1, world.random);
    std::thread window([&] {
        script.Start();
        script.Finish();
    });
    window.join();
    EXPECT_EQ(world.commandRandom.State(), 1u) << "the other generator is untouched";
    EXPECT_EQ(world.random.State(), StateAfter(777, 1 + 2 * BattleScript::kBattleExchanges));
}

TEST_F(BattleTest, PlayerBattleFillsTheScriptAndPaysForTheSurvivorsAfterwards)
{
    Sides(10000, 60, 4000, 80);
    C(0).SetProvisions(50000);
    C(0).SetFunds(3000);
    RecordingHost host{world};
    host.fight = [](BattleScript& script) {
        EXPECT_EQ(script.m_attackerName.Text() + script.m_targetName.Text(), "冀州徐州");
        EXPECT_EQ(std::pair(script.m_attackerName.id, script.m_targetName.id), std::pair(0, 1));
        EXPECT_EQ(std::pair(script.m_nAttackerRuler, script.m_nTargetRuler), std::pair(2, 1));
        EXPECT_EQ(script.m_nAttackerSoldiers, 10000);
        EXPECT_EQ(script.m_nTargetTraining, 80);
        script.m_nAttackerSoldiers = 6001; // as the window leaves them
        script.m_nTargetSoldiers = 0;
        return true;
    };
    EXPECT_TRUE(ResolvePlayerBattle(world, events, 0, 1, host, world.random));
    EXPECT_EQ(C(0).GetProvisions(), 50000 - 6001);
    EXPECT_EQ(C(0).GetFunds(), 2000);
    EXPECT_EQ(C(0).GetSoldiers(), 3001);
    EXPECT_EQ(C(1).GetSoldiers(), 3000);
    EXPECT_EQ(C(1).GetRuler(), 2);
    EXPECT_EQ(C(1).GetTraining(), 60);

    Sides(10000, 60, 4000, 80);
    host.fight = [](BattleScript& script) {
        script.m_nAttackerSoldiers = 7000;
        script.m_nTargetSoldiers = 200;
        return true;
    };
    EXPECT_FALSE(ResolvePlayerBattle(world, events, 0, 1, host, world.random));
    EXPECT_EQ(C(0).GetSoldiers(), 7000);
    EXPECT_EQ(C(0).GetProvisions(), 1000000 - 7000);
    EXPECT_EQ(C(1).GetSoldiers(), 200);
    EXPECT_EQ(C(1).GetRuler(), 1);
}

TEST_F(BattleTest, PlayerBattleWithoutAnArmyOrAbandonedChangesNothingButTheCost)
{
    // An attacker without soldiers: no exchange, the attack fails and still costs funds.
    Sides(0, 50, 5000, 50);
    RecordingHost host{world};
    EXPECT_FALSE(ResolvePlayerBattle(world, events, 0, 1, host, world.random));
    EXPECT_EQ(C(0).GetFunds(), 99000);
    EXPECT_EQ(C(0).GetProvisions(), 1000000);
    EXPECT_EQ(C(1).GetSoldiers(), 5000);

    // An unruled target fights in the window like any other.
    Ready(1, 0, 5000, 50);
    ResolvePlayerBattle(world, events, 0, 1, host, world.random);
    EXPECT_EQ(host.Countries(HostCall::Battle).size(), 2u);

    // The program ends during the battle: the world stays as it was.
    Sides(10000, 60, 4000, 80);
    const WorldRecord before = CaptureWorld(world, world.turnCountry);
    host.fight = [](BattleScript& script) {
        script.Start();
        script.Tick();
        return false;
    };
    EXPECT_FALSE(ResolvePlayerBattle(world, events, 0, 1, host, world.random));
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
}
