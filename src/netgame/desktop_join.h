// SPDX-License-Identifier: GPL-3.0-or-later
// A player's side of a networked game played in the windows: the controller's game
// follows the host's record as it grows, each step at the record's pace on the event
// loop (the battles, the messages and the chronicle as at one screen), which it never
// holds up; what he missed (joined late or again, or sent the record anew) is played
// off screen at once. At the seat's turn the game offers it at this screen and sends his command
// and his rest to the host (GameConductor::SetJoinedSeat); after each rest the world's
// CRC-32 goes to the host. A connection lost leaves the game where it is: joined again
// with the same invitation, only what is not held yet is sent. Before the game begins
// he waits in the host's lobby, where he says whether he is ready.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <chrono>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "control/game_controller.h"
#include "net/invitation.h"
#include "transport/join_client.h"

namespace netgame {

class DesktopJoin : public QObject, public transport::JoinListener {
public:
    // invitation is kept here alone, for joining again.
    DesktopJoin(GameController& game, net::Invitation invitation, std::string data, std::ostream& log,
                QObject* parent = nullptr);
    ~DesktopJoin() override;
    DesktopJoin(const DesktopJoin&) = delete;
    DesktopJoin& operator=(const DesktopJoin&) = delete;

    // Connects (again) and asks for the seat, holding what the game has followed.
    void Join(std::chrono::milliseconds welcomeWithin = transport::JoinClient::kWelcomeWithin);
    // Leaves the game: the connection closed, the game left where it stands.
    void Leave();
    // The connection broken as a failing network breaks it: lost follows.
    void Drop() { m_client.Leave(); }
    RulerId Seat() const { return static_cast<RulerId>(m_invitation.seat); }
    // The host has taken him in and the connection is open.
    bool Seated() const { return m_client.Seated(); }
    // He has been seated since he last joined.
    bool WasSeated() const { return m_wasSeated; }
    // At a remote seat's turn (his own or another player's) in a game whose host limits
    // each turn: the time left, counted from the part of the record that brought the
    // turn (none: no limit, no remote seat's turn).
    std::optional<std::chrono::milliseconds> TimeLeft() const;
    // Before the game begins: the host's lobby as it last sent it (none before it has,
    // once the game's first record has come, or once the connection has ended).
    const std::optional<net::Lobby>& Lobby() const { return m_lobby; }
    // Tells the host, in the lobby, that he is ready to begin or no longer; false when
    // not in the lobby or not connected.
    bool SetReady(bool ready);

    // What the window tells the player; each called on the event loop, after the frame.
    std::function<void(const net::Refused&)> refused;
    // The connection was lost, or never made (why: the system's words).
    std::function<void(const std::string& why)> lost;
    // The host has ended the game (its end is in the record).
    std::function<void()> ended;
    // The record could not be followed (words say why): the game stops following it.
    std::function<void(const QString& words)> failed;
    // The lobby has changed, or ended (Lobby()).
    std::function<void()> lobbyChanged;

    // transport::JoinListener
    void Welcomed(const net::Welcome& welcome) override;
    void Refused(const net::Refused& refused) override;
    void Received(const net::Frame& frame) override;
    void Closed(const std::string& why) override;

private:
    void Send(const PlayerCommand& command);
    // At a stop of the game: the CRC of the world after a rest goes to the host.
    void AtStop();
    void Later(std::function<void()> call);
    // The lobby ended (the game begun, the connection ended), and lobbyChanged told.
    void EndLobby();
    void TellLobby();

    GameController& m_game;
    net::Invitation m_invitation;
    std::string m_data;
    std::ostream& m_log;
    transport::JoinClient m_client;
    std::size_t m_crcSentAt = 0; // the steps followed when the last CRC went
    bool m_wasSeated = false;
    bool m_refused = false;
    bool m_left = true;
    bool m_restarting = false; // a record begun anew ends the one followed
    bool m_catchUp = false; // the first record after a welcome is caught up off screen
    std::chrono::seconds m_limit{0}; // the host's limit of a turn (0: none)
    QElapsedTimer m_sinceTurn;       // since the record last brought a turn's start
    std::optional<net::Lobby> m_lobby;
};

} // namespace netgame
