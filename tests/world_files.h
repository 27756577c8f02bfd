// SPDX-License-Identifier: GPL-3.0-or-later
// A world saved as the windows save a game.
#pragma once

#include <QString>

#include <string>

#include "model/country_file.h"
#include "platform/path_bytes.h"

// Saves world under a path as Qt names it, with cursor as the stored turn cursor.
inline bool SaveWorldAs(const GameState& world, const QString& path, int cursor, QString* error)
{
    std::string reason;
    if (SaveCountryFile(world, platform::PathToBytes(path), cursor, &reason))
        return true;
    if (error)
        *error = QString::fromStdString(reason);
    return false;
}
