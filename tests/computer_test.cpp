// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/country_file.h"
#include "rules/turn.h"
#include "rules_support.h"

using platform::Random;

class ComputerTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        BuildRulerTable(world);
        SeatPlayer(world, 1);
    }
    // Country 0 of ruler 2 bordering the given countries.
    Country& Attacker(const char* neighbours, std::int32_t soldiers = 20000, std::int32_t training = 50)
    {
        Country& c = Ready(0, 2, soldiers, training);
        c.ClearNeighbours();
        c.ParseNeighbours(neighbours);
        return c;
    }
    // Makes the next decision draw come out as r.
    void Decide(int r) { world.random.Seed(SeedWhoseDraws({{10, r}})); }
    RecordingHost host{world};
};

TEST_F(ComputerTest, ArmyAndFundsThresholds)
{
    // Below 10000 soldiers the country only conscripts: one draw, the conscription's.
    Country& c = Attacker("1", 9999);
    c.SetFunds(5000);
    world.random.Seed(7);
    RunComputerTurn(world, events, host, 0);
    EXPECT_EQ(c.GetFunds(), 4000);
    EXPECT_GT(c.GetSoldiers(), 9999);
    Random probe(7);
    probe.Draw();
    EXPECT_EQ(world.random.State(), probe.State());

    // ... and without 1000 funds it cannot even do that.
    c.SetSoldiers(9999);
    c.SetFunds(999);
    world.random.Seed(7);
    RunComputerTurn(world, events, host, 0);
    EXPECT_EQ(c.GetSoldiers(), 9999);
    EXPECT_EQ(world.random.State(), 7u);

    // 10000 soldiers and 999 funds: nothing at all, not even training, no draw.
    c.SetSoldiers(10000);
    c.SetTraining(10);
    const WorldRecord before = CaptureWorld(world, -1);
    RunComputerTurn(world, events, host, 0);
    EXPECT_EQ(CaptureWorld(world, -1), before);
    EXPECT_EQ(world.random.State(), 7u);

    // 10000 soldiers and 1000 funds: the decision is drawn (4: develop commerce).
    c.SetFunds(1000);
    const std::int32_t commerce = c.GetCommerce();
    Decide(4);
    RunComputerTurn(world, events, host, 0);
    EXPECT_EQ(c.GetFunds(), 0);
    EXPECT_GT(c.GetCommerce(), commerce);
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(ComputerTest, DecisionsComeInProportionsOneThreeTwoTwoTwo)
{
    enum { War, Land, Commerce, Conscript, Train };
    int counts[5] = {};
    constexpr int kTurns = 20000;
    for (int turn = 0; turn < kTurns; ++turn) {
        Country& c = Attacker("1", 20000, 10); // an unruled neighbour falls without a fight
        c.SetCultivation(0);
        c.SetCommerce(0);
        Ready(1, 0, 100, 0);
        RunComputerTurn(world, events, host, 0);
        if (C(1).GetRuler() == 2)
            ++counts[War];
        else if (c.GetCultivation() > 0)
            ++counts[Land];
        else if (c.GetCommerce() > 0)
            ++counts[Commerce];
        else if (c.GetSoldiers() > 20000)
            ++counts[Conscript];
        else if (c.GetTraining() > 10)
            ++counts[Train];
    }
    const int expected[5] = {1, 3, 2, 2, 2};
    int total = 0;
    for (int i = 0; i < 5; ++i) {
        total += counts[i];
        EXPECT_NEAR(counts[i], kTurns * expected[i] / 10, kTurns / 50) << "action " << i;
    }
    EXPECT_EQ(total, kTurns) << "every turn does exactly one of the five";
}

TEST_F(ComputerTest, WarIsConsideredOnlyWithProvisionsAndAWeakEnoughHostileNeighbour)
{
    // Fewer provisions than soldiers: trains.
    Country& c = Attacker("1,2", 20000, 10);
    Ready(1, 3, 100, 10);
    c.SetProvisions(19999);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    EXPECT_GT(c.GetTraining(), 10);
    EXPECT_EQ(C(1).GetRuler(), 3);

    // Only neighbours of its own ruler: trains.
    Attacker("1", 20000, 10);
    Ready(1, 2, 100, 10);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    EXPECT_GT(c.GetTraining(), 10);

    // The weakest neighbour is twice as strong (200000 * 10 vs 2 * 20000 * 50 = 2000000):
    // develops land. One less and it attacks.
    Attacker("1", 20000, 50);
    Ready(1, 3, 200000, 10);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    EXPECT_GT(c.GetCultivation(), 0);
    EXPECT_TRUE(host.calls.empty());
    C(1).SetSoldiers(199999);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].kind, HostCall::TurnBegin);
}

TEST_F(ComputerTest, StrengthCeilingAndWideStrengths)
{
    // A neighbour at the ceiling (15728639 = 1 * 15728639) is never a target, even for
    // an attacker far stronger; one below is.
    const std::int32_t ceiling = 15728639;
    Country& c = Attacker("1", 1000000, 100);
    Ready(1, 3, ceiling, 1);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    EXPECT_GT(c.GetCultivation(), 0);
    EXPECT_TRUE(host.calls.empty());

    C(1).SetSoldiers(ceiling - 1);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    EXPECT_EQ(host.Countries(HostCall::TurnBegin), std::vector<int>{0});

    // 21474837 * 100 does not fit in 32 bits; as a wrapped negative it would look like
    // the weakest army on the map.
    Attacker("1", 20000, 50);
    c.SetCultivation(0);
    Ready(1, 3, 21474837, 100);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    EXPECT_GT(c.GetCultivation(), 0);
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST_F(ComputerTest, AttacksTheWeakestNeighbourTheEarlierOnATie)
{
    Attacker("3,4,5,6");
    Ready(3, 4, 500, 10);
    Ready(4, 2, 1, 1); // its own ruler's: not a candidate
    Ready(5, 5, 100, 10);
    Ready(6, 6, 250, 4);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].kind, HostCall::TurnBegin);
    EXPECT_EQ(host.calls[0].country, 0);
    EXPECT_EQ(host.calls[0].battleAttacker, 0);
    EXPECT_EQ(host.calls[0].battleTarget, 5);
    EXPECT_EQ(host.battleAttacker, -1);
    EXPECT_EQ(host.battleTarget, -1);
    EXPECT_EQ(C(0).GetProvisions(), 1000000 - 20000) << "the army's count before the fight";
}

TEST_F(ComputerTest, AttackOnThePlayerIsAnnouncedFoughtAndReported)
{
    C(1).SetName(platform::Utf8ToSjis("徐州"));
    for (bool taken : {true, false}) {
        SCOPED_TRACE(taken ? "taken" : "repelled");
        host.calls.clear();
        Attacker("1");
        Ready(1, 1, 5000, 20);
        host.fight = [taken](BattleScript& script) {
            script.m_nAttackerSoldiers = 15000;
            script.m_nTargetSoldiers = taken ? 0 : 10;
            return true;
        };
        Decide(0);
        RunComputerTurn(world, events, host, 0);
        EXPECT_EQ(host.Countries(HostCall::TurnBegin), std::vector<int>{});
        EXPECT_EQ(host.Countries(HostCall::Battle), std::vector<int>{1});
        const std::string last = taken ? "徐州 が陥落しました" : "曹操 は退却しました";
        EXPECT_EQ(host.Messages(), (std::vector<std::string>{"徐州 が攻撃されています", last}));
        EXPECT_EQ(C(1).GetRuler(), taken ? 2 : 1);
        EXPECT_EQ(C(0).GetProvisions(), 1000000 - 15000);
    }
}

TEST_F(ComputerTest, EachDecisionDrawHasItsAction)
{
    enum Action { War, Land, Commerce, Conscript, Train, Nothing };
    const char* const names[] = {"war", "develop land", "develop commerce", "conscript", "train", "nothing"};
    // The table of the decision draw r = rand() % 10.
    const Action expected[10] = {War, Land, Land, Land, Commerce, Commerce, Conscript, Conscript, Train, Train};
    for (int r = 0; r < 10; ++r) {
        Country& c = Attacker("1", 20000, 10);
        c.SetCultivation(0);
        c.SetCommerce(0);
        Ready(1, 0, 100, 0); // a weak unruled neighbour: war takes it without a fight
        Decide(r);
        RunComputerTurn(world, events, host, 0);
        int changes = 0;
        Action done = Nothing;
        auto note = [&](bool happened, Action action) {
            if (happened) {
                ++changes;
                done = action;
            }
        };
        note(C(1).GetRuler() == 2, War);
        note(c.GetCultivation() > 0, Land);
        note(c.GetCommerce() > 0, Commerce);
        note(c.GetSoldiers() > 20000, Conscript);
        note(c.GetTraining() > 10, Train);
        EXPECT_EQ(changes, 1) << "r = " << r;
        EXPECT_STREQ(names[done], names[expected[r]]) << "r = " << r;
    }
}

TEST_F(ComputerTest, BattleMarkersOnlyForBattlesBetweenComputerRulers)
{
    // Against another computer ruler: the pair is set while the view is told, and
    // cleared afterwards.
    Attacker("1");
    Ready(1, 3, 100, 10);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].battleAttacker, 0);
    EXPECT_EQ(host.calls[0].battleTarget, 1);
    EXPECT_EQ(host.battleAttacker, -1);
    EXPECT_EQ(host.battleTarget, -1);

    // Against the player: announced and fought in windows, never marked on the map.
    host.calls.clear();
    Attacker("1");
    Ready(1, 1, 5000, 20);
    Decide(0);
    RunComputerTurn(world, events, host, 0);
    ASSERT_EQ(host.calls.size(), 3u);
    const HostCall::Kind kinds[] = {HostCall::Message, HostCall::Battle, HostCall::Message};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(host.calls[i].kind, kinds[i]) << i;
        EXPECT_EQ(host.calls[i].battleAttacker, -1) << i;
        EXPECT_EQ(host.calls[i].battleTarget, -1) << i;
    }
    EXPECT_EQ(host.battleAttacker, -1);
    EXPECT_EQ(host.battleTarget, -1);
}

TEST_F(ComputerTest, AComputerRulerPlaysAtHisOwnLevelAndNoOtherRulersLevelCounts)
{
    // Decision draw 1 weighs war at hard only (below it, develops land); country 0 is
    // ruler 2's, beside a weak country of ruler 3. A ruler at 達人 asks the planner,
    // which here orders commerce.
    struct CommercePlanner final : ComputerPlanner {
        mutable int asked = 0;
        ComputerOrder Choose(const GameState&, int) const override
        {
            ++asked;
            return ComputerOrder::Domestic(DomesticCommand::DevelopCommerce);
        }
    } planner;
    enum Outcome { Develops, Wars, Planned };
    const struct {
        const char* name;
        Difficulty game;
        RulerId levelled;
        Difficulty level;
        Outcome outcome;
    } cases[] = {
        {"the game's normal", Difficulty::Normal, 0, Difficulty::Normal, Develops},
        {"his own hard", Difficulty::Normal, 2, Difficulty::Hard, Wars},
        {"his neighbour's hard", Difficulty::Normal, 3, Difficulty::Hard, Develops},
        {"the game's hard", Difficulty::Hard, 0, Difficulty::Hard, Wars},
        {"his own easy in a hard game", Difficulty::Hard, 2, Difficulty::Easy, Develops},
        {"his own master in a normal game", Difficulty::Normal, 2, Difficulty::Master, Planned},
        {"the game's master", Difficulty::Master, 0, Difficulty::Master, Planned},
        {"his own hard in a master game", Difficulty::Master, 2, Difficulty::Hard, Wars},
        {"his neighbour's master", Difficulty::Normal, 3, Difficulty::Master, Develops},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SeatPlayer(world, 1);
        world.difficulty = c.game;
        if (c.levelled != 0)
            world.seats[static_cast<std::size_t>(c.levelled)].level = c.level;
        host.calls.clear();
        host.planner = &planner;
        planner.asked = 0;
        Country& attacker = Attacker("1", 20000, 50);
        attacker.SetCultivation(0);
        attacker.SetCommerce(0);
        Ready(1, 3, 100, 10);
        Decide(1);
        RunComputerTurn(world, events, host, 0);
        EXPECT_EQ(planner.asked, c.outcome == Planned ? 1 : 0);
        EXPECT_EQ(C(1).GetRuler() == 2, c.outcome == Wars);
        EXPECT_EQ(attacker.GetCultivation() > 0, c.outcome == Develops);
        EXPECT_EQ(attacker.GetCommerce() > 0, c.outcome == Planned);
    }
}
