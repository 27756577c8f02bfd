// SPDX-License-Identifier: GPL-3.0-or-later
// Where the scenario and country files are found.
#pragma once

#include <QString>

namespace platform {

// The current directory when it holds the scenario and country files; otherwise the
// data that came with the program: beside the executable, found from the executable's
// own place as an install lays it out (so an installed tree runs from any prefix),
// where it was installed, or in the source tree it was built from. The current
// directory when none holds them.
QString DataDirectory();

// True when directory holds scenario1.txt and country1.txt.
bool HoldsGameData(const QString& directory);

// The player's own scenarios: "scenarios" in the program's data folder, whether or not
// it exists yet.
QString OwnScenarioFolder();

} // namespace platform
