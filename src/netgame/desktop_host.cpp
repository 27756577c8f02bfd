// SPDX-License-Identifier: GPL-3.0-or-later
#include "netgame/desktop_host.h"

#include <QTimer>

#include <algorithm>

namespace netgame {

DesktopHost::DesktopHost(GameController& game, std::ostream& log, QObject* parent)
    : QObject(parent), m_game(game), m_host(game.Conductor(), log)
{
    connect(&m_game, &GameController::gameBegun, this, [this] {
        m_begun = true;
        m_host.CloseLobby();
        m_game.Conductor().SetNetworked(true);
    });
    // Another game (a new one, a load) takes the hosted one's place: its players are let go.
    connect(&m_game, &GameController::worldReplaced, this, [this] {
        if (m_begun)
            End();
    });
    connect(&m_game, &GameController::playerTurnReached, this, &DesktopHost::AtStop);
    connect(&m_game, &GameController::gameWon, this, &DesktopHost::End);
    connect(&m_game, &GameController::gameEnded, this, &DesktopHost::End);
}

DesktopHost::~DesktopHost() = default;

bool DesktopHost::Open(transport::HostOptions options, const std::vector<RulerId>& seats, std::string* why)
{
    return m_host.Open(std::move(options), seats, {}, why, true);
}

bool DesktopHost::AllJoined() const
{
    const std::vector<int>& joined = m_host.Joined();
    return std::all_of(m_host.Invitations().begin(), m_host.Invitations().end(), [&](const net::Invitation& i) {
        return std::find(joined.begin(), joined.end(), i.seat) != joined.end();
    });
}

void DesktopHost::AtStop()
{
    if (m_ended || !m_begun)
        return;
    m_host.AtStop();
    const RulerId ruler = m_game.Session().TurnRuler();
    if (ruler == 0 || !GameState::IsRulerId(ruler) ||
        m_game.World().seats[static_cast<std::size_t>(ruler)] != Seat::Remote() || m_waitingFor == ruler)
        return;
    m_waitingFor = ruler;
    m_host.AwaitRest(ruler, [this] {
        // Given from the event loop, not from within the connection's frame.
        QTimer::singleShot(0, this, [this] {
            m_waitingFor = 0;
            if (!m_ended)
                m_game.Rest();
        });
    });
}

void DesktopHost::End()
{
    if (m_ended)
        return;
    m_ended = true;
    m_waitingFor = 0;
    m_game.Conductor().SetNetworked(false);
    m_host.AtStop();
    m_host.End(false);
}

} // namespace netgame
