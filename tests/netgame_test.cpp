// SPDX-License-Identifier: GPL-3.0-or-later
// The host's game against a player who sends what he may not: a command for another
// seat, commands out of his turn, a number already taken. Each is denied and the game
// goes on to its end, a fair player's game the same as the host's.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "cli/headless.h"
#include "model/country_file.h"
#include "rules/commands.h"
#include "netgame/desktop_host.h"
#include "netgame/network_headless.h"
#include "netgame/network_host.h"
#include "netgame/network_player.h"

namespace {

// Seated on seat 8, he rests whenever the record grows, twice with each number, and
// gives a command for seat 3 as well; a rest out of his turn he gives again at once.
struct Rude : transport::JoinListener {
    transport::JoinClient client{*this};
    std::uint64_t sequence = 0;
    std::map<net::Denial, int> denied;
    bool closed = false;
    void Welcomed(const net::Welcome&) override {}
    void Refused(const net::Refused&) override {}
    void Received(const net::Frame& frame) override
    {
        if (const auto* d = std::get_if<net::Denied>(&frame)) {
            // Out of turn, he tries again at once (a few thousand times at most).
            if (d->reason == net::Denial::Turn && ++denied[d->reason] < 3000)
                client.Send(net::Command{8, ++sequence, command::Rest{}});
            else if (d->reason != net::Denial::Turn)
                ++denied[d->reason];
            return;
        }
        if (!std::holds_alternative<net::RecordPart>(frame))
            return;
        ++sequence;
        client.Send(net::Command{8, sequence, command::Rest{}});
        client.Send(net::Command{8, sequence, command::Rest{}});
        client.Send(net::Command{3, ++sequence, command::Rest{}});
    }
    void Closed(const std::string&) override { closed = true; }
};

TEST(NetworkHost, WhatAPlayerMayNotSendIsDeniedAndTheGameGoesOn)
{
    HeadlessOptions options;
    std::string error;
    ASSERT_TRUE(ParseHeadlessOptions({"--data", VELCOR_SOURCE_DIR "/data", "--scenario", "1", "--ruler", "1",
                                      "--seat", "3=remote", "--seat", "8=remote", "--months", "24", "--clock", "1000",
                                      "--host", "0", "--record", "unused"},
                                     options, error))
        << error;
    options.recordFile.clear();
    HeadlessGame host(nullptr, true);
    std::vector<RulerId> offered;
    std::ostringstream log;
    ASSERT_TRUE(SetUpHeadlessGame(host.Session(), options, offered, log)) << log.str();
    netgame::NetworkHost network(host.Conductor(), log);
    transport::HostOptions listen;
    listen.data = netgame::DataHash(options.dataDir);
    std::string why;
    ASSERT_TRUE(network.Open(listen, {3, 8}, {}, &why)) << why;

    // The fair player gives the advisor's command at each of his turns, then rests.
    HeadlessGame fairGame;
    foresight::AdviceOptions advice;
    advice.rollouts = 2;
    advice.horizon = 1;
    netgame::NetworkPlayer fair(fairGame.Conductor(), network.Invitations()[0], listen.data,
                                [&](const GameState& world) { return foresight::AdvisedCommandFor(world, advice); },
                                log);
    fair.Start();
    Rude rude;
    rude.client.Join(network.Invitations()[1], listen.data);
    network.WaitForPlayers();
    options.seatCommand = [&](const GameState& world, RulerId ruler, const foresight::AdviceOptions&) {
        if (world.seats[static_cast<std::size_t>(ruler)] == Seat::Remote())
            network.WaitForRest(ruler);
        return std::optional<PlayerCommand>();
    };
    options.atPlayerTurn = [&] {
        network.AtStop();
        return true;
    };
    const HeadlessOutcome outcome = PlayResting(host, options);
    network.End();
    EXPECT_TRUE(fair.Over() && rude.closed);
    EXPECT_GE(outcome.monthsRun, 24);
    EXPECT_GT(rude.denied[net::Denial::Seat], 0);
    EXPECT_GT(rude.denied[net::Denial::Turn], 0);
    EXPECT_GT(rude.denied[net::Denial::Replayed], 0);
    // The fair player's turns were his own: none of his commands came too late.
    EXPECT_EQ(log.str().find("did not take"), std::string::npos) << log.str();
    EXPECT_EQ(netgame::WorldCrc(fairGame.GetWorld()), netgame::WorldCrc(host.GetWorld()));
    EXPECT_EQ(fairGame.Conductor().FollowedSteps(), host.Conductor().Recorder()->Record().steps.size());
}

// The windows' host: its game driven by the controller on the event loop, a remote
// seat's turn waiting for his rest without holding the loop up; the player's game,
// following the record, comes to the host's world at each of his turns.
TEST(DesktopHost, AJoinedPlayerFollowsTheControllersGame)
{
    GameController game;
    std::ostringstream log;
    netgame::DesktopHost host(game, log);
    transport::HostOptions listen;
    listen.data = netgame::DataHash(VELCOR_SOURCE_DIR "/data");
    std::string why;
    ASSERT_TRUE(host.Open(listen, {1}, &why)) << why;

    // He joins before the game begins and is sent its start when it does. At each of his
    // turns the host waits for him, its world his.
    HeadlessGame playerGame;
    foresight::AdviceOptions advice;
    advice.rollouts = 2;
    advice.horizon = 1;
    int turns = 0;
    int same = 0;
    int told = 0; // the host's status says the turn is played at another machine
    int wentBack = 0;
    netgame::NetworkPlayer player(playerGame.Conductor(), host.Host().Invitations()[0], listen.data,
                                  [&](const GameState& world) {
                                      ++turns;
                                      same += host.WaitingFor() == 1 &&
                                              netgame::WorldCrc(world) == netgame::WorldCrc(game.World());
                                      told += game.StatusWords().Text() !=
                                              TurnStatusWords(game.World(), game.World().turnCountry).Text();
                                      if (turns == 6) {
                                          QString refused;
                                          wentBack += game.GoBackOneTurn(&refused);
                                      }
                                      return foresight::AdvisedCommandFor(world, advice);
                                  },
                                  log);
    player.Start();
    QElapsedTimer waited;
    waited.start();
    const auto until = [&](const std::function<bool()>& done) {
        while (!done() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    };
    ASSERT_TRUE(until([&] { return host.AllJoined(); }));

    Seats seats{};
    seats[1] = Seat::Remote();
    QString refused;
    ASSERT_TRUE(game.NewGame(QString::fromStdString(CountryFilePath(VELCOR_SOURCE_DIR "/data", 1)), seats, 1, &refused))
        << refused.toStdString();
    EXPECT_TRUE(until([&] { return turns >= 12; })) << log.str() << player.Failure();
    EXPECT_EQ(same, turns);
    EXPECT_EQ(told, turns);
    // Nobody goes back in a record the players share.
    EXPECT_TRUE(game.Turn().networked);
    EXPECT_EQ(wentBack, 0);
    EXPECT_EQ(log.str().find("differs"), std::string::npos) << log.str();
    game.Stop();
}

} // namespace
