// SPDX-License-Identifier: GPL-3.0-or-later
// The host's connections on the loopback address against hostile clients: each is
// refused or closed without reaching the game, and a good player is served after it.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocketServer>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <sstream>

#include "private_home.h"
#include "transport/host_server.h"
#include "transport/join_client.h"

namespace {

constexpr int kWaitMs = 3000;
constexpr char kData[] = "5eed";

struct HostEars : transport::HostListener {
    std::vector<int> joined, left;
    std::vector<net::Command> commands;
    void SeatJoined(int seat, std::uint64_t, std::uint64_t) override { joined.push_back(seat); }
    void SeatLeft(int seat) override { left.push_back(seat); }
    void CommandFrom(int, const net::Command& command) override { commands.push_back(command); }
    void CrcFrom(int, const net::WorldCrc&) override {}
};

// A player through the transport's own client.
struct Player : transport::JoinListener {
    std::optional<net::Welcome> welcome;
    std::optional<net::Refused> refused;
    std::chrono::steady_clock::time_point refusedAt;
    std::vector<net::Frame> frames;
    bool closed = false;
    transport::JoinClient client{*this};

    void Welcomed(const net::Welcome& w) override { welcome = w; }
    void Refused(const net::Refused& r) override
    {
        refused = r;
        refusedAt = std::chrono::steady_clock::now();
    }
    void Received(const net::Frame& f) override { frames.push_back(f); }
    void Closed(const std::string&) override { closed = true; }

    bool Join(const net::Invitation& invitation, const std::string& data = kData)
    {
        client.Join(invitation, data);
        return QTest::qWaitFor([&] { return welcome || closed; }, kWaitMs) && welcome;
    }
    std::optional<net::Denial> DeniedAfter(const net::Frame& frame)
    {
        frames.clear();
        client.Send(frame);
        if (!QTest::qWaitFor([&] { return !frames.empty(); }, 300))
            return std::nullopt;
        const auto* denied = frames.empty() ? nullptr : std::get_if<net::Denied>(&frames.front());
        return denied ? std::optional(denied->reason) : std::nullopt;
    }
};

// A client that writes the WebSocket protocol by hand: any request, frames cut anywhere,
// and a reader who stops reading.
class RawPeer {
public:
    explicit RawPeer(quint16 port) { m_socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port); }

    // The opening request with these header lines; the status of the host's answer, 0
    // when it gave none.
    int Open(const QByteArray& headers)
    {
        m_socket.write("GET / HTTP/1.1\r\n" + headers +
                       "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                       "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        const bool answered = QTest::qWaitFor([&] { return Pull(), m_in.contains("\r\n\r\n") || Gone(); }, kWaitMs);
        const qsizetype end = m_in.indexOf("\r\n\r\n");
        if (!answered || end < 0)
            return 0;
        const int status = m_in.mid(9, 3).toInt();
        m_in.remove(0, end + 4);
        m_open = status == 101;
        return status;
    }
    // A frame as a client writes it, masked; only its first `written` bytes when given
    // (a frame that announces more than it brings).
    void Send(int opcode, const QByteArray& payload, bool last = true, qsizetype written = -1)
    {
        QByteArray frame;
        frame += static_cast<char>((last ? 0x80 : 0) | opcode);
        const qsizetype n = payload.size();
        if (n < 126) {
            frame += static_cast<char>(0x80 | n);
        } else {
            const int bytes = n < 65536 ? 2 : 8;
            frame += static_cast<char>(0x80 | (bytes == 2 ? 126 : 127));
            for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
                frame += static_cast<char>(static_cast<quint64>(n) >> shift & 0xff);
        }
        const char mask[4] = {0x12, 0x34, 0x56, 0x78};
        frame.append(mask, 4);
        for (qsizetype i = 0; i < n; ++i)
            frame += static_cast<char>(payload[i] ^ mask[i % 4]);
        m_socket.write(written < 0 ? frame : frame.left(written));
    }
    // A text message in pieces (a first frame and continuations), the first `sent` of
    // them when given.
    void Text(const QByteArray& text, int pieces = 1, int sent = -1)
    {
        const qsizetype size = (text.size() + pieces - 1) / pieces;
        for (int i = 0; i < (sent < 0 ? pieces : sent); ++i)
            Send(i == 0 ? 0x1 : 0x0, text.mid(i * size, size), i == pieces - 1);
    }
    // The host closed the connection or sent its close frame.
    bool Gone()
    {
        Pull();
        return m_closeSeen || m_socket.state() == QAbstractSocket::UnconnectedState;
    }
    bool EndsWithin(int ms)
    {
        return QTest::qWaitFor([&] { return Gone(); }, ms);
    }
    QTcpSocket& Socket() { return m_socket; }
    // The host's text messages so far.
    const std::vector<QByteArray>& Texts() const { return m_texts; }

private:
    // Reads what came; after the handshake, the host's frames (never masked).
    void Pull()
    {
        if (m_socket.isOpen())
            m_in += m_socket.readAll();
        while (m_open && m_in.size() >= 2) {
            const int opcode = m_in[0] & 0x0f;
            qsizetype n = m_in[1] & 0x7f, at = 2;
            if (n >= 126) {
                const int bytes = n == 126 ? 2 : 8;
                if (m_in.size() < 2 + bytes)
                    return;
                n = 0;
                for (int i = 0; i < bytes; ++i)
                    n = n << 8 | static_cast<unsigned char>(m_in[2 + i]);
                at += bytes;
            }
            if (m_in.size() < at + n)
                return;
            m_closeSeen = m_closeSeen || opcode == 0x8;
            if (opcode == 0x1)
                m_texts.push_back(m_in.mid(at, n));
            m_in.remove(0, at + n);
        }
    }

    QTcpSocket m_socket;
    QByteArray m_in;
    bool m_open = false;
    bool m_closeSeen = false;
    std::vector<QByteArray> m_texts;
};

// What a hostile client met: the handshake's answer, the refusal or denial sent to it,
// whether the host ended its connection, whether it took a seat, and the commands the
// game was handed meanwhile.
struct Seen {
    int status = 101;
    std::optional<net::Refusal> refused;
    std::optional<net::Denial> denied;
    bool ended = true;
    bool seated = false;
    std::size_t commands = 0;

    Seen Status(int s) const { return With([&](Seen& x) { x.status = s; }); }
    Seen Refused(net::Refusal r) const { return With([&](Seen& x) { x.refused = r; }); }
    Seen Denied(std::optional<net::Denial> d) const { return With([&](Seen& x) { x.denied = d; }); }
    Seen Ended(bool e) const { return With([&](Seen& x) { x.ended = e; }); }
    Seen Seated(bool s = true) const { return With([&](Seen& x) { x.seated = s; }); }
    Seen Commands(std::size_t n) const { return With([&](Seen& x) { x.commands = n; }); }

private:
    template <typename F>
    Seen With(F change) const
    {
        Seen copy = *this;
        change(copy);
        return copy;
    }
};

std::string Describe(const Seen& s)
{
    std::ostringstream out;
    out << "status " << s.status << ", refused " << (s.refused ? net::RefusalWord(*s.refused) : "-") << ", denied "
        << (s.denied ? net::DenialWord(*s.denied) : "-") << ", ended " << s.ended << ", seated " << s.seated
        << ", commands " << s.commands;
    return out.str();
}

struct Rig {
    HostEars ears;
    transport::HostOptions options;
    std::unique_ptr<transport::HostServer> host;
    net::Invitation one, two;

    Rig()
    {
        options.data = kData;
        options.waitingMost = 8;
        options.proveWithin = std::chrono::milliseconds(800);
        options.wrongSecretPause = std::chrono::milliseconds(200);
        options.wrongSecretPauseMost = std::chrono::milliseconds(800);
        options.sendBufferMost = 256 * 1024;
        Reopen();
    }
    // A host of the options, seats 1 and 2 invited.
    void Reopen()
    {
        host = std::make_unique<transport::HostServer>(options, ears);
        QString error;
        EXPECT_TRUE(host->Listen(&error)) << error.toStdString();
        one = host->Invite(1).value();
        two = host->Invite(2).value();
    }
    quint16 Port() const { return host->Port(); }
    QByteArray HostLine(int port) const { return "Host: 127.0.0.1:" + QByteArray::number(port) + "\r\n"; }
    QByteArray HostLine() const { return HostLine(Port()); }
    QByteArray OriginLine(const QByteArray& name, int port = 0) const
    {
        return "Origin: http://" + name + ":" + QByteArray::number(port ? port : Port()) + "\r\n";
    }
    static QByteArray HelloOf(const net::Invitation& invitation, int version = net::kProtocolVersion)
    {
        const std::string text =
            net::Encode(net::Hello{version, kData, invitation.seat, net::SecretText(invitation.key), 0, 0});
        return QByteArray::fromStdString(text);
    }
    // What a raw client met opening with these header lines.
    Seen Opened(const QByteArray& headers)
    {
        RawPeer peer(Port());
        const int status = peer.Open(headers);
        return Seen().Status(status).Ended(peer.EndsWithin(kWaitMs));
    }
    // What a raw client met after `send` on an opened connection; seated first when
    // asked. Ended sooner than an unseated connection's time runs out.
    Seen RawSends(const std::function<void(RawPeer&)>& send, bool seatFirst = false)
    {
        RawPeer peer(Port());
        Seen seen;
        seen.status = peer.Open(HostLine());
        if (seatFirst) {
            peer.Text(HelloOf(one));
            seen.seated = QTest::qWaitFor([&] { return !ears.joined.empty(); }, kWaitMs);
        }
        send(peer);
        seen.ended = peer.EndsWithin(static_cast<int>(options.proveWithin.count() / 2));
        seen.seated = !ears.joined.empty();
        for (const QByteArray& text : peer.Texts())
            if (const auto frame = net::Decode(text.toStdString()); frame && std::holds_alternative<net::Refused>(*frame))
                seen.refused = std::get<net::Refused>(*frame).reason;
        return seen;
    }
    Seen Joined(Player& player, const net::Invitation& invitation, const std::string& data = kData)
    {
        Seen seen;
        player.Join(invitation, data);
        seen.refused = player.refused ? std::optional(player.refused->reason) : std::nullopt;
        seen.ended = QTest::qWaitFor([&] { return player.closed; }, player.welcome ? 50 : kWaitMs);
        seen.seated = player.welcome.has_value();
        return seen;
    }
};

struct HostileCase {
    const char* name;
    std::function<Seen(Rig&)> act;
    Seen expected;
};

// Runs each case on a host of its own; whatever the client sent, nothing waits on it
// afterwards, and a good player of another seat joins and his command reaches the game.
void RunCases(const std::vector<HostileCase>& cases)
{
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        const Seen seen = c.act(rig);
        EXPECT_EQ(Describe(seen), Describe(c.expected));
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.host->Waiting() == 0; }, kWaitMs)) << rig.host->Waiting();
        const std::size_t before = rig.ears.commands.size();
        Player good;
        ASSERT_TRUE(good.Join(rig.two));
        EXPECT_EQ(good.client.SendCommand(command::Rest{}), good.welcome->last + 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.ears.commands.size() > before; }, kWaitMs));
        EXPECT_EQ(rig.ears.commands.back().seat, 2);
    }
}

// Before a seat is shown: the handshake, the first frame, the connections that wait.
TEST(HostileClients, UnprovenConnectionsAreRefused)
{
    const QByteArray big = R"({"t":"ping","n":1})" + QByteArray(90 * 1024, ' ');
    RunCases({
        {"no hello in time",
         [](Rig& r) {
             RawPeer peer(r.Port());
             Seen seen;
             seen.status = peer.Open(r.HostLine());
             seen.ended = peer.EndsWithin(r.options.proveWithin.count() + 1000);
             return seen;
         },
         {}},
        {"a command before hello",
         [](Rig& r) {
             return r.RawSends([](RawPeer& p) {
                 p.Text(QByteArray::fromStdString(net::Encode(net::Command{1, 1, command::Rest{}})));
             });
         },
         {}},
        {"not a frame", [](Rig& r) { return r.RawSends([](RawPeer& p) { p.Text(R"({"t":"hello","version":1,)"); }); },
         {}},
        // Refused as soon as it is announced, without waiting for the rest of it.
        {"a frame over 64 KiB",
         [&](Rig& r) { return r.RawSends([&](RawPeer& p) { p.Send(0x1, big, true, big.size() / 2); }, true); },
         Seen().Seated()},
        {"fragments over 64 KiB",
         [&](Rig& r) { return r.RawSends([&](RawPeer& p) { p.Text(big, 4, 3); }, true); }, Seen().Seated()},
        {"a binary message",
         [](Rig& r) { return r.RawSends([&](RawPeer& p) { p.Send(0x2, Rig::HelloOf(r.two)); }, true); },
         Seen().Seated()},
        {"a hello twice", [](Rig& r) { return r.RawSends([&](RawPeer& p) { p.Text(Rig::HelloOf(r.one)); }, true); },
         Seen().Seated()},
        // A hello in fragments is a hello.
        {"a hello in fragments",
         [](Rig& r) {
             RawPeer peer(r.Port());
             Seen seen;
             seen.status = peer.Open(r.HostLine());
             peer.Text(Rig::HelloOf(r.one), 7);
             seen.seated = QTest::qWaitFor([&] { return !r.ears.joined.empty(); }, kWaitMs);
             seen.ended = peer.Gone();
             return seen;
         },
         Seen().Ended(false).Seated()},
        {"a foreign Origin", [](Rig& r) { return r.Opened(r.HostLine() + "Origin: http://evil.example\r\n"); },
         Seen().Status(403)},
        // The host's own page, by its address or on the loopback address by localhost.
        {"the host's own page", [](Rig& r) { return r.Opened(r.HostLine() + r.OriginLine("127.0.0.1")); }, {}},
        {"the host's own page by localhost", [](Rig& r) { return r.Opened(r.HostLine() + r.OriginLine("localhost")); },
         {}},
        {"a page of another port",
         [](Rig& r) { return r.Opened(r.HostLine() + r.OriginLine("127.0.0.1", r.Port() + 1)); }, Seen().Status(403)},
        {"a name for Host", [](Rig& r) { return r.Opened("Host: evil.example:" + QByteArray::number(r.Port()) + "\r\n"); },
         Seen().Status(403)},
        {"another port in Host", [](Rig& r) { return r.Opened(r.HostLine(r.Port() + 1)); }, Seen().Status(403)},
        {"Host twice", [](Rig& r) { return r.Opened(r.HostLine() + "Host: evil.example\r\n"); }, Seen().Status(403)},
        // Past the connections that may wait, the host closes new ones at once.
        {"200 connections opened and dropped",
         [](Rig& r) {
             std::vector<std::unique_ptr<QTcpSocket>> sockets;
             int waitingMost = 0;
             for (int i = 0; i < 200; ++i) {
                 sockets.push_back(std::make_unique<QTcpSocket>());
                 sockets.back()->connectToHost(QHostAddress(QHostAddress::LocalHost), r.Port());
                 if (i % 2)
                     sockets.back()->write("GET / HTTP/1.1\r\n" + r.HostLine());
                 if (i % 10 == 9)
                     QTest::qWait(2);
                 waitingMost = std::max(waitingMost, r.host->Waiting());
             }
             const auto cut = [&] {
                 return std::count_if(sockets.begin(), sockets.end(), [](const auto& s) {
                     return s->state() == QAbstractSocket::UnconnectedState;
                 });
             };
             Seen seen = Seen().Status(0);
             // Sooner than a waiting connection's time runs out.
             seen.ended = QTest::qWaitFor([&] { return cut() >= 200 - r.options.waitingMost; },
                                          static_cast<int>(r.options.proveWithin.count() / 2));
             EXPECT_LE(waitingMost, r.options.waitingMost);
             for (auto& s : sockets)
                 s->abort();
             return seen;
         },
         Seen().Status(0)},
    });
}

// Hellos the host refuses, and what a seated player may not do or fail to do.
TEST(HostileClients, SeatsAreKeptToTheirPlayers)
{
    RunCases({
        {"another version",
         [](Rig& r) { return r.RawSends([&](RawPeer& p) { p.Text(Rig::HelloOf(r.one, net::kProtocolVersion + 1)); }); },
         Seen().Refused(net::Refusal::Version)},
        {"other data", [](Rig& r) { Player p; return r.Joined(p, r.one, "ee"); }, Seen().Refused(net::Refusal::Data)},
        // A second wrong secret from the address is answered no sooner than the pause.
        {"a wrong secret, twice",
         [](Rig& r) {
             net::Invitation wrong = r.one;
             wrong.key[0] ^= 1;
             Player first, second;
             r.Joined(first, wrong);
             const Seen seen = r.Joined(second, wrong);
             EXPECT_GE(second.refusedAt - first.refusedAt, r.options.wrongSecretPause * 3 / 4);
             return seen;
         },
         Seen().Refused(net::Refusal::Secret)},
        {"a seat taken",
         [](Rig& r) {
             Player first, second;
             first.Join(r.one);
             const Seen seen = r.Joined(second, r.one);
             EXPECT_EQ(r.host->Seated(), std::vector<int>({1}));
             return seen;
         },
         Seen().Refused(net::Refusal::Taken)},
        {"a seat taken over, as the host lets it",
         [](Rig& r) {
             r.options.newConnectionTakesSeat = true;
             r.Reopen();
             Player first, second;
             first.Join(r.one);
             const Seen seen = r.Joined(second, r.one);
             EXPECT_TRUE(QTest::qWaitFor([&] { return first.closed; }, kWaitMs));
             EXPECT_TRUE(first.refused && first.refused->reason == net::Refusal::Replaced);
             EXPECT_EQ(r.ears.left, std::vector<int>({1}));
             EXPECT_EQ(r.host->Seated(), std::vector<int>({1}));
             return seen;
         },
         Seen().Ended(false).Seated()},
        {"a revoked invitation",
         [](Rig& r) {
             Player first, again;
             first.Join(r.one);
             r.host->Revoke(1);
             EXPECT_TRUE(QTest::qWaitFor([&] { return first.closed; }, kWaitMs));
             EXPECT_TRUE(first.refused && first.refused->reason == net::Refusal::Revoked);
             EXPECT_EQ(r.ears.left, std::vector<int>({1}));
             return r.Joined(again, r.one);
         },
         Seen().Refused(net::Refusal::Revoked)},
        {"another seat's command",
         [](Rig& r) {
             Player player;
             player.Join(r.one);
             const auto denied = player.DeniedAfter(net::Command{2, 1, command::Rest{}});
             return Seen().Denied(denied).Ended(player.closed).Seated().Commands(r.ears.commands.size());
         },
         Seen().Denied(net::Denial::Seat).Ended(false).Seated()},
        {"a replayed number",
         [](Rig& r) {
             Player player;
             player.Join(r.one);
             player.client.SendCommand(command::Rest{});
             EXPECT_TRUE(QTest::qWaitFor([&] { return !r.ears.commands.empty(); }, kWaitMs));
             const auto denied = player.DeniedAfter(net::Command{1, 1, command::Rest{}});
             return Seen().Denied(denied).Ended(player.closed).Seated().Commands(r.ears.commands.size());
         },
         Seen().Denied(net::Denial::Replayed).Ended(false).Seated().Commands(1)},
        // A seated player whose machine is gone without a word (no pong) is dropped once
        // the ping has waited its time, and his seat may be joined again by one who answers.
        {"a player who stops answering",
         [](Rig& r) {
             r.options.idleBeforePing = std::chrono::milliseconds(150);
             r.options.pongWithin = std::chrono::milliseconds(150);
             r.Reopen();
             RawPeer peer(r.Port());
             Seen seen;
             seen.status = peer.Open(r.HostLine());
             peer.Text(Rig::HelloOf(r.one));
             EXPECT_TRUE(QTest::qWaitFor([&] { return !r.ears.joined.empty(); }, kWaitMs));
             const auto seated = std::chrono::steady_clock::now();
             seen.ended = peer.EndsWithin(kWaitMs) && r.ears.left == std::vector<int>({1});
             EXPECT_GE(std::chrono::steady_clock::now() - seated, r.options.idleBeforePing + r.options.pongWithin);
             Player again;
             again.Join(r.one);
             QTest::qWait(static_cast<int>(4 * (r.options.idleBeforePing + r.options.pongWithin).count()));
             seen.seated = again.welcome && !again.closed;
             return seen;
         },
         Seen().Seated()},
        // A seated player who stops reading is dropped, not buffered for without end.
        {"a slow reader",
         [](Rig& r) {
             RawPeer peer(r.Port());
             Seen seen;
             seen.status = peer.Open(r.HostLine());
             peer.Text(Rig::HelloOf(r.one));
             seen.seated = QTest::qWaitFor([&] { return !r.ears.joined.empty(); }, kWaitMs);
             peer.Socket().setReadBufferSize(1);
             const std::string frame(60 * 1024, 'x');
             int sent = 0;
             while (sent < 2000 && r.host->Send(1, frame)) {
                 ++sent;
                 QCoreApplication::processEvents();
             }
             seen.ended = sent < 2000 && r.host->Seated().empty() && r.ears.left == std::vector<int>({1});
             return seen;
         },
         Seen().Seated()},
    });
}

// A player whose host takes the connection and never answers, or answers the
// handshake and never welcomes him, is told within the bound, not left waiting.
TEST(HostileHosts, SilentHostsAreGivenUpOn)
{
    for (const bool handshake : {false, true}) {
        SCOPED_TRACE(handshake ? "a handshake, then silence" : "silence");
        QTcpServer silent;
        ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
        QWebSocketServer quiet(QStringLiteral("quiet"), QWebSocketServer::NonSecureMode);
        if (handshake) {
            silent.close();
            ASSERT_TRUE(quiet.listen(QHostAddress::LocalHost));
        }
        net::Invitation invitation;
        invitation.host = "127.0.0.1";
        invitation.port = handshake ? quiet.serverPort() : silent.serverPort();
        invitation.seat = 1;
        Player player;
        player.client.Join(invitation, kData, 0, 0, std::chrono::milliseconds(300));
        EXPECT_TRUE(QTest::qWaitFor([&] { return player.closed; }, kWaitMs));
        EXPECT_FALSE(player.welcome);
    }
}


// The page's files served on the game's port: a GET or HEAD of a file under the page's
// folder, with its type; nothing outside the folder however asked, nothing but GET and
// HEAD, no name of another host. The page's own WebSocket (its Origin the host as the
// request names it) is taken, another site's is not; a folder without the page serves
// none of it.
TEST(PageFiles, TheHostServesThePageAndNothingElse)
{
    QTemporaryDir dir;
    const QString page = dir.filePath("page");
    ASSERT_TRUE(QDir().mkpath(page + "/sub"));
    const auto write = [](const QString& path, const QByteArray& bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    ASSERT_TRUE(write(page + "/index.html", "<!doctype html>") && write(page + "/velcor-engine.wasm", "wasm") &&
                write(page + "/sub/a.js", "1;") && write(page + "/.hidden", "h") && write(dir.filePath("secret.txt"), "s"));
    ASSERT_TRUE(QFile::link(dir.filePath("secret.txt"), page + "/out.txt"));

    struct Case {
        const char* name;
        QByteArray request; // HOST stands for the listening address and port
        int status;
        const char* type; // the Content-Type of a 200, and its body the file's
        const char* file;
        bool withPage = true;
    };
    const QByteArray upgrade =
        "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n";
    const Case cases[] = {
        {"the page", "GET / HTTP/1.1\r\nHost: HOST\r\n", 200, "text/html; charset=utf-8", "index.html"},
        {"the engine", "GET /velcor-engine.wasm HTTP/1.1\r\nHost: HOST\r\n", 200, "application/wasm", "velcor-engine.wasm"},
        {"a script in a folder, a query", "GET /sub/a.js?v=1 HTTP/1.1\r\nHost: HOST\r\n", 200, "text/javascript; charset=utf-8", "sub/a.js"},
        {"its head alone", "HEAD /index.html HTTP/1.1\r\nHost: HOST\r\n", 200, "text/html; charset=utf-8", ""},
        {"another method", "POST / HTTP/1.1\r\nHost: HOST\r\nContent-Length: 0\r\n", 405, "", ""},
        {"up and out", "GET /../secret.txt HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"up and back", "GET /sub/../index.html HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"up escaped", "GET /%2e%2e/secret.txt HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"a link out", "GET /out.txt HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"a hidden file", "GET /.hidden HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"a folder", "GET /sub/ HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"no such file", "GET /none.js HTTP/1.1\r\nHost: HOST\r\n", 404, "", ""},
        {"another host's name", "GET / HTTP/1.1\r\nHost: evil.example:80\r\n", 403, "", ""},
        {"no host", "GET / HTTP/1.1\r\n", 403, "", ""},
        {"the page's WebSocket", "GET / HTTP/1.1\r\nHost: HOST\r\nOrigin: http://HOST\r\n" + upgrade, 101, "", ""},
        {"another site's WebSocket", "GET / HTTP/1.1\r\nHost: HOST\r\nOrigin: http://evil.example\r\n" + upgrade, 403, "", ""},
        {"no page: the browser told so", "GET / HTTP/1.1\r\nHost: HOST\r\n", 404, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostEars ears;
        transport::HostOptions options;
        options.data = kData;
        options.pageDir = c.withPage ? page : dir.filePath("sub-none");
        transport::HostServer host(options, ears);
        QString error;
        ASSERT_TRUE(host.Listen(&error)) << error.toStdString();
        QByteArray request = c.request + "\r\n";
        request.replace("HOST", "127.0.0.1:" + QByteArray::number(host.Port()));
        QTcpSocket socket;
        socket.connectToHost(QHostAddress(QHostAddress::LocalHost), host.Port());
        socket.write(request);
        QByteArray answer;
        const auto headEnd = [&] { return answer.indexOf("\r\n\r\n"); };
        EXPECT_TRUE(QTest::qWaitFor([&] {
            answer += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState || (c.status == 101 && headEnd() > 0);
        }, kWaitMs));
        answer += socket.readAll();
        ASSERT_GT(headEnd(), 0) << answer.left(200).toStdString();
        EXPECT_EQ(answer.mid(9, 3).toInt(), c.status) << answer.left(200).toStdString();
        if (c.status != 200)
            continue;
        const QByteArray head = answer.left(headEnd()), body = answer.mid(headEnd() + 4);
        EXPECT_TRUE(head.contains("\r\nContent-Type: " + QByteArray(c.type) + "\r\n")) << head.toStdString();
        QFile file(page + '/' + c.file);
        const QByteArray bytes = *c.file && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        EXPECT_EQ(body, bytes);
        EXPECT_TRUE(head.contains("\r\nContent-Length: " + QByteArray::number(*c.file ? bytes.size() : 15) + "\r\n"));
    }
}

} // namespace

int main(int argc, char** argv)
{
    const PrivateHome home;
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
