// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the tests of the rules: a host that records the worker's calls on the
// calling thread, seeds that steer a run of draws, and the headless mode's entry point.
#pragma once

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/sjis.h"
#include "cli/headless.h"
#include "rules/turn.h"
#include "world_fixture.h"

struct HostCall {
    enum Kind { TurnBegin, PlayerTurn, Message, Battle };
    Kind kind;
    int country = -1; // TurnBegin, PlayerTurn; the target of a Battle
    std::string text; // Message
    int battleAttacker = -1;
    int battleTarget = -1;
};

// Handles each call at once, as the view would: stores the turn index, fights the
// battles to their end (or as fight says).
class RecordingHost : public TurnHost {
public:
    explicit RecordingHost(GameState&) {}

    std::vector<HostCall> calls;
    std::function<bool(BattleScript&)> fight = [](BattleScript& script) {
        script.Start();
        script.Finish();
        return true;
    };

    // The battle the map would mark, as the worker names it.
    int battleAttacker = -1;
    int battleTarget = -1;

    void TurnBegin(int country) override { Record(HostCall::TurnBegin, country); }
    void MarkBattle(int attacker, int target) override
    {
        battleAttacker = attacker;
        battleTarget = target;
    }
    void PlayerTurn(int country) override { Record(HostCall::PlayerTurn, country); }
    void ShowMessage(const platform::Message& words, int milliseconds) override
    {
        EXPECT_EQ(milliseconds, 1000);
        Record(HostCall::Message, -1, words.Text());
    }
    bool Present(BattleScript& script) override
    {
        Record(HostCall::Battle, script.m_nTarget);
        return fight(script);
    }

    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const HostCall& call : calls)
            if (call.kind == HostCall::Message)
                texts.push_back(call.text);
        return texts;
    }
    std::vector<int> Countries(HostCall::Kind kind) const
    {
        std::vector<int> countries;
        for (const HostCall& call : calls)
            if (call.kind == kind)
                countries.push_back(call.country);
        return countries;
    }

private:
    void Record(HostCall::Kind kind, int country, std::string text = {})
    {
        calls.push_back({kind, country, std::move(text), battleAttacker, battleTarget});
    }
};

// The first seed whose first draws, each modulo its n, give the values wanted:
// {{10, 0}, {2, 1}} is a 0 of rand() % 10 and then a 1 of rand() % 2.
inline std::uint32_t SeedWhoseDraws(const std::vector<std::pair<int, int>>& wanted)
{
    for (std::uint32_t seed = 1;; ++seed) {
        platform::Random r(seed);
        bool all = true;
        for (auto [n, value] : wanted)
            all = all && r.Draw() % n == value;
        if (all)
            return seed;
    }
}

// velcor --headless with these arguments: its exit status and its two streams.
struct HeadlessRun {
    int status;
    std::string out, err;
};

inline HeadlessRun Headless(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = HeadlessMain(args, out, err);
    return {status, out.str(), err.str()};
}

class RulesTest : public WorldTest {
protected:
    void TearDown() override
    {
        platform::UseRealClock();
        WorldTest::TearDown();
    }
    // Country i as a computer ruler's, with figures that pass every threshold.
    Country& Ready(int i, RulerId ruler, std::int32_t soldiers = 20000, std::int32_t training = 50)
    {
        Country& c = C(i);
        c.SetRuler(ruler);
        c.SetSoldiers(soldiers);
        c.SetTraining(training);
        c.SetProvisions(1000000);
        c.SetFunds(100000);
        c.SetPopulation(100000);
        return c;
    }
};
