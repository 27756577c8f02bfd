// SPDX-License-Identifier: GPL-3.0-or-later
// The host's side of a networked game's connections, over Qt WebSockets. It admits a
// remote seat's player on his invitation's secret and refuses everything else: a page
// of another site (Origin), a name that is not the listening address (Host), a
// connection that shows no secret in time or past the number that may wait, a wrong
// secret (answered later and later from the same address), a seat already played, a
// frame that is not valid or over 64 KiB, a player who does not read what he is sent.
// Of an admitted player it hands on only his seat's commands, each numbered after the
// last, and his world's CRC. It holds no game: its owner answers through HostListener
// and sends the frames the game makes. Lives on the thread that makes it.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/invitation.h"
#include "net/protocol.h"
#include "transport/page_files.h"

namespace transport {

// What the host's game hears of its players' connections. Each call comes from the
// host's event loop; it may call the HostServer back (send, deny, revoke).
class HostListener {
public:
    virtual ~HostListener() = default;
    // A player showed the seat's secret and was welcomed; he holds that much of the
    // record already (0 and 0 at first).
    virtual void SeatJoined(int seat, std::uint64_t readings, std::uint64_t steps) = 0;
    // The seat's connection ended: closed, dropped, revoked or replaced.
    virtual void SeatLeft(int seat) = 0;
    // A command of the seat's own, numbered after the last taken. The game answers Deny
    // when it does not take it.
    virtual void CommandFrom(int seat, const net::Command& command) = 0;
    virtual void CrcFrom(int seat, const net::WorldCrc& crc) = 0;
    // The seat's player is ready for the game to begin, or no longer (a host without a
    // lobby, or whose game has begun, lets it be).
    virtual void ReadyFrom(int /*seat*/, bool /*ready*/) {}
};

struct HostOptions {
    // The loopback address unless the person hosting opens the game to the network.
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0; // 0: a free one
    // The hash of the host's game data; a player whose data differ is refused.
    std::string data;
    // Origin headers allowed beside none (a program sends none) and the host's own page
    // (http:// and a name the Host header may give).
    QStringList origins;
    // Connections that have not shown a secret: at most this many at once, each for at
    // most this long from its first byte.
    int waitingMost = 16;
    std::chrono::milliseconds proveWithin{5000};
    // After a wrong secret from an address, its next hello is answered no sooner than
    // this, the pause doubling with each wrong one up to the most; forgotten after a
    // while without one.
    std::chrono::milliseconds wrongSecretPause{250};
    std::chrono::milliseconds wrongSecretPauseMost{8000};
    // A connection that has said nothing for idleBeforePing is pinged; one that does not
    // answer within pongWithin is dropped (a machine gone without a word), and its seat
    // may be joined again.
    std::chrono::milliseconds idleBeforePing{15000};
    std::chrono::milliseconds pongWithin{10000};
    // The bytes that may wait to be sent to one player; past them he is dropped.
    qint64 sendBufferMost = 8 << 20;
    // A second connection for a seat already played is refused (taken), or takes the
    // seat over (the first is told it was replaced).
    bool newConnectionTakesSeat = false;
    // The page's files, served on the same port to a plain GET (empty: none); the
    // WebSocket of a page served so (its Origin http://HOST:PORT as its Host names the
    // host) is the host's own page.
    QString pageDir;
};

// The address other machines reach this one at: its first IPv4 address on a network
// (empty: it has none).
QString NetworkAddress();

class HostServer : public QObject {
    Q_OBJECT
public:
    HostServer(HostOptions options, HostListener& listener, QObject* parent = nullptr);
    ~HostServer() override;
    HostServer(const HostServer&) = delete;
    HostServer& operator=(const HostServer&) = delete;

    // Starts listening; false with the system's reason when the address cannot be had.
    bool Listen(QString* error);
    quint16 Port() const;
    // The page's files are served beside the game.
    bool ServesPage() const { return m_page->Serves(); }

    // A new invitation for seat (1..15) with a new secret, naming the host as reachedAs
    // (the listening address when empty). An older invitation of the seat no longer
    // admits, and a connection that came with it is refused (revoked). None when the
    // system gives no secure random bytes.
    // keep: that secret instead of a new one (a host going on with its game: the
    // invitations it gave still admit).
    std::optional<net::Invitation> Invite(int seat, const QString& reachedAs = {},
                                          const std::optional<net::Secret>& keep = std::nullopt);
    // The seat's commands numbered up to last are taken already (a host going on with
    // its game): a command of the seat is taken only with a larger number.
    void TakenUpTo(int seat, std::uint64_t last);
    // Closes every connection with the words (the game has ended): nobody is refused.
    void CloseAll(const QString& why);
    // The seat's invitation no longer admits; its connection, if any, is refused (revoked).
    void Revoke(int seat);

    // Sends a frame to the seat's player; false when the seat has no connection, or when
    // its player had more waiting than the bound and was dropped.
    bool Send(int seat, const std::string& frame);
    // To every seated player.
    void SendAll(const std::string& frame);
    // Tells the seat's player his command of that number was not taken.
    void Deny(int seat, std::uint64_t sequence, net::Denial reason);

    // The seats played from a connection, in order.
    std::vector<int> Seated() const;
    // The connections that have not shown a secret (yet).
    int Waiting() const;

private:
    // One connection from its first byte: a socket until the WebSocket handshake, then a
    // WebSocket; seated once it has shown its seat's secret.
    struct Peer {
        std::uint64_t id = 0;
        QPointer<QTcpSocket> tcp; // until the WebSocket takes it over
        QPointer<QWebSocket> ws;
        QString address;
        int seat = 0;
        bool helloSeen = false;
        bool ending = false; // refused or closed: only its end is awaited
        std::chrono::steady_clock::time_point heard; // its last frame or pong
        bool pinged = false; // a ping awaits its pong, due by then:
        std::chrono::steady_clock::time_point pongDue;
    };
    // The wrong secrets from one address.
    struct Strikes {
        int count = 0;
        std::chrono::steady_clock::time_point last;
        std::chrono::steady_clock::time_point next; // no hello answered before
    };
    // A seat's secret, and those it had before (revoked).
    struct SeatSecrets {
        std::optional<net::Secret> secret;
        std::vector<net::Secret> revoked;
    };

    void Accept();
    void HandshakeBytes(QTcpSocket* tcp);
    bool HandshakeAllowed(const QByteArray& head) const;
    bool HostAllowed(const QByteArray& host) const;
    bool OriginAllowed(const QByteArray& origin) const;
    void Upgraded();
    void Text(QWebSocket* ws, const QString& text);
    void CheckHello(Peer& peer, const net::Hello& hello);
    void FromSeat(Peer& peer, const net::Frame& frame);
    void Refuse(Peer& peer, net::Refusal reason);
    void Close(Peer& peer, const char* why);
    void Drop(Peer& peer);
    void Gone(QWebSocket* ws);
    void Unseat(Peer& peer);
    bool SendTo(Peer& peer, const std::string& frame);
    Peer* Find(const QObject* socket);
    Peer* FindId(std::uint64_t id);
    void Sweep();
    void PingIdle();

    HostOptions m_options;
    HostListener& m_listener;
    QTcpServer m_tcp;
    QWebSocketServer m_ws;
    QTimer m_idleTimer;
    std::chrono::steady_clock::time_point m_lastTick; // of m_idleTimer
    std::vector<std::unique_ptr<Peer>> m_peers;
    std::uint64_t m_nextId = 1;
    std::array<Peer*, 16> m_seated{};
    std::array<std::uint64_t, 16> m_last{};
    std::array<SeatSecrets, 16> m_secrets{};
    std::map<QString, Strikes> m_strikes;
    std::unique_ptr<PageFiles> m_page;
};

} // namespace transport
