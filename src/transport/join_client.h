// SPDX-License-Identifier: GPL-3.0-or-later
// A player's side of a networked game's connection, over Qt WebSockets: it connects to
// the host an invitation names, shows the seat's secret in its first frame (never in
// the request), and hands what the host sends to its owner. It answers the host's
// pings and numbers the seat's commands; the game behind it is the owner's. Lives on
// the thread that makes it.
#pragma once

#include <QObject>
#include <QTimer>
#include <QWebSocket>

#include <chrono>
#include <cstdint>
#include <string>

#include "net/invitation.h"
#include "net/protocol.h"

namespace transport {

class JoinListener {
public:
    virtual ~JoinListener() = default;
    // The host took the seat.
    virtual void Welcomed(const net::Welcome& welcome) = 0;
    // The host refused it; the connection closes.
    virtual void Refused(const net::Refused& refused) = 0;
    // Every other frame of the host's: the record, a denial, a pong.
    virtual void Received(const net::Frame& frame) = 0;
    // The connection ended, with the reason the host or the system gave.
    virtual void Closed(const std::string& why) = 0;
};

class JoinClient : public QObject {
    Q_OBJECT
public:
    explicit JoinClient(JoinListener& listener, QObject* parent = nullptr);
    ~JoinClient() override;
    JoinClient(const JoinClient&) = delete;
    JoinClient& operator=(const JoinClient&) = delete;

    // Connects to the invitation's host and asks for its seat, holding data (the game
    // data's hash) and that much of the host's record.
    // Given up on (Closed) when the host has not welcomed him within welcomeWithin.
    void Join(const net::Invitation& invitation, const std::string& data, std::uint64_t readings = 0,
              std::uint64_t steps = 0, std::chrono::milliseconds welcomeWithin = kWelcomeWithin);
    static constexpr std::chrono::milliseconds kWelcomeWithin{10000};
    // Sends a command of the seat's, numbered after the last; its number, 0 when the
    // seat is not (yet) the player's.
    std::uint64_t SendCommand(const PlayerCommand& command);
    // Sends any frame as it is; false when not connected, or when more waits to be sent
    // than the bound (the connection is dropped).
    bool Send(const net::Frame& frame);
    // Closes the connection.
    void Leave();
    // The host has welcomed the seat and the connection is open.
    bool Seated() const { return m_seated; }

private:
    void Text(const QString& text);
    void Ended();

    JoinListener& m_listener;
    QWebSocket m_socket;
    QTimer m_welcomeTimer; // from Join until the host welcomes him
    net::Hello m_hello;
    std::uint64_t m_last = 0;
    bool m_seated = false;
    bool m_ended = true;
    std::string m_why;
};

} // namespace transport
