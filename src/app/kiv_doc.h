// SPDX-License-Identifier: GPL-3.0-or-later
// The document: the world read from and written to the country files, and the map
// picture the view draws it on. The game state itself is process-wide.
#pragma once

#include <QString>

#include "model/country_file.h"
#include "model/game_state.h"
#include "view/game_document.h"
#include "view/map_picture.h"

class QWidget;

class CKivDoc final : public GameDocument {
public:
    CKivDoc() = default;
    CKivDoc(const CKivDoc&) = delete;
    CKivDoc& operator=(const CKivDoc&) = delete;

    // Loads the pictures on the first call, then resets every country to no ruler and
    // rebuilds the ruler table, so the map shows every country white. False when the
    // map picture cannot be loaded.
    bool OnNewDocument();

    MapPicture& Map() override { return m_map; }
    const MapPicture& Map() const { return m_map; }

    bool LoadCountryFile(const QString& path, CountryFileUse use, QWidget* parent) override;
    bool SaveCountryFile(const QString& path, int turnCursor, QString* error) override;

private:
    MapPicture m_map;
};
