// SPDX-License-Identifier: GPL-3.0-or-later
// The 表示 menu's commands for a player who listens to the game: the keys to the map's
// list of countries from any window, and the last line told once more.
#pragma once

class CKivView;
class QMenu;

namespace accessible {

// Adds the commands to menu (their keys work from every window of the program).
void AddAccessCommands(QMenu& menu, CKivView& view);

} // namespace accessible
