// SPDX-License-Identifier: GPL-3.0-or-later
#include "netgame/network_player.h"

#include <QCoreApplication>

#include <algorithm>
#include <ostream>
#include <variant>

#include "netgame/network_host.h"

namespace netgame {

NetworkPlayer::NetworkPlayer(GameConductor& game, net::Invitation invitation, std::string data, Choice choose,
                             std::ostream& log)
    : m_game(game), m_invitation(std::move(invitation)), m_data(std::move(data)), m_choose(std::move(choose)),
      m_log(log), m_client(*this)
{
}

NetworkPlayer::~NetworkPlayer() = default;

bool NetworkPlayer::Play()
{
    Start();
    while (!m_over)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return m_ended && m_failure.empty();
}

void NetworkPlayer::Start() { m_client.Join(m_invitation, m_data); }

void NetworkPlayer::Welcomed(const net::Welcome&) {}

void NetworkPlayer::Refused(const net::Refused& refused)
{
    switch (refused.reason) {
    case net::Refusal::Version:
        m_failure = "the host plays version " + std::to_string(refused.version) + " of the network protocol, this program " +
                    std::to_string(net::kProtocolVersion);
        break;
    case net::Refusal::Data:
        m_failure = "the host's game data differ from this program's (the host's " + refused.data + ", this " + m_data + ")";
        break;
    default:
        m_failure = std::string("the host refused the seat: ") + net::RefusalWord(refused.reason);
        break;
    }
}

void NetworkPlayer::Received(const net::Frame& frame)
{
    if (const auto* part = std::get_if<net::RecordPart>(&frame)) {
        if (part->fresh)
            m_turns = 0, m_acted.reset();
        RecordedGame more;
        more.readings = part->readings;
        more.steps = part->steps;
        platform::Message why;
        if (!m_game.Follow(more, part->firstReading, part->firstStep, part->fresh, &why)) {
            m_failure = "the host's record does not go on from what is held: " + why.Text();
            m_client.Leave();
            return;
        }
        PlayHeld();
    } else if (const auto* lobby = std::get_if<net::Lobby>(&frame)) {
        // A player here is ready as soon as he has joined.
        const int seat = m_invitation.seat;
        if (std::any_of(lobby->seats.begin(), lobby->seats.end(),
                        [seat](const net::LobbySeat& s) { return s.seat == seat && !s.ready; }))
            m_client.Send(net::Ready{true});
    } else if (const auto* denied = std::get_if<net::Denied>(&frame)) {
        m_log << "the host did not take command " << denied->sequence << ": " << net::DenialWord(denied->reason) << '\n';
    }
}

void NetworkPlayer::Closed(const std::string& why)
{
    m_over = true;
    m_ended = why == kGameEnded;
    if (!m_ended && m_failure.empty())
        m_failure = "the connection to the host was lost (" + why + "): join again with the same invitation";
}

void NetworkPlayer::PlayHeld()
{
    for (;;) {
        const std::size_t at = m_game.FollowedSteps();
        if (at >= m_game.HeldSteps())
            break;
        platform::Message why;
        if (!m_game.FollowStep(&why)) {
            if (!m_game.Following()) {
                m_failure = "the host's record could not be played: " + why.Text();
                m_client.Leave();
            }
            return;
        }
        // A start or a rest played to the next stop: the host hears what the world came to.
        if (const RecordedGame* followed = m_game.Followed(); followed && EndsATurn(followed->steps[at])) {
            ++m_turns;
            m_client.Send(net::WorldCrc{m_game.FollowedSteps(), WorldCrc(m_game.World())});
        }
    }
    TakeTurn();
}

void NetworkPlayer::TakeTurn()
{
    const GameState& world = m_game.World();
    const RulerId seat = m_invitation.seat;
    const TurnPhase phase = m_game.Session().Phase();
    if (m_game.Session().TurnRuler() != seat || world.seats[static_cast<std::size_t>(seat)] != Seat::Remote() ||
        (phase != TurnPhase::AwaitingCommand && phase != TurnPhase::CommandGiven) || m_acted == m_turns)
        return;
    m_acted = m_turns;
    const std::size_t held = m_game.HeldSteps();
    if (phase == TurnPhase::AwaitingCommand)
        if (const std::optional<PlayerCommand> command = m_choose ? m_choose(world) : std::nullopt;
            command && !std::holds_alternative<command::Rest>(*command))
            m_client.Send(net::Command{seat, CommandSequence(held), *command});
    m_client.Send(net::Command{seat, RestSequence(held), command::Rest{}});
}

} // namespace netgame
