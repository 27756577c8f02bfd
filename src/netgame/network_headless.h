// SPDX-License-Identifier: GPL-3.0-or-later
// The networked game without windows: velcor --headless --host PORT ... opens the game
// to its remote seats and prints each seat's invitation on a line of its own as soon as
// it listens, waits for their players and plays the game, its record written after
// every command (--resume goes on from it, the same invitations admitting again);
// velcor --headless --join INVITATION plays that seat of a host's game to its end.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/headless_game.h"
#include "net/sha256.h"

namespace netgame {

// The hash of the game's data a host and its players compare, the page's too.
using net::DataHash;

// The file beside a host's record that keeps its invitations, readable by its owner
// alone, for the host to go on with its game.
std::string InvitationsFileName(const std::string& recordFile);

// Installs the hooks through which the headless game the options name (--host or
// --join) plays over the network. A Qt application must exist.
void PrepareHeadless(HeadlessOptions& options, std::ostream& out, std::ostream& err);

} // namespace netgame
