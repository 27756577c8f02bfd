// SPDX-License-Identifier: GPL-3.0-or-later
// What the main view asks of its document: the map picture it draws on. The program's
// document answers it.
#pragma once

class MapPicture;

class GameDocument {
public:
    virtual MapPicture& Map() = 0;

protected:
    ~GameDocument() = default;
};
