// SPDX-License-Identifier: GPL-3.0-or-later
#include "netgame/network_headless.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>

#include "conduct/seat_role.h"
#include "model/country_file.h"
#include "netgame/network_host.h"
#include "netgame/network_player.h"

namespace netgame {

static_assert(HeadlessOptions::kMostTurnLimit == net::kMostTurnSeconds, "the command line sets what a frame carries");

std::string InvitationsFileName(const std::string& recordFile) { return recordFile + ".invitations"; }

namespace {

// The invitations a host gave, one a line, into a file its owner alone may read.
bool WriteInvitations(const std::string& path, const std::vector<net::Invitation>& invitations)
{
    std::string text;
    for (const net::Invitation& invitation : invitations)
        text += net::InvitationText(invitation) + '\n';
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    const bool written = ::fchmod(fd, 0600) == 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return ::close(fd) == 0 && written;
}

std::map<int, net::Secret> ReadInvitations(const std::string& path)
{
    std::map<int, net::Secret> secrets;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        if (const std::optional<net::Invitation> invitation = net::ParseInvitation(line))
            secrets[invitation->seat] = invitation->key;
    return secrets;
}

// The rulers played from another machine at the start, or handed to one later.
std::vector<RulerId> RemoteSeats(const GameState& world, const HeadlessOptions& options)
{
    std::vector<RulerId> seats;
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (world.seats[static_cast<std::size_t>(r)] == Seat::Remote())
            seats.push_back(r);
    for (const HeadlessOptions::SeatChangeChoice& change : options.seatChanges)
        if (change.seat == Seat::Remote() && std::find(seats.begin(), seats.end(), change.ruler) == seats.end())
            seats.push_back(change.ruler);
    return seats;
}

void PrepareHost(HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    auto host = std::make_shared<std::unique_ptr<NetworkHost>>();
    const std::string data = DataHash(options.dataDir);
    const HeadlessOptions given = options;
    // Opens the game to its players and prints the invitations; fresh: the game has not
    // begun, and its players gather in the lobby first.
    const auto open = [host, data, given, &out, &err](HeadlessGame& game, bool fresh) {
        auto made = std::make_unique<NetworkHost>(game.Conductor(), err);
        made->KeepRecordIn(given.recordFile);
        made->LimitTurns(std::chrono::seconds(given.turnLimit));
        transport::HostOptions listen;
        listen.port = static_cast<quint16>(*given.hostPort);
        listen.data = data;
        // A player who joins again with his invitation takes his seat over from a
        // connection the host has not yet seen drop.
        listen.newConnectionTakesSeat = true;
        listen.pageDir = transport::PageDirectory();
        if (given.openToNetwork) {
            listen.address = QHostAddress(QHostAddress::AnyIPv4);
            made->InviteAs(transport::NetworkAddress());
        }
        const std::string keys = InvitationsFileName(given.recordFile);
        const std::map<int, net::Secret> kept =
            given.resumeFile.empty() ? std::map<int, net::Secret>() : ReadInvitations(keys);
        std::string why;
        if (!made->Open(listen, RemoteSeats(game.GetWorld(), given), kept, &why, fresh)) {
            err << "velcor: --host " << *given.hostPort << ": " << why << '\n';
            return false;
        }
        if (!WriteInvitations(keys, made->Invitations())) {
            err << "velcor: " << keys << ": the invitations could not be kept\n";
            return false;
        }
        // Each invitation, and the host's page that joins with it in a browser.
        const bool page = made->Server() && made->Server()->ServesPage();
        for (const net::Invitation& invitation : made->Invitations()) {
            out << net::InvitationText(invitation) << '\n';
            if (page)
                out << net::PageLinkText(invitation) << '\n';
        }
        out << std::flush;
        if (!page)
            err << "velcor: the page's files are not beside the program (web/, ../share/velcor/web): players join "
                   "with the program alone\n";
        *host = std::move(made);
        return true;
    };
    options.gameSeated = [host, open, given, &err](HeadlessGame& game) {
        if (!open(game, true))
            return false;
        NetworkHost& lobby = **host;
        lobby.WaitInLobby(given.startAfter ? std::optional(std::chrono::milliseconds(std::chrono::seconds(*given.startAfter)))
                                           : std::nullopt);
        // The seats nobody holds when the game begins anyway are the computer's.
        Seats& seats = game.Session().world.seats;
        for (RulerId r : lobby.Absent()) {
            if (seats[static_cast<std::size_t>(r)] != Seat::Remote())
                continue;
            seats[static_cast<std::size_t>(r)] = Seat{};
            lobby.Server()->Revoke(r);
            err << "seat " << r << ": nobody came, the computer plays it\n";
        }
        err << std::flush;
        lobby.CloseLobby();
        return true;
    };
    options.gameReady = [host, open](HeadlessGame& game) {
        if (*host)
            return true; // opened for the lobby
        if (!open(game, false))
            return false;
        (*host)->WaitForPlayers();
        return true;
    };
    options.seatCommand = [host, resting = SeatCommands(PersonSeats::Resting)](
                              const GameState& world, RulerId ruler,
                              const foresight::AdviceOptions& advice) -> std::optional<PlayerCommand> {
        if (world.seats[static_cast<std::size_t>(ruler)] != Seat::Remote() || !*host)
            return resting(world, ruler, advice);
        (*host)->WaitForRest(ruler);
        return std::nullopt; // his commands have been given; the rest is the loop's
    };
    options.atPlayerTurn = [host, before = options.atPlayerTurn] {
        if (*host)
            (*host)->AtStop();
        return !before || before();
    };
    options.gameDone = [host] {
        if (*host)
            (*host)->End();
        host->reset();
    };
}

void PrepareJoin(HeadlessOptions& options, std::ostream& err)
{
    const std::string data = DataHash(options.dataDir);
    const HeadlessOptions given = options;
    options.gameReady = [data, given, &err](HeadlessGame& game) {
        // The invitation holds the seat's secret: never repeated in a message. "-" reads
        // it from the standard input, out of the process list and the shell's history.
        std::string text = given.joinInvitation;
        if (text == "-" && !std::getline(std::cin, text))
            text.clear();
        const std::optional<net::Invitation> invitation = net::ParseInvitation(text);
        if (!invitation) {
            err << "velcor: --join wants an invitation velcor://HOST:PORT#seat=R&key=HEX\n";
            return false;
        }
        NetworkPlayer::Choice choose;
        if (given.player == HeadlessOptions::Player::Advisor)
            choose = [advice = AdviceOptionsOf(given)](const GameState& world) {
                return foresight::AdvisedCommandFor(world, advice);
            };
        NetworkPlayer player(game.Conductor(), *invitation, data, choose, err);
        if (!player.Play()) {
            err << "velcor: " << player.Failure() << '\n';
            return false;
        }
        return true;
    };
}

} // namespace

void PrepareHeadless(HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.hostPort)
        PrepareHost(options, out, err);
    else if (!options.joinInvitation.empty())
        PrepareJoin(options, err);
}

} // namespace netgame
