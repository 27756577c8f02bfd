// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/join_client.h"

#include <QUrl>

#include <algorithm>

namespace transport {

namespace {

// The bytes a player may leave waiting to be sent: his frames are few and small.
constexpr qint64 kSendBufferMost = 1 << 20;

} // namespace

JoinClient::JoinClient(JoinListener& listener, QObject* parent) : QObject(parent), m_listener(listener)
{
    m_socket.setMaxAllowedIncomingFrameSize(net::kFrameLimit);
    m_socket.setMaxAllowedIncomingMessageSize(net::kFrameLimit);
    connect(&m_socket, &QWebSocket::connected, this, [this] { Send(m_hello); });
    connect(&m_socket, &QWebSocket::textMessageReceived, this, &JoinClient::Text);
    connect(&m_socket, &QWebSocket::binaryMessageReceived, this, [this] {
        m_why = "binary";
        m_socket.close(QWebSocketProtocol::CloseCodeDatatypeNotSupported);
    });
    m_welcomeTimer.setSingleShot(true);
    connect(&m_welcomeTimer, &QTimer::timeout, this, [this] {
        if (m_seated)
            return;
        m_why = "the host did not answer in time";
        m_socket.abort();
    });
    // Closed, dropped, or never connected.
    connect(&m_socket, &QWebSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState)
            Ended();
    });
}

JoinClient::~JoinClient() { m_socket.disconnect(this); }

void JoinClient::Join(const net::Invitation& invitation, const std::string& data, std::uint64_t readings,
                      std::uint64_t steps, std::chrono::milliseconds welcomeWithin)
{
    Leave();
    m_hello = net::Hello{net::kProtocolVersion, data, invitation.seat, net::SecretText(invitation.key), readings, steps};
    m_last = 0;
    m_seated = false;
    m_ended = false;
    m_why.clear();
    // The secret stays out of the request: the first frame carries it.
    QUrl url;
    url.setScheme(QStringLiteral("ws"));
    url.setHost(QString::fromStdString(invitation.host));
    url.setPort(invitation.port);
    url.setPath(QStringLiteral("/"));
    m_welcomeTimer.start(welcomeWithin);
    m_socket.open(url);
}

std::uint64_t JoinClient::SendCommand(const PlayerCommand& command)
{
    if (!m_seated)
        return 0;
    const std::uint64_t sequence = m_last + 1;
    if (!Send(net::Command{m_hello.seat, sequence, command}))
        return 0;
    m_last = sequence;
    return sequence;
}

bool JoinClient::Send(const net::Frame& frame)
{
    if (m_socket.state() != QAbstractSocket::ConnectedState)
        return false;
    const std::string text = net::Encode(frame);
    if (m_socket.bytesToWrite() + static_cast<qint64>(text.size()) > kSendBufferMost) {
        m_why = "the host does not read";
        m_socket.abort();
        return false;
    }
    m_socket.sendTextMessage(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    return true;
}

void JoinClient::Leave()
{
    if (m_socket.state() != QAbstractSocket::UnconnectedState)
        m_socket.abort();
}

void JoinClient::Text(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    const std::optional<net::Frame> frame = net::Decode(std::string_view(bytes.constData(), bytes.size()));
    // The host sends no hello, command or CRC.
    if (!frame || std::holds_alternative<net::Hello>(*frame) || std::holds_alternative<net::Command>(*frame) ||
        std::holds_alternative<net::WorldCrc>(*frame)) {
        m_why = "not a frame of the host's";
        m_socket.close(QWebSocketProtocol::CloseCodePolicyViolated);
        return;
    }
    if (const auto* welcome = std::get_if<net::Welcome>(&*frame)) {
        m_welcomeTimer.stop();
        m_seated = true;
        m_last = std::max(m_last, welcome->last);
        m_listener.Welcomed(*welcome);
    } else if (const auto* refused = std::get_if<net::Refused>(&*frame)) {
        m_seated = false;
        m_why = net::RefusalWord(refused->reason);
        m_listener.Refused(*refused);
        m_socket.close();
    } else if (const auto* ping = std::get_if<net::Ping>(&*frame)) {
        Send(net::Pong{ping->number});
    } else {
        m_listener.Received(*frame);
    }
}

void JoinClient::Ended()
{
    if (m_ended)
        return;
    m_ended = true;
    m_seated = false;
    m_welcomeTimer.stop();
    std::string why = m_why;
    if (why.empty())
        why = (m_socket.closeReason().isEmpty() ? m_socket.errorString() : m_socket.closeReason()).toStdString();
    m_listener.Closed(why);
}

} // namespace transport
