// SPDX-License-Identifier: GPL-3.0-or-later
// A networked game on the loopback address: a command's round trip from a player to
// the host and back to every player (the host sends the record's new step to all), a
// player joining a game of 240 months and caught up (the record sent, read and played
// through), and the host's CPU between turns with 14 seated players and 200 other
// connections opened and left idle (on a thread of its own, measured by its own clock).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <QThread>

#include <pthread.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

#include "cli/headless.h"
#include "transport/host_server.h"
#include "transport/join_client.h"

namespace {

using Clock = std::chrono::steady_clock;

transport::HostOptions Options(bool takesSeat = false)
{
    transport::HostOptions options;
    options.data = "be";
    options.newConnectionTakesSeat = takesSeat;
    return options;
}

void Pump(const std::function<bool()>& done)
{
    const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
    while (!done() && Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The host hands every command on to every player as a step of the record.
struct Echo : transport::HostListener {
    transport::HostServer* server = nullptr;
    std::uint64_t steps = 0;
    void SeatJoined(int, std::uint64_t, std::uint64_t) override {}
    void SeatLeft(int) override {}
    void CommandFrom(int, const net::Command& command) override
    {
        net::RecordPart part;
        part.firstStep = steps++;
        part.steps.emplace_back(command.command);
        server->SendAll(net::Encode(part));
    }
    void CrcFrom(int, const net::WorldCrc&) override {}
};

struct Counting : transport::JoinListener {
    int welcomed = 0;
    int parts = 0;
    transport::JoinClient client{*this};
    void Welcomed(const net::Welcome&) override { ++welcomed; }
    void Refused(const net::Refused&) override {}
    void Received(const net::Frame& frame) override { parts += std::holds_alternative<net::RecordPart>(frame); }
    void Closed(const std::string&) override {}
};

// Players seated at a host of seats 1..count.
struct Table {
    Echo echo;
    transport::HostServer server;
    std::vector<std::unique_ptr<Counting>> players;
    explicit Table(int count, transport::HostListener* listener = nullptr)
        : server(Options(), listener ? *listener : echo)
    {
        echo.server = &server;
        server.Listen(nullptr);
        for (int seat = 1; seat <= count; ++seat) {
            players.push_back(std::make_unique<Counting>());
            players.back()->client.Join(*server.Invite(seat), "be");
        }
        Pump([&] { return std::all_of(players.begin(), players.end(), [](const auto& p) { return p->welcomed == 1; }); });
    }
};

void BM_CommandRoundTrip(benchmark::State& state)
{
    Table table(static_cast<int>(state.range(0)));
    std::vector<double> ms;
    for (auto _ : state) {
        const int before = table.players.back()->parts;
        const Clock::time_point sent = Clock::now();
        table.players.front()->client.SendCommand(command::Rest{});
        Pump([&] {
            return std::all_of(table.players.begin(), table.players.end(),
                               [&](const auto& p) { return p->parts > before; });
        });
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
}
BENCHMARK(BM_CommandRoundTrip)->Arg(4)->Arg(14)->Iterations(1000)->Unit(benchmark::kMillisecond);

// The record of a game of 240 months with every ruler offered a person who rests (the
// game goes on to its months: nobody takes another's country).
RecordedGame LongRecord()
{
    HeadlessOptions options;
    options.dataDir = VELCOR_SOURCE_DIR "/data";
    options.scenario = 1;
    options.ruler = 1;
    for (const RulerId ruler : {2, 3, 4, 5, 6, 8, 9, 10, 11, 13})
        options.seats.push_back({ruler, Seat::Person(), {}});
    options.months = 240;
    options.clockStart = 1000;
    platform::FixClock(1000);
    HeadlessGame game(nullptr, true);
    std::vector<RulerId> offered;
    std::ostringstream err;
    SetUpHeadlessGame(game.Session(), options, offered, err);
    PlayResting(game, options);
    platform::UseRealClock();
    return game.Conductor().Recorder()->Record();
}

// The host sends a joining player the record; he follows it to its end.
struct Sender : transport::HostListener {
    transport::HostServer* server = nullptr;
    const RecordedGame* record = nullptr;
    void SeatJoined(int seat, std::uint64_t, std::uint64_t) override
    {
        const auto frames = net::RecordFrames(*record, 0, 0, true);
        for (const std::string& frame : *frames)
            server->Send(seat, frame);
    }
    void SeatLeft(int) override {}
    void CommandFrom(int, const net::Command&) override {}
    void CrcFrom(int, const net::WorldCrc&) override {}
};

struct Follower : transport::JoinListener {
    HeadlessGame game;
    transport::JoinClient client{*this};
    void Welcomed(const net::Welcome&) override {}
    void Refused(const net::Refused&) override {}
    void Received(const net::Frame& frame) override
    {
        const auto* part = std::get_if<net::RecordPart>(&frame);
        if (!part)
            return;
        RecordedGame more;
        more.readings = part->readings;
        more.steps = part->steps;
        game.Conductor().Follow(more, part->firstReading, part->firstStep, part->fresh, nullptr);
        while (game.Conductor().FollowStep(nullptr)) {
        }
    }
    void Closed(const std::string&) override {}
};

void BM_RejoinCaughtUp(benchmark::State& state)
{
    const RecordedGame record = LongRecord();
    Sender sender;
    sender.record = &record;
    transport::HostServer server(Options(true), sender);
    sender.server = &server;
    server.Listen(nullptr);
    const net::Invitation invitation = *server.Invite(3);
    std::vector<double> ms;
    for (auto _ : state) {
        Follower player;
        const Clock::time_point began = Clock::now();
        player.client.Join(invitation, "be");
        Pump([&] { return player.game.Conductor().FollowedSteps() == record.steps.size(); });
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - began).count());
        player.client.Leave();
        Pump([&] { return server.Seated().empty(); });
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["steps"] = static_cast<double>(record.steps.size());
    state.counters["readings"] = static_cast<double>(record.readings.size());
}
BENCHMARK(BM_RejoinCaughtUp)->Iterations(20)->Unit(benchmark::kMillisecond);

double ThreadCpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The host on a thread of its own: its CPU over two idle seconds, as a share of a core.
void BM_HostIdle(benchmark::State& state)
{
    for (auto _ : state) {
        QThread thread;
        thread.start();
        Echo echo;
        // Made on the host's thread: its sockets live there.
        QObject place;
        place.moveToThread(&thread);
        transport::HostServer* server = nullptr;
        std::vector<net::Invitation> invitations;
        std::atomic<quint16> port = 0;
        clockid_t hostClock{};
        QMetaObject::invokeMethod(&place, [&] {
            server = new transport::HostServer(Options(), echo);
            echo.server = server;
            server->Listen(nullptr);
            for (int seat = 1; seat <= 14; ++seat)
                invitations.push_back(*server->Invite(seat));
            pthread_getcpuclockid(pthread_self(), &hostClock);
            port = server->Port();
        }, Qt::BlockingQueuedConnection);
        std::vector<std::unique_ptr<Counting>> players;
        for (const net::Invitation& invitation : invitations) {
            players.push_back(std::make_unique<Counting>());
            players.back()->client.Join(invitation, "be");
        }
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < 200; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(QHostAddress::LocalHost, port);
        }
        Pump([&] { return std::all_of(players.begin(), players.end(), [](const auto& p) { return p->welcomed == 1; }); });
        const double cpuBefore = ThreadCpuMs(hostClock);
        state.counters["host_cpu_ms_seating"] = cpuBefore;
        const Clock::time_point began = Clock::now();
        Pump([&] { return Clock::now() - began > std::chrono::seconds(2); });
        const double share = (ThreadCpuMs(hostClock) - cpuBefore) /
                             std::chrono::duration<double, std::milli>(Clock::now() - began).count();
        state.counters["host_cpu_percent"] = 100 * share;
        players.clear();
        idle.clear();
        QMetaObject::invokeMethod(&place, [server] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }
}
BENCHMARK(BM_HostIdle)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
