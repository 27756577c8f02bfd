// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/host_server.h"

#include <QNetworkInterface>

#include <algorithm>

namespace transport {

QString NetworkAddress()
{
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() && !address.isLinkLocal())
            return address.toString();
    return {};
}

namespace {

using Clock = std::chrono::steady_clock;

// The most a handshake's request may hold before its blank line.
constexpr qint64 kHandshakeMost = 8192;
// How long a refused or closed connection may take to say goodbye before it is cut.
constexpr int kGoodbyeMs = 1000;
constexpr auto kPolicy = QWebSocketProtocol::CloseCodePolicyViolated;

QString Normalized(const QHostAddress& address)
{
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : address.toString();
}

bool ListensEverywhere(const QHostAddress& address)
{
    return address == QHostAddress::Any || address == QHostAddress::AnyIPv4 || address == QHostAddress::AnyIPv6;
}

} // namespace

HostServer::HostServer(HostOptions options, HostListener& listener, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_listener(listener),
      m_ws(QStringLiteral("velcor"), QWebSocketServer::NonSecureMode)
{
    m_ws.setHandshakeTimeout(m_options.proveWithin);
    // Without the page's files, a browser that asks for the page is told so.
    m_page = std::make_unique<PageFiles>(PageFiles::HoldsPage(m_options.pageDir) ? m_options.pageDir : QString());
    connect(&m_tcp, &QTcpServer::newConnection, this, &HostServer::Accept);
    connect(&m_ws, &QWebSocketServer::newConnection, this, &HostServer::Upgraded);
    // Often enough that a silent connection is pinged and dropped within a quarter of
    // the shorter time past its bound.
    const auto tick = std::min(m_options.idleBeforePing, m_options.pongWithin) / 4;
    m_idleTimer.setInterval(std::max(tick, std::chrono::milliseconds(10)));
    connect(&m_idleTimer, &QTimer::timeout, this, &HostServer::PingIdle);
}

HostServer::~HostServer()
{
    // The game hears nothing more; each WebSocket goes before the servers, with the
    // socket it took over.
    for (const auto& peer : m_peers) {
        if (peer->tcp)
            peer->tcp->disconnect(this);
        if (peer->ws) {
            peer->ws->disconnect(this);
            delete peer->ws;
        }
    }
}

bool HostServer::Listen(QString* error)
{
    // Every connection is taken from the listening socket at once and counted here.
    m_tcp.setMaxPendingConnections(m_options.waitingMost);
    if (m_tcp.listen(m_options.address, m_options.port)) {
        m_idleTimer.start();
        return true;
    }
    if (error)
        *error = m_tcp.errorString();
    return false;
}

quint16 HostServer::Port() const { return m_tcp.serverPort(); }

std::optional<net::Invitation> HostServer::Invite(int seat, const QString& reachedAs,
                                                  const std::optional<net::Secret>& keep)
{
    if (seat < 1 || seat >= static_cast<int>(m_seated.size()))
        return std::nullopt;
    const std::optional<net::Secret> secret = keep ? keep : net::NewSecret();
    if (!secret)
        return std::nullopt;
    Revoke(seat);
    m_secrets[static_cast<std::size_t>(seat)].secret = secret;
    net::Invitation invitation;
    invitation.host = (reachedAs.isEmpty() ? Normalized(m_options.address) : reachedAs).toStdString();
    invitation.port = Port();
    invitation.seat = seat;
    invitation.key = *secret;
    return invitation;
}

void HostServer::TakenUpTo(int seat, std::uint64_t last)
{
    if (seat >= 1 && seat < static_cast<int>(m_last.size()))
        m_last[static_cast<std::size_t>(seat)] = std::max(m_last[static_cast<std::size_t>(seat)], last);
}

void HostServer::CloseAll(const QString& why)
{
    for (const auto& peer : m_peers) {
        Unseat(*peer);
        if (peer->ending || !peer->ws)
            continue;
        peer->ending = true;
        if (peer->ws)
            peer->ws->close(QWebSocketProtocol::CloseCodeNormal, why);
    }
}

void HostServer::Revoke(int seat)
{
    if (seat < 1 || seat >= static_cast<int>(m_seated.size()))
        return;
    SeatSecrets& secrets = m_secrets[static_cast<std::size_t>(seat)];
    if (secrets.secret) {
        secrets.revoked.push_back(*secrets.secret);
        secrets.secret.reset();
    }
    if (Peer* seated = m_seated[static_cast<std::size_t>(seat)])
        Refuse(*seated, net::Refusal::Revoked);
}

bool HostServer::Send(int seat, const std::string& frame)
{
    Peer* peer = seat >= 1 && seat < static_cast<int>(m_seated.size()) ? m_seated[static_cast<std::size_t>(seat)] : nullptr;
    return peer && SendTo(*peer, frame);
}

void HostServer::SendAll(const std::string& frame)
{
    for (int seat : Seated())
        Send(seat, frame);
}

void HostServer::Deny(int seat, std::uint64_t sequence, net::Denial reason)
{
    Send(seat, net::Encode(net::Denied{sequence, reason}));
}

std::vector<int> HostServer::Seated() const
{
    std::vector<int> seats;
    for (std::size_t seat = 1; seat < m_seated.size(); ++seat)
        if (m_seated[seat])
            seats.push_back(static_cast<int>(seat));
    return seats;
}

int HostServer::Waiting() const
{
    return static_cast<int>(std::count_if(m_peers.begin(), m_peers.end(), [](const auto& peer) {
        return peer->seat == 0 && (peer->tcp || peer->ws);
    }));
}

// ---- Connections before the handshake ----

void HostServer::Accept()
{
    Sweep();
    while (QTcpSocket* tcp = m_tcp.nextPendingConnection()) {
        if (Waiting() >= m_options.waitingMost) {
            tcp->abort();
            tcp->deleteLater();
            continue;
        }
        auto peer = std::make_unique<Peer>();
        const std::uint64_t id = m_nextId++;
        peer->id = id;
        peer->tcp = tcp;
        peer->address = Normalized(tcp->peerAddress());
        m_peers.push_back(std::move(peer));
        tcp->setReadBufferSize(kHandshakeMost);
        connect(tcp, &QTcpSocket::readyRead, this, [this, tcp] { HandshakeBytes(tcp); });
        connect(tcp, &QTcpSocket::disconnected, this, [tcp] { tcp->deleteLater(); });
        // Whatever it has shown by then, a connection without a seat ends.
        QTimer::singleShot(m_options.proveWithin, this, [this, id] {
            if (Peer* p = FindId(id); p && p->seat == 0)
                Drop(*p);
        });
    }
}

void HostServer::HandshakeBytes(QTcpSocket* tcp)
{
    const QByteArray head = tcp->peek(kHandshakeMost);
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0 && head.size() < kHandshakeMost)
        return; // more to come
    tcp->disconnect(this);
    const QByteArray request = end < 0 ? QByteArray() : head.left(end + 2);
    // A page's file asked for: the connection is the page's, not a player's.
    if (const QList<QByteArray> hosts = HeaderValues(request, "host");
        end >= 0 && m_page && PageFiles::AsksForPage(request) && hosts.size() == 1 && HostAllowed(hosts[0])) {
        if (Peer* peer = Find(tcp))
            peer->tcp = nullptr;
        return m_page->Serve(tcp, request);
    }
    if (end < 0 || !HandshakeAllowed(request)) {
        tcp->write("HTTP/1.1 403 Forbidden\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
        tcp->disconnectFromHost();
        connect(tcp, &QTcpSocket::disconnected, tcp, &QObject::deleteLater);
        return;
    }
    tcp->setReadBufferSize(0);
    // The WebSocket server reads the request from the start and answers it.
    m_ws.handleConnection(tcp);
}

// The request's Origin is absent or the host's own page; its Host is the listening
// address. Each header once.
bool HostServer::HandshakeAllowed(const QByteArray& head) const
{
    const QList<QByteArray> hosts = HeaderValues(head, "host");
    const QList<QByteArray> origins = HeaderValues(head, "origin");
    if (hosts.size() != 1 || origins.size() > 1)
        return false;
    if (origins.size() == 1 && !OriginAllowed(origins[0]))
        return false;
    return HostAllowed(hosts[0]);
}

// One the host allows, or its own page: a name for it that a Host header may give.
bool HostServer::OriginAllowed(const QByteArray& origin) const
{
    if (m_options.origins.contains(QString::fromLatin1(origin)))
        return true;
    const QByteArray page = "http://";
    return origin.startsWith(page) && HostAllowed(origin.mid(page.size()));
}

bool HostServer::HostAllowed(const QByteArray& host) const
{
    // HOST:PORT, an IPv6 address in brackets.
    const qsizetype colon = host.lastIndexOf(':');
    if (colon <= 0 || host.mid(colon + 1) != QByteArray::number(Port()))
        return false;
    QByteArray name = host.left(colon);
    if (name.startsWith('[') && name.endsWith(']'))
        name = name.mid(1, name.size() - 2);
    else if (name.contains(':'))
        return false;
    if (name.toLower() == "localhost")
        return m_options.address.isLoopback();
    const QHostAddress address(QString::fromLatin1(name));
    if (address.isNull())
        return false; // a name another's DNS may point here
    if (!ListensEverywhere(m_options.address))
        return address.isEqual(m_options.address, QHostAddress::ConvertV4MappedToIPv4);
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    return std::any_of(own.begin(), own.end(), [&](const QHostAddress& a) {
        return a.isEqual(address, QHostAddress::ConvertV4MappedToIPv4);
    });
}

// ---- WebSockets ----

void HostServer::Upgraded()
{
    while (QWebSocket* ws = m_ws.nextPendingConnection()) {
        ws->setParent(this);
        const auto peer = std::find_if(m_peers.begin(), m_peers.end(), [&](const auto& p) {
            return !p->ws && p->tcp && p->tcp->peerPort() == ws->peerPort() &&
                   p->address == Normalized(ws->peerAddress());
        });
        if (peer == m_peers.end()) {
            ws->abort();
            ws->deleteLater();
            continue;
        }
        (*peer)->ws = ws;
        (*peer)->tcp = nullptr; // the WebSocket's now
        (*peer)->heard = Clock::now();
        ws->setMaxAllowedIncomingFrameSize(net::kFrameLimit);
        ws->setMaxAllowedIncomingMessageSize(net::kFrameLimit);
        connect(ws, &QWebSocket::textMessageReceived, this, [this, ws](const QString& text) { Text(ws, text); });
        connect(ws, &QWebSocket::binaryMessageReceived, this, [this, ws] {
            if (Peer* p = Find(ws))
                Close(*p, "binary");
        });
        connect(ws, &QWebSocket::disconnected, this, [this, ws] { Gone(ws); });
        connect(ws, &QWebSocket::pong, this, [this, ws] {
            if (Peer* p = Find(ws)) {
                p->heard = Clock::now();
                p->pinged = false;
            }
        });
    }
}

void HostServer::Text(QWebSocket* ws, const QString& text)
{
    Peer* peer = Find(ws);
    if (!peer || peer->ending)
        return;
    peer->heard = Clock::now();
    peer->pinged = false;
    const QByteArray bytes = text.toUtf8();
    const std::optional<net::Frame> frame = net::Decode(std::string_view(bytes.constData(), bytes.size()));
    if (!frame)
        return Close(*peer, "not a frame");
    if (peer->seat)
        return FromSeat(*peer, *frame);
    const auto* hello = std::get_if<net::Hello>(&*frame);
    if (!hello || peer->helloSeen)
        return Close(*peer, "hello first");
    peer->helloSeen = true;
    CheckHello(*peer, *hello);
}

void HostServer::CheckHello(Peer& peer, const net::Hello& hello)
{
    if (hello.version != net::kProtocolVersion)
        return Refuse(peer, net::Refusal::Version);

    // An address that gave wrong secrets waits before its next is weighed.
    const Clock::time_point now = Clock::now();
    const auto forgotten = [&](const Strikes& s) { return now - s.last > 4 * m_options.wrongSecretPauseMost; };
    if (m_strikes.size() > 256)
        std::erase_if(m_strikes, [&](const auto& entry) { return forgotten(entry.second); });
    Strikes& strikes = m_strikes[peer.address];
    if (strikes.count > 0 && forgotten(strikes))
        strikes = Strikes{};
    if (now < strikes.next) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(strikes.next - now);
        QTimer::singleShot(wait, peer.ws, [this, ws = peer.ws, hello] {
            if (Peer* p = Find(ws); p && !p->seat && !p->ending)
                CheckHello(*p, hello);
        });
        return;
    }

    const std::optional<net::Secret> key = net::ParseSecret(hello.key);
    const SeatSecrets& invite = m_secrets[static_cast<std::size_t>(hello.seat)];
    // The same comparison whether the seat has a secret or not.
    const bool admitted = key && net::SameSecret(invite.secret.value_or(net::Secret{}), *key) && invite.secret;
    if (!admitted) {
        const bool revoked = key && std::any_of(invite.revoked.begin(), invite.revoked.end(),
                                                [&](const net::Secret& s) { return net::SameSecret(s, *key); });
        if (revoked)
            return Refuse(peer, net::Refusal::Revoked);
        ++strikes.count;
        strikes.last = now;
        strikes.next = now + std::min(m_options.wrongSecretPauseMost,
                                      m_options.wrongSecretPause * (1 << std::min(strikes.count - 1, 16)));
        return Refuse(peer, net::Refusal::Secret);
    }
    if (hello.data != m_options.data)
        return Refuse(peer, net::Refusal::Data);
    Peer*& seated = m_seated[static_cast<std::size_t>(hello.seat)];
    if (seated) {
        if (!m_options.newConnectionTakesSeat)
            return Refuse(peer, net::Refusal::Taken);
        Refuse(*seated, net::Refusal::Replaced);
    }
    peer.seat = hello.seat;
    seated = &peer;
    if (SendTo(peer, net::Encode(net::Welcome{hello.seat, m_last[static_cast<std::size_t>(hello.seat)]})))
        m_listener.SeatJoined(hello.seat, hello.readings, hello.steps);
}

void HostServer::FromSeat(Peer& peer, const net::Frame& frame)
{
    const int seat = peer.seat;
    if (const auto* command = std::get_if<net::Command>(&frame)) {
        std::uint64_t& last = m_last[static_cast<std::size_t>(seat)];
        if (command->seat != seat)
            return Deny(seat, command->sequence, net::Denial::Seat);
        if (command->sequence <= last)
            return Deny(seat, command->sequence, net::Denial::Replayed);
        last = command->sequence;
        return m_listener.CommandFrom(seat, *command);
    }
    if (const auto* crc = std::get_if<net::WorldCrc>(&frame))
        return m_listener.CrcFrom(seat, *crc);
    if (const auto* ready = std::get_if<net::Ready>(&frame))
        return m_listener.ReadyFrom(seat, ready->ready);
    if (const auto* ping = std::get_if<net::Ping>(&frame)) {
        SendTo(peer, net::Encode(net::Pong{ping->number}));
        return;
    }
    if (!std::holds_alternative<net::Pong>(frame))
        Close(peer, "not a player's frame");
}

void HostServer::Refuse(Peer& peer, net::Refusal reason)
{
    SendTo(peer, net::Encode(net::Refused{reason, net::kProtocolVersion, m_options.data}));
    Close(peer, net::RefusalWord(reason));
}

void HostServer::Close(Peer& peer, const char* why)
{
    Unseat(peer);
    if (peer.ending || !peer.ws)
        return;
    peer.ending = true;
    peer.ws->close(kPolicy, QString::fromLatin1(why));
    QTimer::singleShot(kGoodbyeMs, peer.ws, [this, ws = peer.ws] {
        if (Peer* p = Find(ws))
            Drop(*p);
    });
}

void HostServer::Drop(Peer& peer)
{
    Unseat(peer);
    peer.ending = true;
    if (peer.ws) {
        peer.ws->abort();
        peer.ws->deleteLater();
    } else if (peer.tcp) {
        peer.tcp->abort();
        peer.tcp->deleteLater();
    }
}

void HostServer::Gone(QWebSocket* ws)
{
    if (Peer* peer = Find(ws)) {
        Unseat(*peer);
        peer->ending = true;
    }
    ws->deleteLater();
}

void HostServer::Unseat(Peer& peer)
{
    const int seat = peer.seat;
    if (!seat || m_seated[static_cast<std::size_t>(seat)] != &peer)
        return;
    m_seated[static_cast<std::size_t>(seat)] = nullptr;
    m_listener.SeatLeft(seat);
}

bool HostServer::SendTo(Peer& peer, const std::string& frame)
{
    if (!peer.ws || peer.ending)
        return false;
    if (peer.ws->bytesToWrite() + static_cast<qint64>(frame.size()) > m_options.sendBufferMost) {
        Drop(peer); // a player who does not read is not waited for
        return false;
    }
    peer.ws->sendTextMessage(QString::fromLatin1(frame.data(), static_cast<qsizetype>(frame.size())));
    return true;
}

HostServer::Peer* HostServer::FindId(std::uint64_t id)
{
    const auto found = std::find_if(m_peers.begin(), m_peers.end(), [&](const auto& p) { return p->id == id; });
    return found == m_peers.end() ? nullptr : found->get();
}

HostServer::Peer* HostServer::Find(const QObject* socket)
{
    if (!socket)
        return nullptr;
    const auto found = std::find_if(m_peers.begin(), m_peers.end(),
                                    [&](const auto& p) { return p->ws == socket || p->tcp == socket; });
    return found == m_peers.end() ? nullptr : found->get();
}

// Pings each open connection that has said nothing for a while, and drops one that
// has not answered the ping in time: its machine may be gone without a word.
void HostServer::PingIdle()
{
    const Clock::time_point now = Clock::now();
    // A loop held up (the host's game playing on this thread) has not read the pongs
    // that came meanwhile: the time it was held up is not counted against them.
    const auto tick = std::chrono::duration_cast<Clock::duration>(m_idleTimer.intervalAsDuration());
    const Clock::duration held = m_lastTick == Clock::time_point{} ? Clock::duration{} : now - m_lastTick - tick;
    m_lastTick = now;
    for (const auto& peer : m_peers) {
        if (!peer->ws || peer->ending)
            continue;
        if (peer->pinged && held > tick)
            peer->pongDue += held;
        if (peer->pinged && now >= peer->pongDue) {
            Drop(*peer);
        } else if (!peer->pinged && now - peer->heard >= m_options.idleBeforePing) {
            peer->pinged = true;
            peer->pongDue = now + m_options.pongWithin;
            peer->ws->ping();
        }
    }
}

// Forgets the connections whose sockets are gone.
void HostServer::Sweep()
{
    std::erase_if(m_peers, [&](const auto& p) {
        const bool gone = !p->tcp && !p->ws;
        if (gone)
            Unseat(*p);
        return gone;
    });
}

} // namespace transport
