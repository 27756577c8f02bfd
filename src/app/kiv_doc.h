// SPDX-License-Identifier: GPL-3.0-or-later
// The document: the map picture in its shown and key forms, the country under every
// pixel, and the rulers' portraits. The game itself is the view's session.
#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

#include "model/country_file.h"
#include "model/world.h"

constexpr int kMapWidth = 616;
constexpr int kMapHeight = 440;
constexpr int kMapResource = 130;
constexpr int kPortraitResource = 135;
constexpr Colour kOutlineColour = 0x040404;
constexpr Colour kBlankColour = 0xFFFFFF;
constexpr Colour kDimColour = 0xE0E0E0;

class QWidget;

class CKivDoc {
public:
    static constexpr int kNoCountry = -1;

    CKivDoc() = default;
    CKivDoc(const CKivDoc&) = delete;
    CKivDoc& operator=(const CKivDoc&) = delete;

    // Loads the pictures on the first call. False when the map picture cannot be
    // loaded.
    bool OnNewDocument();

    // Takes a map picture and portraits directly (the resources are read by
    // OnNewDocument); the map must be kMapWidth x kMapHeight.
    bool SetPictures(const QImage& map, const std::array<QImage, kRulerCount>& portraits);

    // Replaces the world with a country data file, a scenario's starting world or a
    // saved game. When the file cannot be opened or is refused, says why in a message
    // box and changes nothing.
    bool LoadCountryFile(World& world, const QString& path, CountryFileUse use, QWidget* parent);
    // Writes the world with the given turn cursor; false and the reason on failure,
    // with the previous file intact.
    bool SaveCountryFile(const World& world, const QString& path, int turnCursor, QString* error);

    // Rebuilds the shown map: each country in its ruler's colour.
    void PaintOwnership(const World& world);
    // Rebuilds the shown map for choosing a target of country: only its neighbours
    // that are valid targets keep their ruler's colour (same ruler when moving, any
    // other ruler when attacking); every other country is light grey.
    void PaintTargets(const World& world, int country, bool hostile);

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
