// SPDX-License-Identifier: GPL-3.0-or-later
// The host's side of a networked game: the host's game is the authority. Each remote
// seat's command is checked by the conductor with its seat, and taken into the record
// at once; the record is written to its file after every command and streamed to every
// player, whose game plays it as it grows. After each rest a player sends the CRC-32 of
// his world; one that differs from the host's is logged and sent the record again from
// its start. Lives on the thread that owns the game, whose event loop runs the
// connections while the game waits for a remote seat.
#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <chrono>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "conduct/game_conductor.h"
#include "net/invitation.h"
#include "net/joined_seat.h"
#include "transport/host_server.h"

namespace netgame {

// The CRC, the turns' ends, the sequence numbers and the end's words a player's side
// shares (net/joined_seat.h).
inline std::uint32_t WorldCrc(const GameState& world) { return net::WorldCrc32(world); }
using net::CommandSequence;
using net::EndsATurn;
using net::kGameEnded;
using net::RestSequence;

// What is left of a turn of limit begun when since was started, never below nothing.
inline std::chrono::milliseconds TimeLeftOf(std::chrono::seconds limit, const QElapsedTimer& since)
{
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::milliseconds(limit) - std::chrono::milliseconds(since.elapsed()));
}

class NetworkHost final : public transport::HostListener {
public:
    // log receives what the host notes (a player's world that differed, a seat left).
    NetworkHost(GameConductor& game, std::ostream& log);
    ~NetworkHost() override;
    NetworkHost(const NetworkHost&) = delete;
    NetworkHost& operator=(const NetworkHost&) = delete;

    // Listens as options say and invites each seat; a secret kept for a seat (the host
    // going on with its game) admits again. False with the reason.
    // fresh: the game has not begun yet (whatever record the conductor holds is another
    // game's), and the players who join before it are sent its start when it begins.
    bool Open(transport::HostOptions options, const std::vector<RulerId>& seats,
              const std::map<int, net::Secret>& kept, std::string* why, bool fresh = false);
    // The address the invitations name when the host listens on every address (empty:
    // the listening address).
    void InviteAs(QString address) { m_reachedAs = std::move(address); }
    const std::vector<net::Invitation>& Invitations() const { return m_invitations; }
    // The record written after every command (empty: none).
    void KeepRecordIn(std::string path) { m_recordFile = std::move(path); }
    // Each remote seat's turn lasts at most limit (zero: no limit), timed on the
    // system's monotonic clock from the moment the host waits for his rest: when it runs
    // out the host rests the seat, a rest as any other in the record. Every player is
    // told the limit when he joins. Set before the players join.
    void LimitTurns(std::chrono::seconds limit) { m_limit = limit; }
    std::chrono::seconds TurnLimit() const { return m_limit; }
    // The time left to the remote seat the host waits for (none: no limit, or no turn
    // limited now).
    std::optional<std::chrono::milliseconds> TimeLeft() const;

    // Runs the connections until each seat has had its player once.
    void WaitForPlayers();

    // The lobby, open from a fresh Open until the game begins: every player is sent the
    // invited seats, who holds each and who is ready, at each change, and says himself
    // whether he is ready. A seat whose player leaves is no longer ready.
    bool InLobby() const { return m_lobby; }
    net::Lobby LobbyNow() const;
    // Every invited seat is held by a player who is ready.
    bool AllReady() const;
    // The invited seats that no player holds now, in order.
    std::vector<RulerId> Absent() const;
    // Runs the connections until every seat is ready, or until within has passed (none:
    // without end). The lobby stays open: the game's beginning closes it.
    void WaitInLobby(std::optional<std::chrono::milliseconds> within);
    // The game begins: the lobby closes, ready marks are let be from now on.
    void CloseLobby() { m_lobby = false; }
    // At a stop of the game (the computers have played up to a player's turn or to the
    // end): the host's CRC of the world noted, the new part of the record sent.
    void AtStop();
    // The remote seat's turn: runs the connections until his rest comes, the commands
    // before it given to the conductor as they come (each taken or denied).
    void WaitForRest(RulerId seat);
    // The same without waiting, for a game driven by an event loop: rested is called
    // when his rest has come (his commands before it given as they came).
    void AwaitRest(RulerId seat, std::function<void()> rested);
    // The seats whose players have joined at least once.
    const std::vector<int>& Joined() const { return m_joined; }
    // Called after a player joins or leaves.
    void OnPlayers(std::function<void()> changed) { m_playersChanged = std::move(changed); }
    // The rest of the record sent and every connection closed: the game has ended.
    // wait: the closing frames are sent before it returns (the program ends next).
    void End(bool wait = true);

    transport::HostServer* Server() { return m_server.get(); }

    // transport::HostListener
    void SeatJoined(int seat, std::uint64_t readings, std::uint64_t steps) override;
    void SeatLeft(int seat) override;
    void CommandFrom(int seat, const net::Command& command) override;
    void CrcFrom(int seat, const net::WorldCrc& crc) override;
    void ReadyFrom(int seat, bool ready) override;

private:
    // Sends the record's part that has not gone out yet to every player, and writes the
    // record to its file when it has grown; atStop: the game has stopped (at a turn).
    void Stream(bool atStop = false);
    void SendRecord(int seat, std::size_t fromReading, std::size_t fromStep, bool fresh);
    // The wait for seat's rest begins (the turn's clock with it), and ends.
    void BeginWait(RulerId seat);
    void RestCame();
    void WriteRecord();
    // Every player is sent the lobby as it is now, and the host's own view told.
    void LobbyChanged();

    GameConductor& m_game;
    std::ostream& m_log;
    std::unique_ptr<transport::HostServer> m_server;
    std::vector<net::Invitation> m_invitations;
    std::string m_recordFile;
    RecordedGame m_sent;       // the record as the players have been sent it
    std::size_t m_stopSteps = 0; // the record's steps when the game last stopped
    std::map<std::size_t, std::uint32_t> m_crcs; // the host's world's CRC after so many steps
    std::vector<int> m_joined;
    bool m_lobby = false;
    std::vector<int> m_ready; // in the lobby, the seats whose player is ready
    RulerId m_waitingFor = 0;
    bool m_restCame = false;
    std::chrono::seconds m_limit{0};
    QTimer m_turnTimer;         // the limited turn's end
    QElapsedTimer m_turnClock;  // since the limited turn began
    std::uint64_t m_turnFloor = 0; // a limited turn's commands are numbered above this
    std::function<void()> m_rested;
    QString m_reachedAs;
    std::function<void()> m_playersChanged;
};

} // namespace netgame
