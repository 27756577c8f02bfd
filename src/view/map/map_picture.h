// SPDX-License-Identifier: GPL-3.0-or-later
// The map picture in its shown and key forms, the country under every pixel, and the
// rulers' portraits. The view draws on the shown map and asks it which country lies
// under a point.
#pragma once

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

#include "model/country_file.h"
#include "model/game_state.h"

constexpr int kMapWidth = 616;
constexpr int kMapHeight = 440;
constexpr int kMapResource = 130;
constexpr int kPortraitResource = 135;
constexpr Colour kOutlineColour = 0x040404;
constexpr Colour kBlankColour = 0xFFFFFF;
constexpr Colour kDimColour = 0xE0E0E0;

class MapPicture {
public:
    static constexpr int kNoCountry = -1;

    MapPicture() = default;
    MapPicture(const MapPicture&) = delete;
    MapPicture& operator=(const MapPicture&) = delete;

    // Loads the map picture from the resources on the first call; the portraits are
    // read when first asked for. False when the map picture cannot be loaded.
    bool LoadPictures();

    // Takes a map picture and portraits directly (the resources are read by
    // LoadPictures); the map must be kMapWidth x kMapHeight.
    bool SetPictures(const QImage& map, const std::array<QImage, kRulerCount>& portraits);

    // Rebuilds the shown map: each country in its ruler's colour.
    void PaintOwnership(const GameState& world);
    // Rebuilds the shown map for choosing a target of country: only its neighbours
    // that are valid targets keep their ruler's colour (same ruler when moving, any
    // other ruler when attacking); every other country is light grey.
    void PaintTargets(const GameState& world, int country, bool hostile);

    // The key colour (0x00BBGGRR) of the untouched picture at a point on the map.
    Colour KeyColourAt(int x, int y) const;
    // The country under a point, or kNoCountry for the sea, borders, lettering and
    // points outside the map.
    int CountryAt(int x, int y) const;

    bool HasPictures() const { return !m_mapPixels.empty(); }
    // The shown map; the view composes its panel on it before every copy to the screen.
    QImage& MapBitmap() { return m_mapBitmap; }
    const QImage& Portrait(RulerId ruler) const;
    // The pixels of the countries as runs along the map's rows, in storage order
    // (pixel n is x = n % kMapWidth, y = n / kMapWidth).
    struct Run {
        std::uint32_t offset; // first pixel
        std::uint32_t length;
        std::uint8_t country;
    };
    const std::vector<Run>& CountryRuns() const { return m_runs; }
    // The colour (32-bit pixel value) each country was given by the last painting.
    const std::array<std::uint32_t, kCountryCount>& PaintedColours() const { return m_paintedColours; }

private:
    // Writes each country's colour into the working pixels and copies them out.
    void PaintCountries(const std::array<std::uint32_t, kCountryCount>& pixelColours);

    QImage m_mapBitmap;                       // shown
    std::vector<std::uint32_t> m_mapPixels;   // working pixels, same layout as the bitmap
    std::vector<std::uint32_t> m_mapKeyPixels; // the picture as loaded
    std::vector<std::uint8_t> m_countryIndex; // per pixel: country, or 0xFF
    std::vector<Run> m_runs;                  // country pixels as row runs, built once
    // The game's own portraits are decoded when first asked for (interface thread),
    // which spares the start sixteen pictures.
    mutable std::array<QImage, kRulerCount> m_portraits;
    mutable std::array<bool, kRulerCount> m_portraitUnread{};
    std::array<std::uint32_t, kCountryCount> m_paintedColours{};
};
