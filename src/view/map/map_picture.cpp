// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/map_picture.h"

#include <algorithm>
#include <cstring>

#include "platform/resources.h"

namespace {

constexpr std::uint8_t kNone = 0xFF;

// Pixel value of a 32-bit image (0xFFRRGGBB) from a colour value (0x00BBGGRR).
std::uint32_t PixelFromColour(Colour c)
{
    return 0xFF000000u | (static_cast<std::uint32_t>(ColourRed(c)) << 16) |
           (static_cast<std::uint32_t>(ColourGreen(c)) << 8) | static_cast<std::uint32_t>(ColourBlue(c));
}

Colour ColourFromPixel(std::uint32_t p)
{
    return MakeColour(static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                      static_cast<int>(p & 0xFF));
}

Colour RulerColour(RulerId ruler)
{
    // A ruler outside the table has no colour; such values are refused when a file is
    // loaded, so this only guards the painting.
    if (ruler < 0 || ruler >= kRulerCount)
        return kBlankColour;
    return kRulerColours[static_cast<std::size_t>(ruler)];
}

} // namespace

bool MapPicture::LoadPictures()
{
    if (!HasPictures()) {
        if (!SetPictures(platform::LoadResourceImage(kMapResource), {}))
            return false;
        m_portraitUnread.fill(true);
    }
    return true;
}

bool MapPicture::SetPictures(const QImage& map, const std::array<QImage, kRulerCount>& portraits)
{
    if (map.width() != kMapWidth || map.height() != kMapHeight)
        return false;
    m_mapBitmap = map.convertToFormat(QImage::Format_RGB32);
    const std::size_t count = static_cast<std::size_t>(kMapWidth) * kMapHeight;
    m_mapKeyPixels.resize(count);
    for (int y = 0; y < kMapHeight; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(m_mapBitmap.constScanLine(y));
        std::copy(line, line + kMapWidth, m_mapKeyPixels.begin() + static_cast<std::ptrdiff_t>(y) * kMapWidth);
    }
    m_mapPixels = m_mapKeyPixels;

    // The country of every pixel, found once: outline and white are skipped, any
    // other colour is looked up among the key colours (the first match counts).
    // Neighbouring pixels mostly share a colour, so the last answer is kept.
    m_countryIndex.assign(count, kNone);
    m_runs.clear();
    std::uint32_t lastPixel = 0;
    std::uint8_t lastCountry = kNone;
    bool known = false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t pixel = m_mapKeyPixels[i];
        if (!known || pixel != lastPixel) {
            lastPixel = pixel;
            lastCountry = kNone;
            known = true;
            const Colour c = ColourFromPixel(pixel);
            if (c != kOutlineColour && c != kBlankColour) {
                for (int j = 0; j < kCountryCount; ++j) {
                    if (kRegionKeyColours[j] == c) {
                        lastCountry = static_cast<std::uint8_t>(j);
                        break;
                    }
                }
            }
        }
        m_countryIndex[i] = lastCountry;
    }
    for (int y = 0; y < kMapHeight; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * kMapWidth;
        for (int x = 0; x < kMapWidth;) {
            const std::uint8_t country = m_countryIndex[row + static_cast<std::size_t>(x)];
            int end = x + 1;
            while (end < kMapWidth && m_countryIndex[row + static_cast<std::size_t>(end)] == country)
                ++end;
            if (country != kNone)
                m_runs.push_back({static_cast<std::uint32_t>(row + static_cast<std::size_t>(x)),
                                  static_cast<std::uint32_t>(end - x), country});
            x = end;
        }
    }
    for (int r = 0; r < kRulerCount; ++r)
        m_portraits[r] = portraits[r].convertToFormat(QImage::Format_RGB32);
    m_portraitUnread.fill(false);
    return true;
}

void MapPicture::PaintCountries(const std::array<std::uint32_t, kCountryCount>& pixelColours)
{
    if (!HasPictures())
        return;
    m_paintedColours = pixelColours;
    std::uint32_t* pixels = m_mapPixels.data();
    for (const Run& run : m_runs)
        std::fill_n(pixels + run.offset, run.length, pixelColours[run.country]);
    // The whole picture goes out, which also wipes what the last paint drew on it.
    for (int y = 0; y < kMapHeight; ++y)
        std::memcpy(m_mapBitmap.scanLine(y), pixels + static_cast<std::ptrdiff_t>(y) * kMapWidth,
                    kMapWidth * sizeof(std::uint32_t));
}

void MapPicture::PaintOwnership(const GameState& world)
{
    std::array<std::uint32_t, kCountryCount> colours;
    for (int j = 0; j < kCountryCount; ++j)
        colours[j] = PixelFromColour(RulerColour(world.countries[j].GetRuler()));
    PaintCountries(colours);
}

void MapPicture::PaintTargets(const GameState& world, int country, bool hostile)
{
    std::array<std::uint32_t, kCountryCount> colours;
    colours.fill(PixelFromColour(kDimColour));
    if (GameState::IsCountryIndex(country)) {
        const Country& a = world.countries[country];
        const RulerId ruler = a.GetRuler();
        for (std::uint32_t n : a.GetNeighbours()) {
            if (n >= static_cast<std::uint32_t>(kCountryCount))
                continue;
            const RulerId other = world.countries[n].GetRuler();
            if ((other == ruler) != hostile)
                colours[n] = PixelFromColour(RulerColour(other));
        }
    }
    PaintCountries(colours);
}

Colour MapPicture::KeyColourAt(int x, int y) const
{
    return ColourFromPixel(m_mapKeyPixels[static_cast<std::size_t>(y) * kMapWidth + static_cast<std::size_t>(x)]);
}

int MapPicture::CountryAt(int x, int y) const
{
    if (x < 0 || x >= kMapWidth || y < 0 || y >= kMapHeight || !HasPictures())
        return kNoCountry;
    const std::uint8_t country = m_countryIndex[static_cast<std::size_t>(y) * kMapWidth + static_cast<std::size_t>(x)];
    return country == kNone ? kNoCountry : country;
}

const QImage& MapPicture::Portrait(RulerId ruler) const
{
    const std::size_t r = static_cast<std::size_t>(std::clamp<RulerId>(ruler, 0, kRulerCount - 1));
    if (m_portraitUnread[r]) {
        m_portraits[r] = platform::LoadResourceImage(kPortraitResource + static_cast<int>(r))
                             .convertToFormat(QImage::Format_RGB32);
        m_portraitUnread[r] = false;
    }
    return m_portraits[r];
}
