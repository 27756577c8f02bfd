// SPDX-License-Identifier: GPL-3.0-or-later
#include "netgame/network_host.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <ostream>
#include <utility>
#include <variant>


namespace netgame {

NetworkHost::NetworkHost(GameConductor& game, std::ostream& log) : m_game(game), m_log(log)
{
    m_turnTimer.setSingleShot(true);
    m_turnTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_turnTimer, &QTimer::timeout, [this] {
        if (m_waitingFor == 0 || m_restCame)
            return;
        m_log << "seat " << m_waitingFor << ": the turn's time ran out: the seat rests\n" << std::flush;
        RestCame();
    });
}

NetworkHost::~NetworkHost() = default;

bool NetworkHost::Open(transport::HostOptions options, const std::vector<RulerId>& seats,
                       const std::map<int, net::Secret>& kept, std::string* why, bool fresh)
{
    m_server = std::make_unique<transport::HostServer>(std::move(options), *this);
    QString error;
    if (!m_server->Listen(&error)) {
        if (why)
            *why = error.toStdString();
        return false;
    }
    // Every number a seat's command took is at most twice the steps of the record so far.
    const std::uint64_t taken =
        fresh ? 0 : 2 * static_cast<std::uint64_t>(m_game.Recorder() ? m_game.Recorder()->Record().steps.size() : 0);
    for (RulerId seat : seats) {
        const auto keep = kept.find(seat);
        std::optional<net::Invitation> invitation =
            m_server->Invite(seat, m_reachedAs, keep == kept.end() ? std::nullopt : std::optional(keep->second));
        if (!invitation) {
            if (why)
                *why = "the system gives no secure random bytes for the invitations";
            return false;
        }
        m_server->TakenUpTo(seat, taken);
        m_invitations.push_back(*invitation);
    }
    m_lobby = fresh;
    return true;
}

net::Lobby NetworkHost::LobbyNow() const
{
    const std::vector<int> seated = m_server ? m_server->Seated() : std::vector<int>();
    const auto has = [](const std::vector<int>& seats, int seat) {
        return std::find(seats.begin(), seats.end(), seat) != seats.end();
    };
    net::Lobby lobby;
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (std::any_of(m_invitations.begin(), m_invitations.end(), [r](const net::Invitation& i) { return i.seat == r; }))
            lobby.seats.push_back({r, has(seated, r), has(seated, r) && has(m_ready, r)});
    return lobby;
}

bool NetworkHost::AllReady() const
{
    const net::Lobby lobby = LobbyNow();
    return std::all_of(lobby.seats.begin(), lobby.seats.end(), [](const net::LobbySeat& s) { return s.ready; });
}

std::vector<RulerId> NetworkHost::Absent() const
{
    std::vector<RulerId> absent;
    for (const net::LobbySeat& s : LobbyNow().seats)
        if (!s.joined)
            absent.push_back(s.seat);
    return absent;
}

void NetworkHost::WaitInLobby(std::optional<std::chrono::milliseconds> within)
{
    QTimer deadline; // its end wakes the loop when nobody says anything
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer); // a coarse timer may end a little early
    if (within)
        deadline.start(*within);
    while (!AllReady() && !(within && !deadline.isActive()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void NetworkHost::ReadyFrom(int seat, bool ready)
{
    if (!m_lobby)
        return;
    const auto at = std::find(m_ready.begin(), m_ready.end(), seat);
    if (ready == (at != m_ready.end()))
        return;
    if (ready)
        m_ready.push_back(seat);
    else
        m_ready.erase(at);
    m_log << "seat " << seat << (ready ? " is ready\n" : " is not ready\n") << std::flush;
    LobbyChanged();
}

void NetworkHost::LobbyChanged()
{
    if (m_lobby && m_server)
        m_server->SendAll(net::Encode(LobbyNow()));
    if (m_playersChanged)
        m_playersChanged();
}

void NetworkHost::WaitForPlayers()
{
    Stream();
    const auto allCame = [&] {
        return std::all_of(m_invitations.begin(), m_invitations.end(), [&](const net::Invitation& invitation) {
            return std::find(m_joined.begin(), m_joined.end(), invitation.seat) != m_joined.end();
        });
    };
    while (!allCame())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void NetworkHost::AtStop()
{
    if (const GameRecorder* recorder = m_game.Recorder()) {
        // Keyed by the steps up to the rest (or start) that led here: a seat changing
        // hands after it changes no byte of the world.
        const RecordedGame record = recorder->Record();
        std::size_t steps = record.steps.size();
        while (steps > 0 && std::holds_alternative<SeatChange>(record.steps[steps - 1]))
            --steps;
        m_crcs[steps] = WorldCrc(m_game.World());
    }
    Stream(true);
}

void NetworkHost::WaitForRest(RulerId seat)
{
    BeginWait(seat);
    while (!m_restCame)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    m_waitingFor = 0;
}

void NetworkHost::AwaitRest(RulerId seat, std::function<void()> rested)
{
    BeginWait(seat);
    m_rested = std::move(rested);
}

void NetworkHost::BeginWait(RulerId seat)
{
    Stream();
    m_waitingFor = seat;
    m_restCame = false;
    if (m_limit.count() == 0)
        return;
    // The player numbers his commands from the record he holds at his turn, at least
    // what had been sent when the game stopped here: a number at most twice that was
    // given at an earlier turn, and came after the host had rested the seat.
    m_turnFloor = 2 * static_cast<std::uint64_t>(m_stopSteps);
    m_turnClock.start();
    m_turnTimer.start(m_limit);
}

void NetworkHost::RestCame()
{
    m_turnTimer.stop();
    m_turnClock.invalidate();
    m_restCame = true; // the game's loop gives the rest
    if (m_rested) {
        m_waitingFor = 0;
        std::exchange(m_rested, {})();
    }
}

std::optional<std::chrono::milliseconds> NetworkHost::TimeLeft() const
{
    if (m_waitingFor == 0 || m_restCame || !m_turnClock.isValid())
        return std::nullopt;
    return TimeLeftOf(m_limit, m_turnClock);
}

void NetworkHost::End(bool wait)
{
    m_turnTimer.stop();
    m_turnClock.invalidate();
    Stream();
    if (!m_server)
        return;
    m_server->CloseAll(QString::fromLatin1(kGameEnded));
    if (!wait)
        return;
    // The closing frames go out before the program ends.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void NetworkHost::SeatJoined(int seat, std::uint64_t readings, std::uint64_t steps)
{
    if (std::find(m_joined.begin(), m_joined.end(), seat) == m_joined.end())
        m_joined.push_back(seat);
    m_log << "seat " << seat << " joined\n" << std::flush;
    LobbyChanged();
    // A player who holds more than has been sent holds another game: he begins again.
    const bool fresh = steps == 0 || readings > m_sent.readings.size() || steps > m_sent.steps.size();
    if (m_limit.count() > 0)
        m_server->Send(seat, net::Encode(net::TurnLimit{m_limit.count()}));
    // Before the game begins there is no record to send: the start, when it comes, goes
    // out afresh to everyone.
    if (!m_sent.steps.empty())
        SendRecord(seat, fresh ? 0 : readings, fresh ? 0 : steps, fresh);
}

void NetworkHost::SeatLeft(int seat)
{
    m_log << "seat " << seat << " left\n" << std::flush;
    std::erase(m_ready, seat);
    LobbyChanged();
}

void NetworkHost::CommandFrom(int seat, const net::Command& command)
{
    if (seat != m_waitingFor || m_restCame || (m_limit.count() > 0 && command.sequence <= m_turnFloor))
        return m_server->Deny(seat, command.sequence, net::Denial::Turn);
    if (std::holds_alternative<command::Rest>(command.command))
        return RestCame();
    const CommandResult result = m_game.Give(command.command, seat);
    if (result.refusal == CommandRefusal::NotYourTurn)
        return m_server->Deny(seat, command.sequence, net::Denial::Turn);
    if (!result.done)
        return m_server->Deny(seat, command.sequence, net::Denial::Rules);
    Stream();
}

void NetworkHost::CrcFrom(int seat, const net::WorldCrc& crc)
{
    const auto mine = m_crcs.find(static_cast<std::size_t>(crc.steps));
    if (mine == m_crcs.end() || mine->second == crc.crc)
        return;
    m_log << "seat " << seat << ": the world differs after " << crc.steps << " steps (" << crc.crc << ", the host's "
          << mine->second << "): the record is sent again\n"
          << std::flush;
    SendRecord(seat, 0, 0, true);
}

void NetworkHost::SendRecord(int seat, std::size_t fromReading, std::size_t fromStep, bool fresh)
{
    const std::optional<std::vector<std::string>> frames = net::RecordFrames(m_sent, fromReading, fromStep, fresh);
    if (!frames)
        return;
    for (const std::string& frame : *frames)
        m_server->Send(seat, frame);
}

void NetworkHost::Stream(bool atStop)
{
    const GameRecorder* recorder = m_game.Recorder();
    if (!recorder)
        return;
    RecordedGame record = recorder->Record();
    // A start or a rest goes out with the computers' turns after it, which its player
    // plays from the clock's readings they took: not before the game has stopped again.
    if (atStop) {
        m_stopSteps = record.steps.size();
    } else {
        while (record.steps.size() > m_stopSteps && EndsATurn(record.steps.back()))
            record.steps.pop_back();
    }
    const std::size_t readings = m_sent.readings.size();
    const std::size_t steps = m_sent.steps.size();
    if (record.readings.size() == readings && record.steps.size() == steps)
        return;
    m_sent = std::move(record);
    WriteRecord();
    if (!m_server)
        return;
    if (const auto frames = net::RecordFrames(m_sent, readings, steps, steps == 0))
        for (const std::string& frame : *frames)
            m_server->SendAll(frame);
}

void NetworkHost::WriteRecord()
{
    if (m_recordFile.empty())
        return;
    std::string error;
    if (!WriteRecordFile(m_recordFile, m_sent, &error))
        m_log << "velcor: " << m_recordFile << ": " << error << '\n' << std::flush;
}

} // namespace netgame
