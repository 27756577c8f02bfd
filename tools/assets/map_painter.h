// SPDX-License-Identifier: GPL-3.0-or-later
// Paints the strategic map (resource 130): the fourteen countries in their key
// colours with borders and coast, the rivers, and around the realm the sea, the
// foreign lands and the decoration. Needs a QGuiApplication (it draws text).
#pragma once

#include <array>
#include <string>

#include "mapkit/map_analysis.h"

namespace assets {

struct PaintedMap {
    mapkit::MapImage image;
    // Marker position of each country as the data file stores it: the number cell's
    // top left corner is (x, y - 16).
    std::array<mapkit::Point, kCountryCount> markers{};
};

// Paints the map and checks it with the same analysis the data checker runs. Throws
// std::runtime_error naming the fault when the picture breaks a rule of the map.
PaintedMap PaintMap();

} // namespace assets
