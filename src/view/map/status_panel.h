// SPDX-License-Identifier: GPL-3.0-or-later
// The status panel right of the map, in the map's own pixels: the portrait and the ruler
// of the country shown, the plate of whose turn it is when several people play, the date,
// the eight rows of labels and figures, and the status line.
#pragma once

#include <QCoreApplication>
#include <QPoint>
#include <QString>
#include <QStringList>

#include "model/game_state.h"

class MapCanvas;
class MapPicture;

class StatusPanel {
    Q_DECLARE_TR_FUNCTIONS(StatusPanel)

public:
    // The status line's box begins 10 pixels left of its text, which begins here.
    static constexpr int kStatusX = 400;

    // The eight labels, 国名 .. 訓練, in the language in use.
    static QStringList Labels();
    // The row (0 国名 .. 7 訓練) at a point of the map; -1 outside the rows.
    static int RowAt(QPoint mapPoint);

    // Draws the panel: shown is the country of the rows (-1: none), person whose turn it
    // is when several people play (0: nobody's, no plate), status the status line.
    static void Draw(MapCanvas& canvas, const GameState& world, const MapPicture& map, int shown, RulerId person,
                     const QString& status);
};
