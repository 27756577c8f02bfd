// SPDX-License-Identifier: GPL-3.0-or-later
#include "netgame/desktop_join.h"

#include <QTimer>

#include <ostream>
#include <utility>
#include <variant>

#include "netgame/network_host.h"

namespace netgame {

DesktopJoin::DesktopJoin(GameController& game, net::Invitation invitation, std::string data, std::ostream& log,
                         QObject* parent)
    : QObject(parent), m_game(game), m_invitation(std::move(invitation)), m_data(std::move(data)), m_log(log),
      m_client(*this)
{
    connect(&m_game, &GameController::playerTurnReached, this, &DesktopJoin::AtStop);
    // Another game (a new one, a load) ends the one followed: he leaves it.
    connect(&m_game, &GameController::replayEnded, this, [this](const QString& words) {
        if (m_restarting || m_left)
            return;
        Leave();
        if (!words.isEmpty() && failed)
            failed(words);
    });
}

DesktopJoin::~DesktopJoin()
{
    m_game.disconnect(this);
    Leave();
}

void DesktopJoin::Join(std::chrono::milliseconds welcomeWithin)
{
    GameConductor& game = m_game.Conductor();
    m_left = false;
    m_refused = false;
    m_wasSeated = false;
    m_limit = std::chrono::seconds(0);
    EndLobby();
    game.SetNetworked(true);
    m_client.Join(m_invitation, m_data, game.HeldReadings(), game.HeldSteps(), welcomeWithin);
}

void DesktopJoin::Leave()
{
    if (m_left)
        return;
    m_left = true;
    EndLobby();
    m_client.Leave();
    GameConductor& game = m_game.Conductor();
    game.SetJoinedSeat(0, nullptr);
    game.SetNetworked(false);
}

void DesktopJoin::Welcomed(const net::Welcome&)
{
    m_wasSeated = true;
    m_catchUp = true;
}

void DesktopJoin::Refused(const net::Refused& refusal)
{
    m_refused = true;
    Later([this, refusal] {
        if (refused)
            refused(refusal);
    });
}

void DesktopJoin::Received(const net::Frame& frame)
{
    GameConductor& game = m_game.Conductor();
    if (const auto* part = std::get_if<net::RecordPart>(&frame)) {
        EndLobby(); // the game has begun
        // The host's clock of a turn starts as it sends the start or the rest before it.
        if (net::BringsATurn(*part))
            m_sinceTurn.start();
        RecordedGame more;
        more.readings = part->readings;
        more.steps = part->steps;
        platform::Message why;
        m_restarting = true;
        const bool followed = game.Follow(more, part->firstReading, part->firstStep, part->fresh, &why);
        m_restarting = false;
        if (part->fresh)
            m_crcSentAt = 0;
        if (!followed) {
            m_log << "the host's record does not go on from what is held: " << why.Text() << '\n';
            Leave();
            Later([this, words = m_game.Words(why)] {
                if (failed)
                    failed(words);
            });
            return;
        }
        // What he missed while away is played off screen; then he sees the present.
        if (std::exchange(m_catchUp, false))
            game.CatchUp();
        if (game.JoinedSeat() != Seat())
            game.SetJoinedSeat(Seat(), [this](const PlayerCommand& command) { Send(command); });
    } else if (const auto* lobby = std::get_if<net::Lobby>(&frame)) {
        // Joined before the game begins, he has missed nothing: its start is shown as
        // it comes, not caught up off screen.
        m_catchUp = false;
        m_lobby = *lobby;
        TellLobby();
    } else if (const auto* limit = std::get_if<net::TurnLimit>(&frame)) {
        m_limit = std::chrono::seconds(limit->seconds);
    } else if (const auto* denied = std::get_if<net::Denied>(&frame)) {
        m_log << "the host did not take command " << denied->sequence << ": " << net::DenialWord(denied->reason) << '\n';
        game.JoinedRefused(net::DeniedWords(denied->reason, game.World(), Seat()));
    }
}

void DesktopJoin::Closed(const std::string& why)
{
    if (m_left)
        return;
    EndLobby();
    // What was sent and not yet brought back may be sent again once he has joined again.
    m_game.Conductor().JoinedRefused(net::NotConnectedWords());
    if (m_refused)
        return;
    const bool over = why == kGameEnded;
    Later([this, over, why] {
        if (over && ended)
            ended();
        else if (!over && lost)
            lost(why);
    });
}

std::optional<std::chrono::milliseconds> DesktopJoin::TimeLeft() const
{
    if (m_limit.count() == 0 || !m_sinceTurn.isValid())
        return std::nullopt;
    // His own turn, or another remote seat's that the game, caught up, waits for.
    if (m_game.Conductor().RemoteTurnAwaited() == 0)
        return std::nullopt;
    return TimeLeftOf(m_limit, m_sinceTurn);
}

void DesktopJoin::Send(const PlayerCommand& command)
{
    if (!m_client.Send(net::SeatCommand(m_invitation.seat, m_game.Conductor().HeldSteps(), command)))
        Later([this] { m_game.Conductor().JoinedRefused(net::NotConnectedWords()); });
}

void DesktopJoin::AtStop()
{
    GameConductor& game = m_game.Conductor();
    if (const auto crc = net::CrcAtStop(game.Followed(), game.FollowedSteps(), m_crcSentAt, game.World()))
        m_client.Send(*crc);
}

bool DesktopJoin::SetReady(bool ready) { return m_lobby && m_client.Send(net::Ready{ready}); }

void DesktopJoin::EndLobby()
{
    if (!m_lobby)
        return;
    m_lobby.reset();
    TellLobby();
}

void DesktopJoin::TellLobby()
{
    Later([this] {
        if (lobbyChanged)
            lobbyChanged();
    });
}

void DesktopJoin::Later(std::function<void()> call) { QTimer::singleShot(0, this, std::move(call)); }

} // namespace netgame
