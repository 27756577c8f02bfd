// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/ruler_patterns.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <cstdint>

#include "view/map/map_picture.h"

namespace ruler_patterns {

namespace {

// One kTile x kTile pattern per ruler 1..15: a byte per row, the highest bit for x 0.
// They differ pairwise however they are shifted against each other, and each marks at
// most a third of its pixels.
using Tile = std::array<std::uint8_t, kTile>;
constexpr std::array<Tile, kRulerCount - 1> kTiles = {{
    {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}, // horizontal lines
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88}, // vertical lines
    {0x88, 0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44}, // rising diagonals
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}, // falling diagonals
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, // square grid
    {0x80, 0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41}, // diagonal grid
    {0x88, 0x00, 0x00, 0x00, 0x88, 0x00, 0x00, 0x00}, // sparse dots
    {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00}, // staggered dots
    {0x00, 0x00, 0x10, 0x10, 0x7C, 0x10, 0x10, 0x00}, // plus signs
    {0x00, 0x00, 0x28, 0x10, 0x28, 0x00, 0x00, 0x00}, // small crosses
    {0xF0, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00}, // horizontal dashes
    {0x80, 0x80, 0x80, 0x80, 0x08, 0x08, 0x08, 0x08}, // vertical dashes
    {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, // broad stripes
    {0x10, 0x28, 0x44, 0x82, 0x44, 0x28, 0x10, 0x00}, // diamonds
    {0x00, 0x38, 0x44, 0x44, 0x44, 0x38, 0x00, 0x00}, // rings
}};

const Tile* TileOf(RulerId ruler)
{
    if (ruler < 1 || ruler >= kRulerCount)
        return nullptr;
    return &kTiles[static_cast<std::size_t>(ruler - 1)];
}

bool TileMarks(const Tile& tile, int x, int y)
{
    const int tx = ((x % kTile) + kTile) % kTile;
    const int ty = ((y % kTile) + kTile) % kTile;
    return (tile[static_cast<std::size_t>(ty)] >> (kTile - 1 - tx)) & 1;
}

QRgb RulerRgb(RulerId ruler)
{
    const Colour c = kRulerColours[static_cast<std::size_t>(ruler)];
    return qRgb(ColourRed(c), ColourGreen(c), ColourBlue(c));
}

} // namespace

bool Marks(RulerId ruler, int x, int y)
{
    const Tile* tile = TileOf(ruler);
    return tile && TileMarks(*tile, x, y);
}

QRgb MarkColour(QRgb base)
{
    const int r = qRed(base);
    const int g = qGreen(base);
    const int b = qBlue(base);
    const int luminance = (299 * r + 587 * g + 114 * b) / 1000;
    // Roughly half way to black on light colours, to white on dark ones.
    if (luminance >= 128)
        return qRgb(r * 11 / 20, g * 11 / 20, b * 11 / 20);
    return qRgb(r + (255 - r) * 11 / 20, g + (255 - g) * 11 / 20, b + (255 - b) * 11 / 20);
}

void PaintOnMap(MapPicture& picture, const GameState& world)
{
    if (!picture.HasPictures())
        return;
    struct Patterned {
        const Tile* tile = nullptr;
        std::uint32_t mark = 0;
        QRect cell;
    };
    std::array<Patterned, kCountryCount> countries;
    for (int j = 0; j < kCountryCount; ++j) {
        const Country& c = world.countries[static_cast<std::size_t>(j)];
        const RulerId ruler = c.GetRuler();
        const Tile* tile = TileOf(ruler);
        const QRgb colour = tile ? RulerRgb(ruler) | 0xFF000000u : 0;
        // Only a country that shows its ruler's colour carries his pattern.
        if (!tile || picture.PaintedColours()[static_cast<std::size_t>(j)] != colour)
            continue;
        countries[static_cast<std::size_t>(j)] = {tile, MarkColour(colour) | 0xFF000000u,
                                                  QRect(c.GetMapX(), c.GetMapY() - 16, 16, 16)};
    }
    QImage& map = picture.MapBitmap();
    for (const MapPicture::Run& run : picture.CountryRuns()) {
        const Patterned& p = countries[run.country];
        if (!p.tile)
            continue;
        const int y = static_cast<int>(run.offset / kMapWidth);
        const int x0 = static_cast<int>(run.offset % kMapWidth);
        const std::uint8_t row = (*p.tile)[static_cast<std::size_t>(y % kTile)];
        if (row == 0)
            continue;
        auto* line = reinterpret_cast<std::uint32_t*>(map.scanLine(y));
        const bool besideCell = y >= p.cell.top() && y <= p.cell.bottom();
        for (int x = x0; x < x0 + static_cast<int>(run.length); ++x) {
            if (((row >> (kTile - 1 - x % kTile)) & 1) && !(besideCell && x >= p.cell.left() && x <= p.cell.right()))
                line[x] = p.mark;
        }
    }
}

void PaintSwatch(QPainter& painter, const QRect& rect, RulerId ruler)
{
    if (ruler < 0 || ruler >= kRulerCount)
        return;
    const QRgb base = RulerRgb(ruler);
    QImage tile(kTile, kTile, QImage::Format_RGB32);
    tile.fill(base);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
            if (Marks(ruler, x, y))
                tile.setPixel(x, y, MarkColour(base));
    painter.save();
    painter.setBrushOrigin(rect.topLeft());
    painter.fillRect(rect, QBrush(tile));
    painter.restore();
}

} // namespace ruler_patterns
