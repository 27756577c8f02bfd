// SPDX-License-Identifier: GPL-3.0-or-later
// A player's side of a networked game: his game is the host's record played as it
// grows (the conductor follows it), and comes to the same bytes. At his seat's turn he
// sends his command and his rest; after each rest he sends the CRC-32 of his world, and
// the host sends the record again from its start when it differs from the host's.
// Lives on the thread that owns the game.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "conduct/game_conductor.h"
#include "net/invitation.h"
#include "transport/join_client.h"

namespace netgame {

class NetworkPlayer final : public transport::JoinListener {
public:
    // choose gives the seat's command at its turn (none: he rests). log receives what
    // the player notes (a command denied, why the game could not go on).
    using Choice = std::function<std::optional<PlayerCommand>(const GameState& world)>;
    NetworkPlayer(GameConductor& game, net::Invitation invitation, std::string data, Choice choose, std::ostream& log);
    ~NetworkPlayer() override;
    NetworkPlayer(const NetworkPlayer&) = delete;
    NetworkPlayer& operator=(const NetworkPlayer&) = delete;

    // Joins and plays until the host ends the game (true) or the seat is refused, the
    // host does not welcome him in time or the connection is lost (false, the reason in
    // Failure).
    bool Play();
    // Joins and returns: the game is played as the host's frames come on the thread's
    // event loop, up to Over.
    void Start();
    bool Over() const { return m_over; }
    const std::string& Failure() const { return m_failure; }

    // transport::JoinListener
    void Welcomed(const net::Welcome& welcome) override;
    void Refused(const net::Refused& refused) override;
    void Received(const net::Frame& frame) override;
    void Closed(const std::string& why) override;

private:
    // The steps held played, the CRC sent after each rest, and the seat's turn taken.
    void PlayHeld();
    void TakeTurn();

    GameConductor& m_game;
    net::Invitation m_invitation;
    std::string m_data;
    Choice m_choose;
    std::ostream& m_log;
    transport::JoinClient m_client;
    bool m_over = false;
    bool m_ended = false;
    std::string m_failure;
    std::size_t m_turns = 0;          // the turns (starts and rests) played
    std::optional<std::size_t> m_acted; // the turn at which the seat last acted
};

} // namespace netgame
