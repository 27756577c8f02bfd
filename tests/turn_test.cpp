// SPDX-License-Identifier: GPL-3.0-or-later
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>

#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/country_file.h"
#include "platform/text_file.h"
#include "rules/turn.h"
#include "rules_support.h"
#include "test_world.h"

using platform::Random;

class TurnTest : public RulesTest {
protected:
    void SetUp() override
    {
        RulesTest::SetUp();
        BuildRulerTable(world);
        SeatPlayer(world, 1);
        world.year = 190;
        world.month = 1;
    }
    RecordingHost host{world};
};

TEST_F(TurnTest, CalendarMovesWhenTheCursorWraps)
{
    world.turnCountry = 5;
    world.month = 8;
    AdvanceTurn(world, events);
    EXPECT_EQ(world.turnCountry, 6);
    EXPECT_EQ(world.month, 8);

    // Month 8 to 9: one harvest for every ruled country, none for the unruled.
    for (int i : {0, 1}) {
        C(i).SetCultivation(100);
        C(i).SetPopulation(40000);
        C(i).SetProvisions(10);
    }
    C(0).SetRuler(3);
    world.turnCountry = 13;
    AdvanceTurn(world, events);
    EXPECT_EQ(world.turnCountry, 0);
    EXPECT_EQ(world.month, 9);
    EXPECT_EQ(C(0).GetProvisions(), 10 + 100 * 40000 / 2000);
    EXPECT_EQ(C(1).GetProvisions(), 10);

    // December to January: taxes on the population before it grows, then upkeep, then
    // growth, country by country.
    for (int i : {0, 1}) {
        C(i).SetPopulation(10000);
        C(i).SetCommerce(50);
        C(i).SetCultivation(20);
        C(i).SetFunds(0);
        C(i).SetSoldiers(1000);
        C(i).SetProvisions(50);
    }
    world.month = 12;
    world.turnCountry = 13;
    world.random.Seed(99);
    AdvanceTurn(world, events);
    EXPECT_EQ(world.turnCountry, 0);
    EXPECT_EQ(world.month, 1);
    EXPECT_EQ(world.year, 191);
    Random probe(99);
    EXPECT_EQ(C(0).GetFunds(), 50 * 10000 / 5000);
    EXPECT_EQ(C(0).GetProvisions(), 0);
    EXPECT_EQ(C(0).GetSoldiers(), 500);
    EXPECT_EQ(C(0).GetPopulation(), 10000 + (probe.Draw() % 3 + 10) * 50 * 20);
    EXPECT_EQ(C(1).GetFunds(), 0);
    EXPECT_EQ(C(1).GetSoldiers(), 1000);
    EXPECT_EQ(C(1).GetPopulation(), 10000 + (probe.Draw() % 3 + 10) * 50 * 20);
}

// What the panel foretells of the harvest and the taxes comes when and as foretold (the
// harvest's amount at today's population, which grows at the new year): from any
// month, the calendar is turned month by month until each has come.
TEST_F(TurnTest, TheNextHarvestAndTaxesComeAsForetold)
{
    for (const std::int32_t month : {1, 8, 9, 12}) {
        SCOPED_TRACE(month);
        world.year = 190;
        world.month = month;
        C(0).SetRuler(1);
        C(0).SetPopulation(50000);
        C(0).SetCultivation(70);
        C(0).SetCommerce(60);
        C(0).SetProvisions(100000);
        const SeasonalIncome harvest = NextHarvest(world, 0);
        const SeasonalIncome taxes = NextTaxes(world, 0);
        bool harvested = false, taxed = false;
        for (int turned = 1; turned <= 12; ++turned) {
            const std::int32_t provisions = C(0).GetProvisions(), funds = C(0).GetFunds();
            world.turnCountry = 13;
            AdvanceTurn(world, events);
            if (C(0).GetFunds() != funds) {
                EXPECT_FALSE(taxed);
                taxed = true;
                EXPECT_EQ(turned, taxes.monthsAway);
                EXPECT_EQ(world.year, taxes.year);
                EXPECT_EQ(world.month, taxes.month);
                EXPECT_EQ(C(0).GetFunds() - funds, taxes.amount);
            } else if (C(0).GetProvisions() > provisions) {
                EXPECT_FALSE(harvested);
                harvested = true;
                EXPECT_EQ(turned, harvest.monthsAway);
                EXPECT_EQ(world.year, harvest.year);
                EXPECT_EQ(world.month, harvest.month);
                if (harvest.monthsAway < taxes.monthsAway) { // else the population has grown since
                    EXPECT_EQ(C(0).GetProvisions() - provisions, harvest.amount);
                }
            }
        }
        EXPECT_TRUE(harvested && taxed);
    }
}

TEST_F(TurnTest, TheYearStopsAtTheLargestFigure)
{
    // A file the loader accepts: December of the last year a figure holds (the junk
    // after the digits is read like atoi).
    std::vector<std::string> lines = FormatCountryFile(MakeTestWorld());
    lines[2] = "2147483647\xFF\xFF\xFF";
    lines[3] = "12";
    ASSERT_EQ(LoadCountryText(world, platform::JoinLines(lines), "last-year.txt").status, LoadStatus::Loaded);
    ASSERT_EQ(world.year, std::numeric_limits<std::int32_t>::max());
    for (int turn = 0; turn < kCountryCount + 1; ++turn)
        AdvanceTurn(world, events);
    EXPECT_EQ(world.month, 1);
    EXPECT_EQ(world.year, std::numeric_limits<std::int32_t>::max());
}

namespace {

// Runs step in a child process one machine instruction at a time and reads the world's
// month after each instruction: every value a repaint or a save on another thread could
// read. Empty, with the reason, when the system does not let a process be traced.
std::set<std::int32_t> MonthsSeenStepByStep(const GameState& world, const std::function<void()>& step,
                                            std::string& reason)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::raise(SIGSTOP);
        step();
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    std::set<std::int32_t> seen;
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) {
        reason = "cannot start a traced process";
        return seen;
    }
    for (;;) {
        errno = 0;
        const long word = ::ptrace(PTRACE_PEEKDATA, child, &world.month, nullptr);
        if (errno != 0) {
            reason = std::string("cannot read the traced process: ") + std::strerror(errno);
            break;
        }
        seen.insert(static_cast<std::int32_t>(word & 0xFFFFFFFF));
        if (::ptrace(PTRACE_SINGLESTEP, child, nullptr, nullptr) != 0) {
            reason = std::string("cannot step the traced process: ") + std::strerror(errno);
            break;
        }
        if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status) || WSTOPSIG(status) != SIGTRAP)
            break; // the stop after step, or the end
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    if (!reason.empty())
        seen.clear();
    return seen;
}

} // namespace

TEST_F(TurnTest, NoReaderEverSeesAThirteenthMonth)
{
    // A repaint or a save reads the month at whatever instant of the worker's step it
    // comes, so no value outside the twelve months may be stored, not even for an
    // instant at the turn of the year.
    world.turnCountry = kCountryCount - 1;
    world.month = 12;
    std::string reason;
    const std::set<std::int32_t> seen = MonthsSeenStepByStep(world, [this] { AdvanceTurn(world, events); }, reason);
    if (!reason.empty())
        GTEST_SKIP() << reason;
    EXPECT_EQ(seen, (std::set<std::int32_t>{12, 1}));

    // The harvest month is stored once, as it is.
    world.month = 8;
    EXPECT_EQ(MonthsSeenStepByStep(world, [this] { AdvanceTurn(world, events); }, reason), (std::set<std::int32_t>{8, 9}));
}

TEST_F(TurnTest, OnlyEveryCountryMakesUnification)
{
    for (int i = 0; i < kCountryCount; ++i)
        C(i).SetRuler(i == 13 ? 0 : 1);
    EXPECT_TRUE(PlayerHasCountry(world));
    EXPECT_FALSE(IsUnified(world)) << "an unruled country stands in the way";
    C(13).SetRuler(1);
    EXPECT_TRUE(IsUnified(world));
}

TEST_F(TurnTest, WorkerRunsTheComputerCountriesUpToThePlayers)
{
    Ready(2, 2, 500); // small armies only conscript
    Ready(3, 3, 500);
    Ready(5, 1);
    Ready(9, 2, 500);
    host.battleAttacker = 4;
    EXPECT_EQ(TurnWorkerProc(world, events, host), 0);
    EXPECT_EQ(host.Countries(HostCall::TurnBegin), (std::vector<int>{2, 3}));
    EXPECT_EQ(host.Countries(HostCall::PlayerTurn), std::vector<int>{5});
    EXPECT_EQ(host.calls.back().kind, HostCall::PlayerTurn);
    EXPECT_EQ(host.battleAttacker, -1);
    EXPECT_GT(C(3).GetSoldiers(), 500);

    // From the player's country the rest of the month and the next month's start, with
    // the calendar moving in between.
    host.calls.clear();
    EXPECT_EQ(TurnWorkerProc(world, events, host), 0);
    EXPECT_EQ(host.Countries(HostCall::TurnBegin), (std::vector<int>{9, 2, 3}));
    EXPECT_EQ(host.Countries(HostCall::PlayerTurn), std::vector<int>{5});
    EXPECT_EQ(world.month, 2);

    // The player's country right after the cursor: his turn at once.
    host.calls.clear();
    world.turnCountry = 4;
    TurnWorkerProc(world, events, host);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].kind, HostCall::PlayerTurn);
}

TEST_F(TurnTest, WorkerWithoutAPlayersCountryLeavesTheCursor)
{
    Ready(2, 2, 500);
    world.turnCountry = 7;
    TurnWorkerProc(world, events, host);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].kind, HostCall::PlayerTurn);
    EXPECT_EQ(host.calls[0].country, 7);
    EXPECT_EQ(world.turnCountry, 7);
    EXPECT_EQ(C(2).GetSoldiers(), 500);
}

TEST_F(TurnTest, PlayersLastCountryFallingEndsTheMonthThere)
{
    C(5).SetName(platform::Utf8ToSjis("徐州"));
    Ready(4, 2).ParseNeighbours("5");
    Ready(5, 1, 0); // no soldiers: falls without an exchange
    Ready(6, 3, 500);
    // The worker's first draw is country 4's decision: consider war.
    platform::FixClock(SeedWhoseDraws({{10, 0}}));
    TurnWorkerProc(world, events, host);
    EXPECT_EQ(host.Countries(HostCall::TurnBegin), std::vector<int>{4});
    EXPECT_EQ(host.Messages(), (std::vector<std::string>{"徐州 が攻撃されています", "徐州 が陥落しました"}));
    EXPECT_EQ(host.Countries(HostCall::PlayerTurn), std::vector<int>{4});
    EXPECT_EQ(C(5).GetRuler(), 2);
    EXPECT_EQ(C(6).GetSoldiers(), 500) << "country 6 does not act";
    EXPECT_FALSE(PlayerHasCountry(world));
}

namespace {

// A host whose calls are handled on another thread, as the view's are: the worker
// hands each call over and waits for the reply (or for a stop).
class ThreadedHost : public TurnHost {
public:
    explicit ThreadedHost(const GameState& world) : m_world(world) {}

    struct Call {
        HostCall::Kind kind = HostCall::PlayerTurn;
        int country = -1;
        BattleScript* script = nullptr;
    };

    void TurnBegin(int country) override { Hand({HostCall::TurnBegin, country}); }
    void PlayerTurn(int country) override { Hand({HostCall::PlayerTurn, country}); }
    void ShowMessage(const platform::Message&, int) override { Hand({HostCall::Message}); }
    bool Present(BattleScript& script) override { return Hand({HostCall::Battle, -1, &script}); }

    // Waits for the worker's next call; false when none came (the worker has ended).
    // While it waits, it reads the world as a repaint would.
    bool Next(Call& call, const TurnWorker& worker)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            {
                std::lock_guard lock(m_mutex);
                if (m_pending) {
                    call = m_call;
                    return true;
                }
            }
            if (!worker.Running() || std::chrono::steady_clock::now() > deadline)
                return false;
            for (const Country& c : m_world.countries)
                m_readSum += c.GetSoldiers() + c.GetRuler();
            std::this_thread::yield();
        }
    }
    int Calls()
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    void Reply(bool result = true)
    {
        std::lock_guard lock(m_mutex);
        m_pending = false;
        m_result = result;
        m_replied = true;
        m_changed.notify_all();
    }

private:
    bool Hand(const Call& call)
    {
        std::unique_lock lock(m_mutex);
        ++m_calls;
        m_call = call;
        m_pending = true;
        m_replied = false;
        m_changed.wait(lock, [&] { return m_replied || StopRequested(); });
        m_pending = false;
        return m_replied && m_result;
    }
    void OnStopRequested() override
    {
        std::lock_guard lock(m_mutex);
        m_changed.notify_all();
    }

    const GameState& m_world;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    Call m_call;
    bool m_pending = false;
    bool m_replied = false;
    bool m_result = false;
    int m_calls = 0;
    std::int64_t m_readSum = 0;
};

} // namespace

class WorkerThreadTest : public TurnTest {
protected:
    void SetUp() override
    {
        TurnTest::SetUp();
        ApplyWorld(world, MakeTestWorld());
        BuildRulerTable(world);
        platform::FixClock(1000);
    }
    ThreadedHost host{world};
    TurnWorker worker{world, events};
};

TEST_F(WorkerThreadTest, MonthsOfPlayWithTheHostOnAnotherThread)
{
    int months = 0, battles = 0, turnBegins = 0;
    ThreadedHost::Call call;
    while (months < 36 && PlayerHasCountry(world)) {
        worker.Start(host);
        while (host.Next(call, worker)) {
            if (call.kind == HostCall::TurnBegin) {
                world.turnCountry = call.country;
                ++turnBegins;
            } else if (call.kind == HostCall::Battle) {
                call.script->Start(); // stepped here, drawing from the worker's generator
                call.script->Finish();
                ++battles;
            }
            host.Reply();
            if (call.kind == HostCall::PlayerTurn)
                break;
        }
        worker.Join();
        EXPECT_EQ(call.kind, HostCall::PlayerTurn);
        ++months;
    }
    EXPECT_GT(turnBegins, 100) << months << " " << battles;
    EXPECT_GT(battles, 0);
}

TEST_F(WorkerThreadTest, StopEndsTheWorkerWithoutTouchingTheWorld)
{
    // Blocked in the first call (a computer country's turn), or in the battle window of
    // an attack on the player.
    for (HostCall::Kind blockedIn : {HostCall::TurnBegin, HostCall::Battle}) {
        SCOPED_TRACE(blockedIn == HostCall::TurnBegin ? "turn begin" : "battle");
        C(0).SetSoldiers(200); // a tempting target
        C(0).SetTraining(1);
        host.ClearStop();
        ThreadedHost::Call call;
        for (int months = 0; months < 240; ++months) {
            worker.Start(host);
            while (host.Next(call, worker) && call.kind != blockedIn) {
                if (call.kind == HostCall::TurnBegin)
                    world.turnCountry = call.country;
                host.Reply();
            }
            if (call.kind == blockedIn)
                break;
        }
        ASSERT_EQ(call.kind, blockedIn);
        const WorldRecord before = CaptureWorld(world, world.turnCountry);
        const int calls = host.Calls();
        worker.RequestStop();
        worker.Join();
        EXPECT_EQ(host.Calls(), calls) << "no further call, PlayerTurn included";
        EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
    }
}

TEST_F(TurnTest, ANewGameStartsBeforeCountryZeroWithTheChosenRuler)
{
    // The file names ruler 5 and a cursor of 8, in month 3; ruler 3 (countries 3 and 4)
    // is chosen. Only small armies, so that nobody attacks.
    WorldRecord record = MakeTestWorld();
    record.playerRuler = 5;
    record.turnCountry = 8;
    record.month = 3;
    for (CountryRecord& c : record.countries)
        c.soldiers = 500;
    ApplyWorld(world, record);
    BeginNewGame(world, events, 3);
    EXPECT_EQ(world.playerRuler, 3);
    EXPECT_EQ(world.turnCountry, -1);
    EXPECT_EQ(world.year, 190);
    EXPECT_EQ(world.month, 3);
    TurnWorkerProc(world, events, host);
    EXPECT_EQ(host.Countries(HostCall::TurnBegin), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(host.Countries(HostCall::PlayerTurn), std::vector<int>{3});
    EXPECT_EQ(world.month, 3) << "the first month played is the file's";

    // A loaded game keeps the file's ruler and cursor.
    host.calls.clear();
    ApplyWorld(world, record);
    BeginLoadedGame(world, events);
    EXPECT_EQ(world.playerRuler, 5);
    EXPECT_EQ(world.turnCountry, 8);
    TurnWorkerProc(world, events, host);
    EXPECT_EQ(host.Countries(HostCall::TurnBegin), (std::vector<int>{9, 10, 11, 0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(host.Countries(HostCall::PlayerTurn), std::vector<int>{7});
    EXPECT_EQ(world.month, 4);
}

namespace {
// Asks the worker to stop at the first computer country's turn.
class StopAtFirstTurnHost : public RecordingHost {
public:
    using RecordingHost::RecordingHost;
    void TurnBegin(int country) override
    {
        RecordingHost::TurnBegin(country);
        RequestStop();
    }
};
} // namespace

TEST_F(TurnTest, AnUnruledCountryNeverGetsATurnEvenWhenRulerZeroPlays)
{
    // A file may name ruler 0 as the player's. The unruled countries are then his, but
    // the worker skips them before it looks for the player's: the computer plays on.
    ApplyWorld(world, MakeTestWorld());
    for (int i = 0; i < kCountryCount; ++i)
        C(i).SetRuler(i == 3 ? 2 : 0);
    SeatPlayer(world, 0);
    world.turnCountry = -1;
    StopAtFirstTurnHost stopping{world};
    TurnWorkerProc(world, events, stopping);
    EXPECT_EQ(stopping.Countries(HostCall::TurnBegin), std::vector<int>{3});
    EXPECT_EQ(stopping.Countries(HostCall::PlayerTurn), std::vector<int>{});
}
