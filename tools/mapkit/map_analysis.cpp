// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapkit/map_analysis.h"

namespace mapkit {

int KeyIndexOf(Colour c)
{
    for (int i = 0; i < kCountryCount; ++i) {
        if (kRegionKeyColours[i] == c)
            return i;
    }
    return -1;
}

double MapAnalysis::BackgroundShare() const
{
    return static_cast<double>(backgroundPixels) / (static_cast<double>(kMapWidth) * kMapHeight);
}

std::vector<int> MapAnalysis::Neighbours(int country) const
{
    std::vector<int> out;
    for (int j = 0; j < kCountryCount; ++j) {
        if (adjacent[country][j])
            out.push_back(j);
    }
    return out;
}

std::vector<std::vector<int>> CountryComponents(const MapImage& image, int country)
{
    const Colour key = kRegionKeyColours[country];
    return ConnectedAreas(image.width, image.height, [&](int p) { return image.pixels[p] == key; });
}

namespace {

// Walks one line of pixels (a row or a column) and records the contacts on it.
template <typename PixelAt>
void ScanLine(int length, PixelAt pixelAt, MapAnalysis& result)
{
    int lastKey = -1;      // the key colour seen last on this line
    int lineRun = 0;       // border-line pixels since then
    for (int i = 0; i < length; ++i) {
        const Colour c = pixelAt(i);
        const int key = KeyIndexOf(c);
        if (key >= 0) {
            if (lastKey >= 0 && lastKey != key && lineRun <= kMaxBorderWidth) {
                result.adjacent[lastKey][key] = true;
                result.adjacent[key][lastKey] = true;
            }
            lastKey = key;
            lineRun = 0;
        } else if (c == kBackgroundColour) {
            lastKey = -1;
            lineRun = 0;
        } else {
            ++lineRun;
        }
    }
}

} // namespace

MapAnalysis AnalyseMap(const MapImage& image)
{
    MapAnalysis result;
    const int w = image.width;
    const int h = image.height;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Colour c = image.At(x, y);
            if (c == kBackgroundColour) {
                ++result.backgroundPixels;
                continue;
            }
            if (c == kOutlineColour) {
                ++result.outlinePixels;
                continue;
            }
            const int key = KeyIndexOf(c);
            if (key < 0)
                continue;
            ++result.countries[key].pixels;
            const int next[2][2] = {{x + 1, y}, {x, y + 1}};
            for (const auto& n : next) {
                if (!image.Inside(n[0], n[1]))
                    continue;
                const Colour d = image.At(n[0], n[1]);
                const int other = KeyIndexOf(d);
                if (other >= 0 && other != key) {
                    if (result.unlinedBorders++ == 0)
                        result.firstUnlinedBorder = {x, y};
                }
            }
            const int around[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : around) {
                if (image.Inside(n[0], n[1]) && image.At(n[0], n[1]) == kBackgroundColour) {
                    if (result.unoutlinedCoast++ == 0)
                        result.firstUnoutlinedCoast = {x, y};
                    break;
                }
            }
        }
    }
    for (int y = 0; y < h; ++y)
        ScanLine(w, [&](int i) { return image.At(i, y); }, result);
    for (int x = 0; x < w; ++x)
        ScanLine(h, [&](int i) { return image.At(x, i); }, result);

    for (int i = 0; i < kCountryCount; ++i) {
        CountryArea& area = result.countries[i];
        if (area.pixels == 0)
            continue;
        const auto components = CountryComponents(image, i);
        area.components = static_cast<int>(components.size());
        area.largestAt = {components[0][0] % w, components[0][0] / w};
        for (std::size_t k = 1; k < components.size(); ++k)
            area.pieces.push_back({components[k][0] % w, components[k][0] / w});
    }
    return result;
}

int PixelsOutsideCountry(const MapImage& image, int country, int x, int y, int size)
{
    const Colour key = kRegionKeyColours[country];
    int outside = 0;
    for (int dy = 0; dy < size; ++dy) {
        for (int dx = 0; dx < size; ++dx) {
            if (!image.Inside(x + dx, y + dy) || image.At(x + dx, y + dy) != key)
                ++outside;
        }
    }
    return outside;
}

} // namespace mapkit
