// SPDX-License-Identifier: GPL-3.0-or-later
// A light pattern over each ruler's countries (hatching, dots, crosses ...), so that
// rulers whose colours look alike, to any eye or to a colour-blind one, can be told
// apart on the map and in a legend.
#pragma once

#include <QRgb>

#include "model/game_state.h"

class MapPicture;
class QPainter;
class QRect;

namespace ruler_patterns {

// Every pattern repeats every kTile pixels across and down.
inline constexpr int kTile = 8;

// Whether ruler's pattern marks the pixel (x, y); rulers 1..15 have one, ruler 0 (no
// ruler) and values outside the table none.
bool Marks(RulerId ruler, int x, int y);

// The colour of the marks over a country of colour base: darker on light colours,
// lighter on dark ones, so that they show on every ruler's colour.
QRgb MarkColour(QRgb base);

// Lays each ruler's pattern over his countries on the shown map, aligned to the map's
// pixels, where a country shows its ruler's colour (countries greyed while a target is
// chosen stay plain). Each country's number cell stays plain.
void PaintOnMap(MapPicture& picture, const GameState& world);

// A legend's swatch: rect filled with the ruler's colour and his pattern, one
// pattern pixel per unit of the painter's coordinates.
void PaintSwatch(QPainter& painter, const QRect& rect, RulerId ruler);

} // namespace ruler_patterns
