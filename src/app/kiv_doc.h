// SPDX-License-Identifier: GPL-3.0-or-later
// The document: the map picture the view draws the game on. The game itself (its world,
// read from and written to the country files) is the view's session.
#pragma once

#include "view/map/game_document.h"
#include "view/map/map_picture.h"

class CKivDoc final : public GameDocument {
public:
    CKivDoc() = default;
    CKivDoc(const CKivDoc&) = delete;
    CKivDoc& operator=(const CKivDoc&) = delete;

    // Loads the pictures on the first call. False when the map picture cannot be
    // loaded.
    bool OnNewDocument();

    MapPicture& Map() override { return m_map; }
    const MapPicture& Map() const { return m_map; }

private:
    MapPicture m_map;
};
