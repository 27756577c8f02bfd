// SPDX-License-Identifier: GPL-3.0-or-later
// What the main view asks of its document: the map picture it draws on, and the world
// read from and written to the country files. The program's document answers it.
#pragma once

#include <QString>

#include "model/country_file.h"

class MapPicture;
class QWidget;

class GameDocument {
public:
    virtual MapPicture& Map() = 0;

    // Replaces the world with a country data file, a scenario's starting world or a
    // saved game. When the file cannot be opened or is refused, says why in a message
    // box and changes nothing.
    virtual bool LoadCountryFile(const QString& path, CountryFileUse use, QWidget* parent) = 0;
    // Writes the world with the given turn cursor; false and the reason on failure,
    // with the previous file intact.
    virtual bool SaveCountryFile(const QString& path, int turnCursor, QString* error) = 0;

protected:
    ~GameDocument() = default;
};
