// SPDX-License-Identifier: GPL-3.0-or-later
// Look-ahead: the odds of a battle against the battles fought, the advisor's ranking of
// worlds whose answer is known, and the computer ruler who looks ahead.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <system_error>
#include <thread>
#include <tuple>

#include "foresight/advisor.h"
#include "foresight/look_ahead_ruler.h"
#include "foresight/silent_host.h"
#include "foresight/trial.h"
#include "model/country_file.h"
#include "rules/battle_odds.h"
#include "rules/turn.h"
#include "test_world.h"

namespace {

GameState TestWorld()
{
    GameState world;
    ApplyWorld(world, MakeTestWorld());
    BuildRulerTable(world);
    return world;
}

// The advice in a form two rankings can be compared by.
std::vector<std::tuple<char, int, std::int64_t, int, std::int64_t>> Ranked(const std::vector<foresight::AdvisedCommand>& r)
{
    std::vector<std::tuple<char, int, std::int64_t, int, std::int64_t>> out;
    for (const foresight::AdvisedCommand& a : r)
        out.emplace_back(foresight::CommandKey(a.command), foresight::CommandTarget(a.command), a.heldSum, a.lost,
                         a.strengthSum);
    return out;
}

// The place of the first command with key and target in a ranking; -1 when absent.
int PlaceOf(const std::vector<foresight::AdvisedCommand>& ranking, char key, int target = -1)
{
    for (std::size_t i = 0; i < ranking.size(); ++i)
        if (foresight::CommandKey(ranking[i].command) == key && foresight::CommandTarget(ranking[i].command) == target)
            return static_cast<int>(i);
    return -1;
}

// A thread starter that refuses every thread after the first it is asked for.
foresight::ThreadStarter RefusingAfterOne()
{
    auto started = std::make_shared<int>(0);
    return [started](std::function<void()> work) {
        if ((*started)++ > 0)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        return std::thread(std::move(work));
    };
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

// The odds are those of the battles the game fights: the player's battle in the battle
// window and the computer's out of sight, each with its own number of exchanges, on
// two armies even enough for one exchange more or less to change the outcome often.
TEST(BattleOddsTest, TheOddsAreThoseOfTheBattlesFought)
{
    struct Case {
        const char* name;
        BattleKind kind;
        int attacker, target; // the player's 0 on 1 (ruler 2); 1 on 8 (ruler 5)
    };
    const Case cases[] = {{"the player's battle", BattleKind::Player, 0, 1},
                          {"a battle between computer rulers", BattleKind::Computer, 1, 8}};
    constexpr int kBattles = 600;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState world = TestWorld();
        for (int side : {c.attacker, c.target}) {
            world.countries[static_cast<std::size_t>(side)].SetSoldiers(20000);
            world.countries[static_cast<std::size_t>(side)].SetTraining(50);
        }
        int taken = 0, wipedOut = 0;
        for (int i = 0; i < kBattles; ++i) {
            GameState copy = world;
            EventSink events;
            foresight::SilentHost presenter;
            copy.clock.FixFrom(1000003LL * i + 17); // the player's battle seeds from the clock
            copy.random.Seed(static_cast<std::uint32_t>(1000003 * i + 17));
            const bool won = c.kind == BattleKind::Player
                                 ? ResolvePlayerBattle(copy, events, c.attacker, c.target, presenter, copy.commandRandom)
                                 : ResolveComputerBattle(copy, events, c.attacker, c.target);
            taken += won;
            wipedOut += !won && copy.countries[static_cast<std::size_t>(c.attacker)].GetSoldiers() == 0;
        }
        const BattleOdds odds = OddsOfBattle(world, c.attacker, c.target, c.kind);
        EXPECT_NEAR(odds.TakenShare(), static_cast<double>(taken) / kBattles, 0.06);
        EXPECT_NEAR(odds.WipedOutShare(), static_cast<double>(wipedOut) / kBattles, 0.06);
        EXPECT_NEAR(odds.BeatenOffShare(), static_cast<double>(kBattles - taken - wipedOut) / kBattles, 0.06);
    }
}

// The advisor ranks by what its trials show, in worlds whose answer is known. Each
// ranking is the same on 1, 2 and 3 threads, when the system refuses all but one of
// the threads asked for, and while the world's clock is fed a record's readings (the
// trials never take them).
TEST(AdvisorTest, RanksByWhatItsTrialsShow)
{
    struct Case {
        const char* name;
        int horizon;
        int rollouts;
        void (*prepare)(GameState&);
        void (*check)(const std::vector<foresight::AdvisedCommand>&, const GameState&);
    };
    const Case cases[] = {
        // A strong, trained army beside a neighbour with no soldiers, its other
        // neighbour its own: the war on the empty one wins a country and nothing is lost.
        {"the war its trials favour is first", 1, 12,
         [](GameState& w) {
             w.countries[0].SetTraining(Country::kMaxTraining);
             w.countries[1].SetSoldiers(0);
             w.countries[7].SetRuler(w.playerRuler);
             w.countries[8].SetSoldiers(200000);
         },
         [](const std::vector<foresight::AdvisedCommand>& r, const GameState&) { EXPECT_EQ(PlaceOf(r, 'W', 1), 0); }},
        // Every country but an empty one is his: the war on it ends the game at once, and
        // the months it no longer plays count as all of China held.
        {"a victory counts for the months after it", 6, 4,
         [](GameState& w) {
             for (Country& c : w.countries)
                 c.SetRuler(w.playerRuler);
             w.countries[1].SetRuler(2);
             w.countries[1].SetSoldiers(0);
             w.countries[0].SetTraining(Country::kMaxTraining);
         },
         [](const std::vector<foresight::AdvisedCommand>& r, const GameState&) {
             ASSERT_EQ(PlaceOf(r, 'W', 1), 0);
             EXPECT_EQ(r.front().MeanHeldOverMonths(), kCountryCount);
         }},
        // His two neighbours are weak countries of 豫州's that cannot act (no funds),
        // behind them great armies of 豫州's as strong as his. A computer attacks only
        // a neighbour weaker than half its army: his country whole is safe, but either
        // war leaves half his army in each country, and the great armies take what it
        // won and come on. A war wins now and loses later; rest loses nothing.
        {"a war that wins now and loses later ranks below rest", 24, 24,
         [](GameState& w) {
             Country& home = w.countries[0];
             home.SetTraining(Country::kMaxTraining);
             home.SetSoldiers(80000);
             home.SetProvisions(200000);
             for (int c : {1, 7}) {
                 w.countries[static_cast<std::size_t>(c)].SetRuler(2);
                 w.countries[static_cast<std::size_t>(c)].SetSoldiers(1000);
                 w.countries[static_cast<std::size_t>(c)].SetFunds(0);
             }
             for (int c : {2, 3, 8, 9}) {
                 Country& great = w.countries[static_cast<std::size_t>(c)];
                 great.SetRuler(2);
                 great.SetSoldiers(80000);
                 great.SetTraining(Country::kMaxTraining);
                 great.SetProvisions(200000);
                 great.SetFunds(100000);
             }
         },
         [](const std::vector<foresight::AdvisedCommand>& r, const GameState&) {
             const int rest = PlaceOf(r, 'R');
             ASSERT_GE(rest, 0);
             for (int target : {1, 7})
                 EXPECT_GT(PlaceOf(r, 'W', target), rest) << target;
             EXPECT_EQ(r[static_cast<std::size_t>(rest)].lost, 0);
         }},
        // Nothing can reach him within the month: every command keeps his one country
        // and the scores tie, but for the wars on the weak countries without a ruler.
        // Equal scores go by the army at the horizon (training adds to it), then by the
        // candidates' order (開墾, 商業 and rest leave the same army).
        {"equal scores go by the army, then the list", 1, 16,
         [](GameState& w) {
             for (int c : {1, 7})
                 w.countries[static_cast<std::size_t>(c)].SetRuler(0);
         },
         [](const std::vector<foresight::AdvisedCommand>& r, const GameState& w) {
             EXPECT_LT(PlaceOf(r, 'T'), PlaceOf(r, 'L'));
             EXPECT_LT(PlaceOf(r, 'L'), PlaceOf(r, 'C'));
             EXPECT_LT(PlaceOf(r, 'C'), PlaceOf(r, 'R'));
             EXPECT_TRUE(foresight::SameScore(r[static_cast<std::size_t>(PlaceOf(r, 'T'))],
                                              r[static_cast<std::size_t>(PlaceOf(r, 'R'))]));
             // Every trial draws its own: the training gained differs from trial to trial.
             foresight::AdviceOptions one;
             one.rollouts = 1;
             one.horizon = 1;
             const auto single = foresight::Advisor(w, one).Run();
             EXPECT_NE(r[static_cast<std::size_t>(PlaceOf(r, 'T'))].strengthSum,
                       16 * single[static_cast<std::size_t>(PlaceOf(single, 'T'))].strengthSum);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState world = TestWorld();
        world.turnCountry = 0;
        c.prepare(world);
        foresight::AdviceOptions options;
        options.rollouts = c.rollouts;
        options.horizon = c.horizon;
        options.roundSize = 5;
        options.policy.attackOdds = 2; // the player's later turns make no war: the first command decides
        options.threads = 1;
        const std::vector<foresight::AdvisedCommand> ranking = foresight::Advisor(world, options).Run();
        ASSERT_FALSE(ranking.empty());
        EXPECT_EQ(ranking.front().trials, c.rollouts);
        c.check(ranking, world);
        for (int threads : {2, 3}) {
            options.threads = threads;
            EXPECT_EQ(Ranked(foresight::Advisor(world, options).Run()), Ranked(ranking)) << threads << " threads";
        }
        options.startThread = RefusingAfterOne();
        EXPECT_EQ(Ranked(foresight::Advisor(world, options).Run()), Ranked(ranking)) << "threads refused";
        options.startThread = {};
        GameState fed = world;
        fed.clock.Feed(std::make_shared<const std::vector<std::int64_t>>(4000, 424242), 0);
        EXPECT_EQ(Ranked(foresight::Advisor(fed, options).Run()), Ranked(ranking)) << "a fed clock";
    }
}

// A lost country weighs most for a realm of two, less for a realm of one (whose loss the
// months already count in full), and ever less the greater the realm asking.
TEST(AdvisorTest, ThePenaltyForALostCountryShrinksWithTheRealmAsking)
{
    const struct {
        int countries;
        int penaltyPercent;
    } realms[] = {{1, 300}, {2, 400}, {3, 267}, {9, 89}};
    for (const auto& realm : realms) {
        SCOPED_TRACE(realm.countries);
        GameState world = TestWorld();
        world.turnCountry = 0;
        for (int c = 0; c < kCountryCount; ++c)
            if (world.countries[static_cast<std::size_t>(c)].GetRuler() == world.playerRuler)
                world.countries[static_cast<std::size_t>(c)].SetRuler(2);
        for (int c = 0; c < realm.countries; ++c)
            world.countries[static_cast<std::size_t>(c)].SetRuler(world.playerRuler);
        const foresight::Advisor advisor(world, {});
        EXPECT_EQ(advisor.RiskPenalty(), realm.penaltyPercent / 100.0);
        const std::vector<foresight::AdvisedCommand> candidates = advisor.Snapshot();
        ASSERT_FALSE(candidates.empty());
        EXPECT_EQ(candidates.front().penaltyPercent, realm.penaltyPercent);
    }
}

// In the advisor's trials every turn draws afresh from the trial's seed as it begins:
// two copies that drew differently before draw alike at the same turn, and the second
// telling of a turn's beginning (before a battle between computers) does not start its
// draws over.
TEST(TrialTest, EveryTurnDrawsAfreshOnceAsItBegins)
{
    GameState a = TestWorld(), b = TestWorld();
    a.turnCountry = b.turnCountry = 3;
    b.random.Draw();
    foresight::TurnSeededHost hostA(42), hostB(42);
    hostA.world = &a;
    hostB.world = &b;
    hostA.TurnBegin(3);
    hostB.TurnBegin(3);
    const auto first = a.random.Draw();
    EXPECT_EQ(b.random.Draw(), first);
    hostA.TurnBegin(3);
    EXPECT_EQ(a.random.Draw(), b.random.Draw());
    a.turnCountry = 4;
    b.turnCountry = 5;
    hostA.TurnBegin(4);
    hostB.TurnBegin(5);
    EXPECT_NE(a.random.Draw(), b.random.Draw());
}

// 達人: a computer ruler's order comes from copies of its own. Choosing leaves the
// game's generators and clock as they were; the turn it plays is the order carried out
// on the world as it stood; the same order on any number of threads; each trial draws
// its own (the trials of an uncertain war do not all end alike). Given a neighbour
// without soldiers, it takes it.
TEST(LookAheadTest, AMasterChoosesOnCopiesOfItsOwn)
{
    struct Case {
        const char* name;
        int country;
        void (*prepare)(GameState&);
        int expectedWar; // -1: any order
    };
    const Case cases[] = {
        {"益州 in the test world, beside an army it may or may not beat", 8,
         [](GameState& w) {
             w.countries[9].SetSoldiers(w.countries[8].GetSoldiers() / 2);
             w.countries[9].SetTraining(w.countries[8].GetTraining());
         },
         -1},
        {"a neighbour without soldiers", 8,
         [](GameState& w) {
             w.countries[9].SetSoldiers(0);
             w.countries[8].SetSoldiers(60000); // strong enough to keep what it takes
             w.countries[8].SetTraining(Country::kMaxTraining);
             w.countries[8].SetProvisions(200000);
         },
         9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GameState world = TestWorld();
        world.difficulty = Difficulty::Master;
        world.turnCountry = c.country;
        world.clock.FixFrom(1700000000);
        c.prepare(world);
        foresight::LookAheadOptions options;
        options.rollouts = 16;
        options.horizon = 3;
        options.threads = 1;
        const foresight::LookAheadRuler ruler(options);
        const std::uint32_t random = world.random.State(), commandRandom = world.commandRandom.State();
        const ComputerOrder order = ruler.Choose(world, c.country);
        EXPECT_EQ(world.random.State(), random);
        EXPECT_EQ(world.commandRandom.State(), commandRandom);
        GameState clockAfter = world;
        EXPECT_EQ(clockAfter.clock.Read(), 1700000000);
        // A trial's copy shares no draw with the game: its generators and clock are its own.
        for (int trial : {0, 1}) {
            GameState copy = world;
            foresight::SeedCopy(copy, foresight::TrialSeed(world, trial));
            EXPECT_NE(copy.random.State(), world.random.State());
            EXPECT_NE(copy.commandRandom.State(), world.commandRandom.State());
            EXPECT_NE(copy.clock.Read(), 1700000000);
        }
        const std::vector<ComputerOrder> choices = ComputerChoices(world, c.country);
        EXPECT_NE(std::find(choices.begin(), choices.end(), order), choices.end());
        if (c.expectedWar >= 0) {
            EXPECT_EQ(order, ComputerOrder::War(c.expectedWar));
        } else {
            const std::vector<foresight::WeighedOrder> weighed = ruler.Weigh(world, c.country);
            const auto war = std::find_if(weighed.begin(), weighed.end(),
                                          [](const foresight::WeighedOrder& w) { return w.order == ComputerOrder::War(9); });
            ASSERT_NE(war, weighed.end());
            EXPECT_TRUE(war->heldSum % war->trials != 0 || (war->lost > 0 && war->lost < war->trials))
                << "every trial of the war ended alike";
        }
        options.threads = 2;
        EXPECT_EQ(foresight::LookAheadRuler(options).Choose(world, c.country), order);

        GameState played = world, carried = world;
        EventSink events;
        foresight::SilentHost host, plain;
        host.planner = &ruler;
        RunComputerTurn(played, events, host, c.country);
        CarryOutComputerOrder(carried, events, plain, c.country, order);
        EXPECT_EQ(CaptureWorld(played, c.country), CaptureWorld(carried, c.country));
        EXPECT_EQ(played.random.State(), carried.random.State());
    }
}
