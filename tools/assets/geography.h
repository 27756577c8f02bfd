// SPDX-License-Identifier: GPL-3.0-or-later
// Late Eastern Han China as the map draws it: the coast and frontier of the realm, the
// fourteen countries, the rivers and lakes, the foreign shores and islands. Positions
// are longitude and latitude in degrees; Project() places them on the 616 x 440 map.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "model/game_state.h"

namespace assets {

struct GeoPoint {
    double lon;
    double lat;
};

struct PixelPoint {
    double x;
    double y;
};

PixelPoint Project(GeoPoint g);
GeoPoint Unproject(PixelPoint p);

struct CountryShape {
    std::string_view name;    // UTF-8; stored as Shift-JIS in the data files
    std::vector<GeoPoint> outline; // a closed polygon; may reach past the coast
    GeoPoint seat;            // the seat of government: the marker goes near it
};

// Index = country index, the order of kRegionKeyColours.
const std::vector<CountryShape>& Countries();

// The realm's coast and land frontier, one closed polygon.
const std::vector<GeoPoint>& RealmOutline();

// Foreign coasts that are not islands: open lines that, with the realm, close off the
// sea from the land outside the realm.
const std::vector<std::vector<GeoPoint>>& ForeignCoasts();
// Foreign islands: closed polygons.
const std::vector<std::vector<GeoPoint>>& Islands();
// A point surely in the sea, where the flood that finds the sea starts.
GeoPoint SeaSeed();

struct River {
    std::vector<GeoPoint> course; // from the source downstream
    int width;                    // in pixels
    bool alongBorder;             // the course is a border between two countries
};
// Main rivers first; a tributary ends on the river it joins. A river along a border
// follows the border's own points.
const std::vector<River>& Rivers();

struct Lake {
    GeoPoint centre;
    double lonRadius;
    double latRadius;
};
const std::vector<Lake>& Lakes();

// The Great Wall, drawn just outside the northern frontier.
const std::vector<GeoPoint>& GreatWall();

} // namespace assets
