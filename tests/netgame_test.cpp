// SPDX-License-Identifier: GPL-3.0-or-later
// The host's game against a player who sends what he may not: a command for another
// seat, commands out of his turn, a number already taken. Each is denied and the game
// goes on to its end, a fair player's game the same as the host's.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "cli/headless.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "rules/commands.h"
#include "rules/event_json.h"
#include "session/game_record.h"
#include "netgame/desktop_host.h"
#include "netgame/desktop_join.h"
#include "netgame/network_headless.h"
#include "netgame/network_host.h"
#include "netgame/network_player.h"
#include "web/web_game.h"

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

// Runs the event loop until done, a minute at most.
bool RunUntil(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The windows' host: its game driven by the controller on the event loop, a remote
// seat's turn waiting for his rest without holding the loop up; the player's game,
// following the record, comes to the host's world at each of his turns.
// A player in the lobby who says he is ready, or not, as soon as he is listed.
struct Gatherer : transport::JoinListener {
    explicit Gatherer(int seat, bool ready) : seat(seat), ready(ready) {}
    int seat;
    bool ready;
    transport::JoinClient client{*this};
    net::Lobby last;
    void Welcomed(const net::Welcome&) override {}
    void Refused(const net::Refused&) override {}
    void Received(const net::Frame& frame) override
    {
        const auto* lobby = std::get_if<net::Lobby>(&frame);
        if (!lobby)
            return;
        last = *lobby;
        for (const net::LobbySeat& s : lobby->seats)
            if (s.seat == seat && s.joined && s.ready != ready)
                client.Send(net::Ready{ready});
    }
    void Closed(const std::string&) override {}
};

// The headless host's lobby: the game begins as soon as every seat's player is ready;
// a player not ready, or a seat nobody holds, holds it up to --start-after, and a seat
// nobody holds then is the computer's.
TEST(NetworkLobby, TheGameBeginsWhenAllAreReadyOrAnywayWithTheAbsentSeatsTheComputers)
{
    struct Case {
        bool joinB, readyB, waits;
    };
    for (const Case c : {Case{true, true, false}, Case{true, false, true}, Case{false, false, true}}) {
        SCOPED_TRACE(testing::Message() << "B joins " << c.joinB << ", ready " << c.readyB);
        QTemporaryDir dir;
        HeadlessOptions options;
        std::string error;
        ASSERT_TRUE(ParseHeadlessOptions({"--data", VELCOR_SOURCE_DIR "/data", "--scenario", "1", "--ruler", "1",
                                          "--seat", "3=remote", "--seat", "8=remote", "--months", "1", "--host", "0", "--start-after",
                                          "1", "--record", (dir.path() + "/game.record").toStdString()},
                                         options, error))
            << error;
        std::ostringstream out, log;
        netgame::PrepareHeadless(options, out, log);
        const std::string data = netgame::DataHash(options.dataDir);
        Gatherer a(3, true), b(8, c.readyB);
        // The players join once the host has printed their invitations.
        std::function<void()> join = [&] {
            std::istringstream lines(out.str());
            std::map<int, net::Invitation> invited;
            for (std::string line; std::getline(lines, line);)
                if (const auto invitation = net::ParseInvitation(line))
                    invited[invitation->seat] = *invitation;
            if (invited.size() < 2)
                return QTimer::singleShot(10, join);
            a.client.Join(invited[3], data);
            if (c.joinB)
                b.client.Join(invited[8], data);
        };
        QTimer::singleShot(0, join);
        HeadlessGame game(nullptr, true);
        std::vector<RulerId> offered;
        QElapsedTimer waited;
        waited.start();
        ASSERT_TRUE(SetUpHeadlessGame(game.Session(), options, offered, log,
                                      [&](GameState&) { return options.gameSeated(game); }))
            << log.str();
        EXPECT_EQ(waited.elapsed() >= 1000, c.waits) << waited.elapsed();
        const Seats& seats = game.GetWorld().seats;
        EXPECT_EQ(seats[3], Seat::Remote());
        EXPECT_EQ(seats[8] == Seat::Remote(), c.joinB);
        // What the players were shown last: who is there and who is ready.
        const std::vector<net::LobbySeat> expected = {{3, true, true}, {8, c.joinB, c.readyB}};
        EXPECT_TRUE(RunUntil([&] { return a.last.seats == expected; }));
        options.gameDone();
    }
}

TEST(DesktopHost, AJoinedPlayerFollowsTheControllersGame)
{
    // One game at every run: on the real clock some games end, his ruler fallen, before
    // his twelfth turn.
    platform::FixClock(1000);
    GameController game;
    std::ostringstream log;
    netgame::DesktopHost host(game, log);
    transport::HostOptions listen;
    listen.data = netgame::DataHash(VELCOR_SOURCE_DIR "/data");
    std::string why;
    ASSERT_TRUE(host.Open(listen, {1}, &why)) << why;

    // He joins before the game begins and is sent its start when it does. At each of his
    // turns the host waits for him, its world his.
    HeadlessGame playerGame(nullptr, true);
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
    ASSERT_TRUE(RunUntil([&] { return host.AllJoined(); }));

    Seats seats{};
    seats[1] = Seat::Remote();
    QString refused;
    ASSERT_TRUE(game.NewGame(QString::fromStdString(CountryFilePath(VELCOR_SOURCE_DIR "/data", 1)), seats, 1, &refused))
        << refused.toStdString();
    EXPECT_TRUE(RunUntil([&] { return turns >= 12; })) << log.str() << player.Failure();
    EXPECT_EQ(same, turns);
    EXPECT_EQ(told, turns);
    // Nobody goes back in a record the players share.
    EXPECT_TRUE(game.Turn().networked);
    EXPECT_EQ(wentBack, 0);
    EXPECT_EQ(log.str().find("differs"), std::string::npos) << log.str();
    game.Stop();
    platform::UseRealClock();
}

std::string FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The events a game reports, as JSON Lines (as --events and the chronicle write them).
struct EventLines {
    GameConductor& game;
    std::ostringstream text;
    JsonLinesWriter writer;
    explicit EventLines(GameConductor& game) : game(game), writer(text, game.World())
    {
        game.Session().events.Add(&writer);
    }
    // The game's worker, which reports on its own thread, is ended first.
    ~EventLines()
    {
        game.EndWorker();
        game.Session().events.Remove(&writer);
    }
    EventLines(const EventLines&) = delete;
    EventLines& operator=(const EventLines&) = delete;
};

// The windows' host and a headless player who rests, ten years: at his last turn the
// host's save and record (kept beside the save) are the player's, and so are the events
// both games reported; the same game played at one screen by a person who rests (the
// windows' game, seeded by the same clock) saves the same bytes, reports the same events
// and records the same readings and steps, its start naming no seats: there ruler 9 is
// the one player, where the host's start names him a remote seat.
TEST(DesktopHost, AHeadlessPlayerWhoRestsPlaysTheGameOfOneScreen)
{
    constexpr int kMonths = 120;
    constexpr std::int64_t kClock = 1004; // on this clock ruler 9, resting, lasts ten years
    const RulerId seat = 9;               // he holds two countries
    const std::string data = VELCOR_SOURCE_DIR "/data";
    QTemporaryDir dir;
    const std::string at = dir.path().toStdString();
    const auto monthOf = [](const GameState& world) { return world.year * 12 + world.month; };
    platform::Message words;
    bool waited = true; // the host waited for him at each of his turns
    bool savedBoth = false;
    Seats seats{};
    seats[seat] = Seat::Remote();
    QString refused;
    std::string hostEventsThen, playerEventsThen; // as they stood at his last turn
    int first = -1;
    std::pair<int, int> last; // the month and the country of his last turn
    bool done = false;
    {
        // The host's game ends with this block, its computer's turns after his last rest
        // with it: they read the clock no more once it is fixed again for the game at one
        // screen.
        platform::FixClock(kClock);
        GameController hosted;
        std::ostringstream log;
        netgame::DesktopHost host(hosted, log);
        transport::HostOptions listen;
        listen.data = netgame::DataHash(data);
        std::string why;
        ASSERT_TRUE(host.Open(listen, {seat}, &why)) << why;
        // The player keeps his game's record, as a headless player with --record does.
        HeadlessGame playerGame(nullptr, true);
        EventLines hostEvents(hosted.Conductor());
        EventLines playerEvents(playerGame.Conductor());
        netgame::NetworkPlayer player(playerGame.Conductor(), host.Host().Invitations()[0], listen.data,
                                      [&](const GameState& world) -> std::optional<PlayerCommand> {
                                          if (done)
                                              return std::nullopt;
                                          if (first < 0)
                                              first = monthOf(world);
                                          last = {monthOf(world), world.turnCountry};
                                          waited = waited && host.WaitingFor() == seat;
                                          done = monthOf(world) - first >= kMonths;
                                          if (!done)
                                              return std::nullopt;
                                          // The host's worker has handed the turn over.
                                          savedBoth = hosted.Conductor().SaveGame(at + "/host.txt", &words) &&
                                                      playerGame.Conductor().SaveGame(at + "/player.txt", &words);
                                          hostEventsThen = hostEvents.text.str();
                                          playerEventsThen = playerEvents.text.str();
                                          return std::nullopt;
                                      },
                                      log);
        player.Start();
        ASSERT_TRUE(RunUntil([&] { return host.AllJoined(); }));
        ASSERT_TRUE(hosted.NewGame(QString::fromStdString(CountryFilePath(data, 1)), seats, seat, &refused))
            << refused.toStdString();
        ASSERT_TRUE(RunUntil([&] { return done || player.Over(); })) << log.str() << player.Failure();
    }
    ASSERT_TRUE(done) << "ruler " << seat << " fell after " << last.first - first << " months";
    EXPECT_TRUE(waited);
    EXPECT_TRUE(savedBoth) << words.Text();

    // The same game at one screen: the person rests at each of his turns up to the last.
    platform::FixClock(kClock);
    GameController alone;
    EventLines aloneEvents(alone.Conductor());
    std::string aloneEventsThen;
    bool aloneSaved = false;
    QObject::connect(&alone, &GameController::turnDescribed, &alone, [&] {
        if (!alone.AtPlayersTurn() || aloneSaved)
            return;
        if (std::pair(monthOf(alone.World()), int(alone.World().turnCountry)) == last) {
            aloneSaved = true;
            EXPECT_TRUE(alone.Conductor().SaveGame(at + "/alone.txt", &words)) << words.Text();
            aloneEventsThen = aloneEvents.text.str();
            return;
        }
        QTimer::singleShot(0, &alone, [&] {
            if (alone.AtPlayersTurn())
                alone.Rest();
        });
    });
    Seats person{};
    person[seat] = Seat::Person();
    ASSERT_TRUE(alone.NewGame(QString::fromStdString(CountryFilePath(data, 1)), person, seat, &refused))
        << refused.toStdString();
    EXPECT_TRUE(RunUntil([&] { return aloneSaved; }));
    alone.Stop();
    platform::UseRealClock();
    const std::string saved = FileBytes(at + "/host.txt");
    EXPECT_EQ(saved, FileBytes(at + "/player.txt"));
    EXPECT_EQ(saved, FileBytes(at + "/alone.txt"));
    const std::string record = FileBytes(RecordFileName(at + "/host.txt"));
    EXPECT_EQ(record, FileBytes(RecordFileName(at + "/player.txt")));
    std::optional<RecordedGame> asAlone = ParseRecord(record, &words);
    ASSERT_TRUE(asAlone) << words.Text();
    std::optional<Seats>& named = std::get<RecordStart>(asAlone->steps.front()).seats;
    EXPECT_EQ(named, seats);
    named.reset();
    EXPECT_EQ(RecordText(*asAlone), FileBytes(RecordFileName(at + "/alone.txt")));
    EXPECT_FALSE(hostEventsThen.empty());
    EXPECT_EQ(hostEventsThen, playerEventsThen);
    EXPECT_EQ(hostEventsThen, aloneEventsThen);
}

// The host opened to ruler 1's player, a new connection taking his seat.
testing::AssertionResult OpenToRulerOne(netgame::DesktopHost& host, const std::string& data)
{
    transport::HostOptions listen;
    listen.data = netgame::DataHash(data);
    listen.newConnectionTakesSeat = true;
    std::string why;
    return host.Open(listen, {1}, &why) ? testing::AssertionSuccess() : testing::AssertionFailure() << why;
}

// The host's game of scenario 1, ruler 1 played remotely, begun once its player has joined.
testing::AssertionResult BeginOnceJoined(GameController& hostGame, netgame::DesktopHost& host, const std::string& data)
{
    if (!RunUntil([&] { return host.AllJoined(); }))
        return testing::AssertionFailure() << "nobody joined";
    Seats seats{};
    seats[1] = Seat::Remote();
    QString refused;
    if (!hostGame.NewGame(QString::fromStdString(CountryFilePath(data, 1)), seats, 1, &refused))
        return testing::AssertionFailure() << refused.toStdString();
    return testing::AssertionSuccess();
}

// The windows' host and a window joined to it, who says in the lobby he is ready (the
// game's beginning ends the lobby), the joined seat ending each of his turns as the
// window does (its rest, one key a turn after his command, 残りを休養): the
// host's record and save are the joined window's bytes, and the headless game plays
// that record to that save, whether or not his connection dropped on the way (he joins
// again with the same invitation), or he left a month's turns unanswered past the
// host's limit (the host rested him).
TEST(DesktopJoin, AWindowJoinedPlaysTheHostsGameToTheSameBytes)
{
    enum class Ends { Rest, OneKey, RestRemaining };
    struct Case {
        const char* name;
        int months;
        int dropAt;   // the joined window's turn at which the connection drops (0: none)
        bool advised; // he gives the advisor's command before his rest
        Ends ends;    // how his turn ends; with one key a turn, by itself after a command
        bool paused;  // the window's replay was left paused before he joined
        RulerId seat; // 9 holds two countries at the start
        int limit;    // the host's limit of a turn, in seconds (0: none)
        int silentIn; // the month whose turns he leaves unanswered (0: none)
    };
    const Case cases[] = {{"through", 24, 0, false, Ends::Rest, false, 1, 0, 0},
                          {"advised and dropped", 24, 5, true, Ends::Rest, false, 1, 0, 0},
                          {"advised, one key a turn", 12, 0, true, Ends::OneKey, true, 1, 0, 0},
                          {"rest remaining", 12, 0, false, Ends::RestRemaining, false, 9, 0, 0},
                          {"silent past the limit", 6, 0, false, Ends::Rest, false, 1, 1, 2}};
    foresight::AdviceOptions advice;
    advice.rollouts = 2;
    advice.horizon = 1;
    const std::string data = VELCOR_SOURCE_DIR "/data";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const std::string at = dir.path().toStdString();
        platform::FixClock(1000);
        GameController hostGame;
        GameController joinedGame;
        joinedGame.SetReplayStepTime(0); // the host's steps shown as soon as they come
        joinedGame.SetReplayPaused(c.paused);
        joinedGame.SetOneKeyTurn(c.ends == Ends::OneKey);
        std::ostringstream log;
        netgame::DesktopHost host(hostGame, log);
        host.Host().LimitTurns(std::chrono::seconds(c.limit));
        transport::HostOptions listen;
        listen.data = netgame::DataHash(data);
        listen.newConnectionTakesSeat = true;
        std::string why;
        ASSERT_TRUE(host.Open(listen, {c.seat}, &why)) << why;
        netgame::DesktopJoin join(joinedGame, host.Host().Invitations()[0], listen.data, log);
        int lost = 0;
        join.lost = [&](const std::string&) {
            ++lost;
            join.Join();
        };
        // At each of his turns until the months are played he gives his command (the
        // advisor's) and rests, as the window gives them, from the event loop.
        int turns = 0;
        int startMonth = -1;
        int restedMonth = -1;
        // The time left as the window and the host show it, at a turn he leaves unanswered.
        std::optional<std::chrono::milliseconds> leftHere, leftAtHost;
        bool leftSeen = false;
        std::optional<std::size_t> staleHeld; // the steps he held at the turn he left
        bool staleTried = false, staleTaken = false;
        const auto months = [&] { return joinedGame.World().year * 12 + joinedGame.World().month - startMonth; };
        QObject::connect(&joinedGame, &GameController::turnDescribed, &joinedGame, [&] {
            if (!joinedGame.Conductor().JoinedTurn())
                return;
            if (startMonth < 0)
                startMonth = joinedGame.World().year * 12 + joinedGame.World().month;
            if (months() >= c.months)
                return;
            if (months() == c.silentIn || (c.silentIn == 0 && turns == 0)) {
                if (!std::exchange(leftSeen, true)) {
                    leftHere = join.TimeLeft();
                    leftAtHost = host.Host().TimeLeft();
                    if (c.silentIn > 0)
                        staleHeld = joinedGame.Conductor().HeldSteps();
                }
                if (c.silentIn > 0)
                    return; // the host rests him when his time has run out
            }
            // His rest of the turn he left, come only now, is not taken for this turn.
            if (months() == c.silentIn + 1 && staleHeld && !std::exchange(staleTried, true)) {
                host.Host().CommandFrom(1, net::Command{1, netgame::RestSequence(*staleHeld), command::Rest{}});
                staleTaken = !host.Host().TimeLeft();
            }
            QTimer::singleShot(0, &joinedGame, [&] {
                if (!joinedGame.Conductor().JoinedTurn())
                    return;
                const bool commandGiven = joinedGame.Phase() == TurnPhase::CommandGiven;
                // His month's other countries are rested by 残りを休養.
                if (c.ends == Ends::RestRemaining && months() == restedMonth)
                    return;
                if (!commandGiven && ++turns == c.dropAt)
                    return join.Drop(); // his turn comes again once he has joined again
                if (c.advised && !commandGiven) {
                    if (const auto command = foresight::AdvisedCommandFor(joinedGame.World(), advice))
                        if (!std::holds_alternative<command::Rest>(*command) &&
                            joinedGame.Check(*command).refusal == CommandRefusal::None)
                            return void(joinedGame.Give(*command));
                }
                if (commandGiven && c.ends == Ends::OneKey)
                    return; // the rest is the setting's to give
                if (c.ends == Ends::RestRemaining) {
                    restedMonth = months();
                    EXPECT_TRUE(joinedGame.RestRemaining());
                }
                else
                    joinedGame.Rest();
            });
        });
        bool lobbyEnded = false;
        join.lobbyChanged = [&] { lobbyEnded = !join.Lobby(); };
        join.Join();
        ASSERT_TRUE(RunUntil([&] { return host.AllJoined(); }));
        // In the lobby he sees his seat held and not ready, until he says he is.
        const auto listed = [&](bool ready) {
            return join.Lobby() && join.Lobby()->seats == std::vector<net::LobbySeat>{{c.seat, true, ready}};
        };
        ASSERT_TRUE(RunUntil([&] { return listed(false); }));
        EXPECT_FALSE(host.Host().AllReady());
        EXPECT_TRUE(join.SetReady(true));
        EXPECT_TRUE(RunUntil([&] { return host.Host().AllReady() && listed(true); }));
        Seats seats{};
        seats[c.seat] = Seat::Remote();
        QString refused;
        ASSERT_TRUE(hostGame.NewGame(QString::fromStdString(CountryFilePath(data, 1)), seats, c.seat, &refused))
            << refused.toStdString();
        const auto ended = [&] {
            return startMonth >= 0 && months() >= c.months && joinedGame.Conductor().JoinedTurn() &&
                   host.WaitingFor() == c.seat &&
                   joinedGame.Conductor().FollowedSteps() == hostGame.Recorder().Record().steps.size();
        };
        EXPECT_TRUE(RunUntil(ended)) << log.str();
        EXPECT_TRUE(lobbyEnded); // the game's beginning ended the lobby
        EXPECT_EQ(lost, c.dropAt > 0 ? 1 : 0);
        EXPECT_GE(turns, c.months - (c.silentIn > 0));
        // The time left is shown at his turn, here and at the host, when turns are limited.
        const auto within = [&](const std::optional<std::chrono::milliseconds>& left) {
            return c.limit == 0 ? !left : left && left->count() > 0 && *left <= std::chrono::seconds(c.limit);
        };
        EXPECT_TRUE(within(leftHere));
        EXPECT_TRUE(within(leftAtHost));
        EXPECT_EQ(staleTried, c.silentIn > 0);
        EXPECT_FALSE(staleTaken);
        const RecordedGame record = hostGame.Recorder().Record();
        const auto given = std::count_if(record.steps.begin(), record.steps.end(), [](const RecordStep& step) {
            const auto* command = std::get_if<PlayerCommand>(&step);
            return command && !std::holds_alternative<command::Rest>(*command);
        });
        EXPECT_EQ(given > 0, c.advised);
        platform::Message words;
        ASSERT_TRUE(hostGame.Conductor().SaveGame(at + "/host.txt", &words)) << words.Text();
        ASSERT_TRUE(joinedGame.Conductor().SaveGame(at + "/joined.txt", &words)) << words.Text();
        for (const char* file : {"/host.txt", "/host.txt.record"}) {
            std::string joined = file;
            joined.replace(1, 4, "joined");
            EXPECT_EQ(FileBytes(at + file), FileBytes(at + joined)) << file;
        }
        // The headless game plays the window's record to the window's save.
        HeadlessOptions replay;
        std::string error;
        ASSERT_TRUE(ParseHeadlessOptions(
            {"--data", data, "--replay", at + "/host.txt.record", "--save", at + "/replayed.txt"}, replay, error))
            << error;
        std::ostringstream out;
        EXPECT_EQ(RunHeadless(replay, out, out), 0) << out.str();
        EXPECT_EQ(FileBytes(at + "/host.txt"), FileBytes(at + "/replayed.txt"));
        EXPECT_EQ(log.str().find("differs"), std::string::npos) << log.str();
        // The same record sent anew to a window that has not played it (a CRC that
        // differed, a player joined late) is caught up off screen: at once, whatever the
        // replay's pace, none of its battles shown, and the window at the present.
        GameController late;
        late.SetReplayStepTime(60000);
        int shown = 0;
        QObject::connect(&late, &GameController::battleToShow, &late, [&](BattleScript& script, bool&) {
            ++shown;
            script.Start();
            script.Finish();
        });
        ASSERT_TRUE(late.Conductor().Follow(record, 0, 0, true, &words)) << words.Text();
        EXPECT_TRUE(RunUntil([&] {
            return late.Conductor().FollowedSteps() == record.steps.size() && late.AtPlayersTurn() && late.CanStartGame();
        }));
        EXPECT_EQ(shown, 0);
        EXPECT_EQ(netgame::WorldCrc(late.World()), netgame::WorldCrc(hostGame.World()));
        late.Stop();
        hostGame.Stop();
        joinedGame.Stop();
    }
}

// The page's engine joined as the page joins it: each frame of its answers sent on a
// WebSocket, each frame from the host handed to it, each step when stepDue asks. In the
// lobby he sees his seat joined and says he is ready, which the host takes. At his turn
// he gives 開墾 in the turn country (the rest when the rules refuse it), then his rest;
// his connection drops once and he joins again with the same invitation. The page's save
// is the host's, byte for byte.
TEST(PageJoin, ThePagesEngineJoinedPlaysTheHostsGameToTheSameBytes)
{
    const std::string data = VELCOR_SOURCE_DIR "/data";
    QTemporaryDir dir;
    const std::string at = dir.path().toStdString();
    platform::FixClock(1000);
    GameController hostGame;
    std::ostringstream log;
    netgame::DesktopHost host(hostGame, log);
    ASSERT_TRUE(OpenToRulerOne(host, data));
    web::WebGame page(data, at);
    auto socket = std::make_unique<QWebSocket>();
    int turns = 0;
    int drops = 0;
    int given = 0;
    QString lastTurn;
    bool stepping = false;
    QJsonArray lobby; // as the last answer gave it
    std::function<void(const std::string&)> take;
    take = [&](const std::string& text) {
        const QJsonObject answer = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
        const QJsonObject joined = answer["joined"].toObject();
        lobby = joined["lobby"].toArray();
        for (const QJsonValue frame : joined["send"].toArray())
            socket->sendTextMessage(frame.toString());
        if (answer.contains("stepDue") && answer["stepDue"].toInt() >= 0 && !stepping) {
            stepping = true;
            QTimer::singleShot(0, [&] {
                stepping = false;
                take(page.Step());
            });
        }
        if (!joined["turn"].toBool() || turns >= 24 || socket->state() != QAbstractSocket::ConnectedState)
            return;
        const int country = answer["turn"].toInt();
        const QString turn = QString("%1/%2/%3").arg(answer["year"].toInt()).arg(answer["month"].toInt()).arg(country);
        if (turn == lastTurn)
            return take(page.Command("R", 0, 0, 0, 0));
        lastTurn = turn;
        if (++turns == 8 && drops++ == 0)
            return socket->abort(); // his turn comes again once he has joined again
        const std::string domestic = page.Command("L", country, 0, 0, 0);
        const bool taken = QJsonDocument::fromJson(QByteArray::fromStdString(domestic)).object()["result"]
                               .toObject()["refusal"].toInt() == 0;
        given += taken;
        take(taken ? domestic : page.Command("R", 0, 0, 0, 0));
    };
    std::function<void()> connect = [&] {
        QObject::connect(socket.get(), &QWebSocket::connected, [&] {
            take(page.JoinBegin(net::InvitationText(host.Host().Invitations()[0])));
        });
        QObject::connect(socket.get(), &QWebSocket::textMessageReceived,
                         [&](const QString& frame) { take(page.JoinFrame(frame.toStdString())); });
        QObject::connect(socket.get(), &QWebSocket::disconnected, [&] {
            take(page.JoinClosed(socket->closeReason().toStdString()));
            QTimer::singleShot(0, [&] {
                socket.release()->deleteLater();
                socket = std::make_unique<QWebSocket>();
                connect();
            });
        });
        socket->open(QUrl(QString("ws://127.0.0.1:%1/").arg(host.Host().Invitations()[0].port)));
    };
    connect();
    const auto lobbySeat = [&](const char* state) { return lobby.size() == 1 && lobby[0].toObject()[state].toBool(); };
    EXPECT_TRUE(RunUntil([&] { return lobbySeat("joined"); })) << log.str();
    EXPECT_FALSE(lobbySeat("ready"));
    take(page.JoinReady(true));
    EXPECT_TRUE(RunUntil([&] { return host.Host().AllReady() && lobbySeat("ready"); })) << log.str();
    ASSERT_TRUE(BeginOnceJoined(hostGame, host, data));
    EXPECT_TRUE(RunUntil([&] {
        const QJsonObject view = QJsonDocument::fromJson(QByteArray::fromStdString(page.View())).object();
        return turns >= 24 && host.WaitingFor() == 1 && view["joined"].toObject()["turn"].toBool();
    })) << log.str();
    EXPECT_EQ(drops, 1);
    EXPECT_GT(given, 0);
    platform::Message words;
    ASSERT_TRUE(hostGame.Conductor().SaveGame(at + "/host.txt", &words)) << words.Text();
    EXPECT_EQ(page.Save().find("\"error\""), std::string::npos);
    for (const char* file : {"/host.txt", "/host.txt.record"}) {
        std::string joined = file;
        joined.replace(1, 4, "velcor-save");
        EXPECT_EQ(FileBytes(at + file), FileBytes(at + joined)) << file;
    }
    EXPECT_EQ(log.str().find("differs"), std::string::npos) << log.str();
    socket->disconnect();
    hostGame.Stop();
}

} // namespace
