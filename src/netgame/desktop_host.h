// SPDX-License-Identifier: GPL-3.0-or-later
// The host's side of a networked game played in the windows: a NetworkHost driven by the
// game controller's signals on the interface thread's event loop, which it never holds
// up. At each stop of the game the new part of the record goes out to the players; at a
// remote seat's turn the game waits for his commands and his rest, which the controller
// then gives as a person's would be. Ends with its game (or when another takes its place).
#pragma once

#include <QObject>

#include <iosfwd>
#include <string>
#include <vector>

#include "control/game_controller.h"
#include "netgame/network_host.h"

namespace netgame {

class DesktopHost : public QObject {
public:
    DesktopHost(GameController& game, std::ostream& log, QObject* parent = nullptr);
    ~DesktopHost() override;
    DesktopHost(const DesktopHost&) = delete;
    DesktopHost& operator=(const DesktopHost&) = delete;

    // Listens and invites the seats, before the game begins. False with the reason.
    bool Open(transport::HostOptions options, const std::vector<RulerId>& seats, std::string* why);
    NetworkHost& Host() { return m_host; }
    // Whether the player of every seat invited has joined.
    bool AllJoined() const;
    // The remote seat whose turn the game waits for (0: none).
    RulerId WaitingFor() const { return m_waitingFor; }
    // Whether the game it hosts has ended (or given way to another).
    bool Ended() const { return m_ended; }

private:
    void AtStop();
    void End();

    GameController& m_game;
    NetworkHost m_host;
    RulerId m_waitingFor = 0;
    bool m_begun = false;
    bool m_ended = false;
};

} // namespace netgame
