// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the map picture the way the game reads it: which country a pixel belongs
// to, whether each country is one connected area, which countries meet across a
// border line, and whether a marker cell lies inside its country. The asset generator
// and the data checker both use this, so the neighbour lists the generator writes are
// exactly what the checker expects.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/game_state.h"

namespace mapkit {

constexpr int kMapWidth = 616;
constexpr int kMapHeight = 440;
constexpr Colour kOutlineColour = MakeColour(4, 4, 4);
constexpr Colour kBackgroundColour = MakeColour(102, 255, 102);
constexpr int kMarkerCellSize = 16;

// A border line between two countries is at most this many pixels wide (a river
// running along a border widens it); anything wider is not a shared border.
constexpr int kMaxBorderWidth = 3;

// The status panel and the row of command buttons lie over the picture; no country
// may reach under them. Rectangles are left, top, right, bottom (right and bottom
// outside).
struct Rect {
    int left, top, right, bottom;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const Rect& o) const
    {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};
constexpr Rect kPanelRect{390, 6, 600, 378};
constexpr Rect kButtonRowRect{20, 390, 500, 410};

struct Point {
    int x = 0;
    int y = 0;
};

// Pixels as 0x00BBGGRR colour values, rows top to bottom.
struct MapImage {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    MapImage() = default;
    MapImage(int w, int h, Colour fill) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}
    Colour At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void Set(int x, int y, Colour c) { pixels[static_cast<std::size_t>(y) * width + x] = c; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Calls visit(q) for the index q of each 4-neighbour of pixel p (index y * w + x) that
// lies inside a w x h picture.
template <typename Visit>
void ForEachNeighbour(int p, int w, int h, Visit visit)
{
    const int x = p % w;
    const int y = p / w;
    if (x > 0)
        visit(p - 1);
    if (x + 1 < w)
        visit(p + 1);
    if (y > 0)
        visit(p - w);
    if (y + 1 < h)
        visit(p + w);
}

// The 4-connected areas of the pixels for which pick(index) holds, largest first; each
// is the list of its pixels' indexes, the first being the first in row order.
template <typename Pick>
std::vector<std::vector<int>> ConnectedAreas(int w, int h, Pick pick)
{
    std::vector<char> seen(static_cast<std::size_t>(w) * h, 0);
    std::vector<std::vector<int>> areas;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (seen[start] || !pick(start))
            continue;
        std::vector<int> area;
        seen[start] = 1;
        stack.push_back(start);
        while (!stack.empty()) {
            const int p = stack.back();
            stack.pop_back();
            area.push_back(p);
            ForEachNeighbour(p, w, h, [&](int q) {
                if (!seen[q] && pick(q)) {
                    seen[q] = 1;
                    stack.push_back(q);
                }
            });
        }
        areas.push_back(std::move(area));
    }
    std::stable_sort(areas.begin(), areas.end(), [](const auto& a, const auto& b) { return a.size() > b.size(); });
    return areas;
}

// The country whose key colour c is, or -1.
int KeyIndexOf(Colour c);

struct CountryArea {
    int pixels = 0;
    int components = 0;            // 4-connected areas of the key colour
    std::vector<Point> pieces;     // one pixel of every area but the largest
    Point largestAt{};             // one pixel of the largest area
};

struct MapAnalysis {
    std::array<CountryArea, kCountryCount> countries;
    // adjacent[i][j]: the areas of i and j meet across a border line.
    std::array<std::array<bool, kCountryCount>, kCountryCount> adjacent{};
    int backgroundPixels = 0;
    int outlinePixels = 0;
    // Key pixels that touch the background with no outline between (count, first).
    int unoutlinedCoast = 0;
    Point firstUnoutlinedCoast{};
    // Pixels of two different countries side by side with no border line between.
    int unlinedBorders = 0;
    Point firstUnlinedBorder{};

    double BackgroundShare() const;
    std::vector<int> Neighbours(int country) const; // ascending
};

// Two countries meet when, along a row or a column, a key pixel of one and a key pixel
// of the other are separated only by 1..kMaxBorderWidth pixels that are neither key
// colours nor background (outline, river), or touch directly. Sea or land outside the
// play area between them breaks the contact.
MapAnalysis AnalyseMap(const MapImage& image);

// How many pixels of the marker cell whose top left corner is (x, y) are not the key
// colour of country; cells reaching outside the picture count their missing pixels.
int PixelsOutsideCountry(const MapImage& image, int country, int x, int y, int size = kMarkerCellSize);

// Every 4-connected area of key colour of one country, largest first; each is the list
// of its pixels' indexes.
std::vector<std::vector<int>> CountryComponents(const MapImage& image, int country);

} // namespace mapkit
