// SPDX-License-Identifier: GPL-3.0-or-later
// What the map can tell beyond the specified drawing: each country's name written
// beside its number (an option), and the texts of the tooltip with a country's name,
// ruler and figures when the pointer rests on it (view/map/map_tips.h shows it).
#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

#include "model/game_state.h"

class QPainter;

// Writes every country's name to the right of its number cell and turn frame, in a
// small face with a white edge so that it reads on every colour.
void DrawCountryNames(QPainter& painter, const GameState& world);
// Where each country's name is written (with its white edge), by country; a null
// rectangle for a country with no name or off the map. Names keep a few pixels apart where
// a place is left for it.
std::vector<QRect> CountryNamePlaces(const GameState& world);

// The names the map's picture writes in Japanese (the desert, the peoples beyond the
// frontier, the seas), written over it in the language in use when it is another;
// picture: the map as the picture draws it, whose ground covers the characters.
void DrawPaintedNames(QPainter& painter, const QImage& picture);
// Where the picture writes those names (map pixels).
std::vector<QRect> PaintedNamePlaces();

// "3 徐州 / 君主 劉備 / 人口 ..." for a country; empty when it has no name (no world yet).
QString CountryTipText(const GameState& world, int country);

// When the next harvest (provisions) or taxes (funds) come for a country and about what
// they bring, for the status panel's figures; empty for no country or one without a ruler.
QString SeasonTipText(const GameState& world, int country, bool provisions);
