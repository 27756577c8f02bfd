// SPDX-License-Identifier: GPL-3.0-or-later
// A networked game joined in the page: the page's engine is the player's side, as the
// windows' join is (netgame/desktop_join.cpp), and the page carries the frames over its
// WebSocket. The conductor follows the record and offers the seat's turn here.
#include <variant>

#include "net/invitation.h"
#include "net/joined_seat.h"
#include "net/sha256.h"
#include "web/web_game.h"

namespace web {

std::string WebGame::JoinBegin(const std::string& text)
{
    const std::optional<net::Invitation> invitation = net::ParseInvitation(text);
    if (!invitation)
        return "{\"badInvitation\":true}";
    if (m_joined != invitation->seat) {
        // Another seat, or the first: what was followed is another player's game.
        m_joined = invitation->seat;
        m_game.SetJoinedSeat(0, nullptr);
    }
    if (m_dataHash.empty())
        m_dataHash = net::DataHash(m_dataDir);
    m_refused.reset();
    m_closed.clear();
    m_lobby.reset();
    m_connected = true;
    m_game.SetNetworked(true);
    m_outgoing.push_back(net::Encode(net::Hello{net::kProtocolVersion, m_dataHash, invitation->seat, net::SecretText(invitation->key),
                                                m_game.HeldReadings(), m_game.HeldSteps()}));
    return Answer(nullptr);
}

std::string WebGame::JoinFrame(const std::string& text)
{
    const std::optional<net::Frame> frame = net::Decode(text);
    if (m_joined == 0 || !frame)
        return "{\"badFrame\":true}";
    if (const auto* refused = std::get_if<net::Refused>(&*frame)) {
        m_refused = *refused;
    } else if (const auto* lobby = std::get_if<net::Lobby>(&*frame)) {
        m_lobby = *lobby;
    } else if (const auto* part = std::get_if<net::RecordPart>(&*frame)) {
        m_lobby.reset(); // the game's start ends the lobby
        // A start or a rest brings the next turn: its time, if limited, counts from here.
        if (net::BringsATurn(*part))
            ++m_turnsBrought;
        RecordedGame more;
        more.readings = part->readings;
        more.steps = part->steps;
        platform::Message why;
        if (part->fresh)
            m_crcSentAt = 0;
        if (!m_game.Follow(more, part->firstReading, part->firstStep, part->fresh, &why)) {
            m_game.SetJoinedSeat(0, nullptr);
            m_game.SetNetworked(false);
            m_joined = 0;
            JsonText json;
            json.BeginObject().Field("followFailed", why).EndObject();
            return json.Take();
        }
        // The page plays what came as its next step: asked again here, since a step it
        // had been asked for may have given way to his command.
        if (!m_stepDue && m_game.FollowedSteps() < m_game.HeldSteps())
            m_stepDue = 0;
        if (m_game.JoinedSeat() != m_joined)
            m_game.SetJoinedSeat(m_joined, [this](const PlayerCommand& command) {
                if (m_connected)
                    m_outgoing.push_back(net::Encode(net::SeatCommand(m_joined, m_game.HeldSteps(), command)));
                else
                    m_game.JoinedRefused(net::NotConnectedWords());
            });
    } else if (const auto* denied = std::get_if<net::Denied>(&*frame)) {
        m_game.JoinedRefused(net::DeniedWords(denied->reason, m_game.World(), m_joined));
    } else if (const auto* limit = std::get_if<net::TurnLimit>(&*frame)) {
        m_turnLimit = limit->seconds;
    } else if (const auto* ping = std::get_if<net::Ping>(&*frame)) {
        m_outgoing.push_back(net::Encode(net::Pong{ping->number}));
    }
    return Answer(nullptr);
}

std::string WebGame::JoinReady(bool ready)
{
    // Said in the lobby alone: once the game has begun the host lets it be.
    if (m_joined != 0 && m_connected && m_lobby)
        m_outgoing.push_back(net::Encode(net::Ready{ready}));
    return Answer(nullptr);
}

std::string WebGame::JoinClosed(const std::string& why)
{
    m_lobby.reset();
    if (m_joined != 0) {
        // What was sent and not brought back may be sent again once he has joined again.
        m_game.JoinedRefused(net::NotConnectedWords());
        m_closed = why.empty() ? std::string("closed") : why;
        m_connected = false;
    }
    return Answer(nullptr);
}

void WebGame::JoinAtStop()
{
    if (m_joined == 0)
        return;
    if (const auto crc = net::CrcAtStop(m_game.Followed(), m_game.FollowedSteps(), m_crcSentAt, m_game.World()))
        m_outgoing.push_back(net::Encode(*crc));
}

void WebGame::JoinFields(JsonText& json)
{
    if (m_joined == 0)
        return;
    json.Key("joined").BeginObject().Field("seat", m_joined).Field("turn", m_game.JoinedTurn());
    json.Field("following", m_game.Following()).Field("behind", m_game.HeldSteps() - m_game.FollowedSteps());
    if (m_turnLimit > 0)
        json.Field("limit", m_turnLimit);
    // The remote seat whose turn the game waits for, and which part of the record
    // brought that turn: the page counts its time left from when it changes.
    if (const RulerId awaited = m_game.RemoteTurnAwaited())
        json.Field("awaited", awaited).Field("brought", m_turnsBrought);
    if (m_lobby) {
        json.Key("lobby").BeginArray();
        for (const net::LobbySeat& s : m_lobby->seats)
            json.BeginObject().Field("seat", s.seat).Field("joined", s.joined).Field("ready", s.ready).EndObject();
        json.EndArray();
    }
    if (m_refused) {
        json.Key("refused").BeginObject().Field("reason", net::RefusalWord(m_refused->reason));
        json.Field("version", m_refused->version).Field("data", m_refused->data).Field("ours", m_dataHash);
        json.Field("ourVersion", net::kProtocolVersion).EndObject();
        m_refused.reset();
    }
    if (!m_closed.empty())
        json.Field("closed", m_closed).Field("ended", m_closed == net::kGameEnded);
    m_closed.clear();
    json.Key("send").BeginArray();
    for (const std::string& frame : m_outgoing)
        json.Text(frame);
    json.EndArray().EndObject();
    m_outgoing.clear();
}

} // namespace web
