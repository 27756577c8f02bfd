// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "mapkit/map_analysis.h"

namespace {

using mapkit::kBackgroundColour;
using mapkit::kOutlineColour;
using mapkit::MapImage;

constexpr Colour kRiver = MakeColour(52, 104, 196);

// A small picture: sea everywhere, then blocks painted in.
MapImage Sea(int w = 40, int h = 30) { return MapImage(w, h, kBackgroundColour); }

void Fill(MapImage& m, int x0, int y0, int x1, int y1, Colour c)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            m.Set(x, y, c);
}

// Country `country` as a block with a one-pixel outline round it.
void Block(MapImage& m, int x0, int y0, int x1, int y1, int country)
{
    Fill(m, x0, y0, x1, y1, kOutlineColour);
    Fill(m, x0 + 1, y0 + 1, x1 - 1, y1 - 1, kRegionKeyColours[country]);
}

TEST(MapAnalysis, CountriesMeetOnlyAcrossANarrowBorderLine)
{
    // 0 and 1 share one outline column; 2 lies across a strip of sea from 1.
    MapImage m = Sea();
    Block(m, 2, 2, 12, 12, 0);
    Block(m, 11, 2, 21, 12, 1);
    Block(m, 23, 2, 33, 12, 2);
    auto a = mapkit::AnalyseMap(m);
    EXPECT_TRUE(a.adjacent[0][1]);
    EXPECT_TRUE(a.adjacent[1][0]);
    EXPECT_FALSE(a.adjacent[1][2]);
    EXPECT_EQ(a.Neighbours(1), std::vector<int>{0});
    EXPECT_EQ(a.unlinedBorders, 0);
    EXPECT_EQ(a.unoutlinedCoast, 0);

    // A river three pixels wide on the border still divides neighbours; four pixels of
    // line do not make a border.
    MapImage wide = Sea();
    Fill(wide, 2, 2, 30, 12, kOutlineColour);
    Fill(wide, 3, 3, 10, 11, kRegionKeyColours[3]);
    Fill(wide, 10, 3, 13, 11, kRiver);
    Fill(wide, 13, 3, 20, 11, kRegionKeyColours[4]);
    Fill(wide, 20, 3, 24, 11, kOutlineColour);
    Fill(wide, 24, 3, 29, 11, kRegionKeyColours[5]);
    a = mapkit::AnalyseMap(wide);
    EXPECT_TRUE(a.adjacent[3][4]);
    EXPECT_FALSE(a.adjacent[4][5]);

    // Corners touching diagonally across a junction do not count.
    MapImage corner = Sea();
    Fill(corner, 0, 0, 21, 21, kOutlineColour);
    Fill(corner, 1, 1, 10, 10, kRegionKeyColours[6]);
    Fill(corner, 11, 11, 20, 20, kRegionKeyColours[7]);
    Fill(corner, 11, 1, 20, 10, kRegionKeyColours[8]);
    a = mapkit::AnalyseMap(corner);
    EXPECT_TRUE(a.adjacent[6][8]);
    EXPECT_TRUE(a.adjacent[8][7]);
    EXPECT_FALSE(a.adjacent[6][7]);
}

TEST(MapAnalysis, MissingLinesAreFound)
{
    MapImage m = Sea();
    Fill(m, 2, 2, 10, 10, kRegionKeyColours[0]); // no outline at all
    Fill(m, 10, 2, 18, 10, kRegionKeyColours[1]); // touching 0 directly
    auto a = mapkit::AnalyseMap(m);
    EXPECT_EQ(a.unlinedBorders, 8); // one per row of the shared edge
    EXPECT_EQ(a.firstUnlinedBorder.x, 9);
    EXPECT_EQ(a.firstUnlinedBorder.y, 2);
    EXPECT_GT(a.unoutlinedCoast, 0);
    EXPECT_EQ(a.firstUnoutlinedCoast.x, 2);
    EXPECT_EQ(a.firstUnoutlinedCoast.y, 2);
    EXPECT_TRUE(a.adjacent[0][1]); // they do meet, only without a line
}

TEST(MapAnalysis, ACountryCutInTwoIsTwoAreas)
{
    MapImage m = Sea();
    Block(m, 2, 2, 30, 12, 9);
    Fill(m, 15, 1, 17, 13, kRiver); // a river right across
    auto a = mapkit::AnalyseMap(m);
    EXPECT_EQ(a.countries[9].components, 2);
    ASSERT_EQ(a.countries[9].pieces.size(), 1u);
    EXPECT_EQ(a.countries[9].pixels, 2 * 12 * 8);

    // A gap of key colour at the end of the river keeps the country whole.
    m.Set(15, 10, kRegionKeyColours[9]);
    m.Set(16, 10, kRegionKeyColours[9]);
    a = mapkit::AnalyseMap(m);
    EXPECT_EQ(a.countries[9].components, 1);

    // Pixels that touch only at a corner are not connected.
    m.Set(16, 10, kRiver);
    m.Set(16, 9, kRegionKeyColours[9]);
    a = mapkit::AnalyseMap(m);
    EXPECT_EQ(a.countries[9].components, 2);
}

TEST(MapAnalysis, BackgroundShareAndKeyLookup)
{
    MapImage m(mapkit::kMapWidth, mapkit::kMapHeight, kBackgroundColour);
    Fill(m, 0, 0, mapkit::kMapWidth, mapkit::kMapHeight / 4, kOutlineColour);
    auto a = mapkit::AnalyseMap(m);
    EXPECT_DOUBLE_EQ(a.BackgroundShare(), 0.75);
    EXPECT_EQ(a.outlinePixels, mapkit::kMapWidth * mapkit::kMapHeight / 4);

    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_EQ(mapkit::KeyIndexOf(kRegionKeyColours[i]), i);
    EXPECT_EQ(mapkit::KeyIndexOf(kOutlineColour), -1);
    EXPECT_EQ(mapkit::KeyIndexOf(0x00FFFFFF), -1);
    EXPECT_EQ(mapkit::KeyIndexOf(kRegionKeyColours[13] ^ 1), -1);
}

TEST(MapAnalysis, MarkerCellMustLieWhollyInTheCountry)
{
    MapImage m = Sea(60, 40);
    Block(m, 0, 0, 30, 30, 2);
    EXPECT_EQ(mapkit::PixelsOutsideCountry(m, 2, 1, 1), 0);
    EXPECT_EQ(mapkit::PixelsOutsideCountry(m, 2, 13, 13), 0);  // last cell that fits
    EXPECT_EQ(mapkit::PixelsOutsideCountry(m, 2, 14, 13), 16); // one column on the outline
    EXPECT_EQ(mapkit::PixelsOutsideCountry(m, 3, 1, 1), 256);  // another country's key
    EXPECT_EQ(mapkit::PixelsOutsideCountry(m, 2, -3, 1), 3 * 16 + 16); // off the picture
    m.Set(8, 8, kRiver);
    EXPECT_EQ(mapkit::PixelsOutsideCountry(m, 2, 1, 1), 1);
}

} // namespace
