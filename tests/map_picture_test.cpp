// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/resources.h"
#include "synthetic_map.h"
#include "view/map/map_picture.h"
#include "world_fixture.h"


class MapPictureTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(picture.SetPictures(SyntheticMap(), BlankPortraits()));
        BuildRulerTable(world);
    }
    Colour Shown(int x, int y) { return At(picture.MapBitmap(), x, y); }
    // Every pixel of country i's square.
    bool SquareIs(int i, Colour c)
    {
        for (int y = kSquareTop; y < kSquareTop + kSquareSize; ++y)
            for (int x = SquareX(i); x < SquareX(i) + kSquareSize; ++x)
                if (Shown(x, y) != c)
                    return false;
        return true;
    }
    MapPicture picture;
};

TEST_F(MapPictureTest, OwnershipPaintsOnlyCountryPixels)
{
    picture.PaintOwnership(world);
    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_TRUE(SquareIs(i, kRulerColours[0])) << "before a game every country is white: " << i;
    EXPECT_EQ(Shown(300, 300), kSea);
    EXPECT_EQ(Shown(SquareX(0) + kSquareSize, 110), kOutlineColour);
    EXPECT_EQ(Shown(15, 15), kLettering);
    EXPECT_EQ(Shown(5, 5), kBlankColour);

    for (int i = 0; i < kCountryCount; ++i)
        world.countries[i].SetRuler(i + 1);
    picture.PaintOwnership(world);
    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_TRUE(SquareIs(i, kRulerColours[i + 1])) << i;
    EXPECT_EQ(Shown(615, 439), kRulerColours[14]);
    EXPECT_EQ(Shown(300, 300), kSea);
    // Rulers 3 and 15 share a colour.
    world.countries[0].SetRuler(3);
    world.countries[1].SetRuler(15);
    picture.PaintOwnership(world);
    EXPECT_EQ(Shown(SquareX(0) + 5, 110), Shown(SquareX(1) + 5, 110));
}

TEST_F(MapPictureTest, TargetsKeepOnlyValidNeighboursInColour)
{
    // Country 5 (ruler 2) borders 4 (ruler 2), 6 (ruler 3), 7 (no ruler); 8 is ruler 3
    // but not its neighbour.
    for (int i = 0; i < kCountryCount; ++i)
        world.countries[i].SetRuler(9);
    world.countries[5].SetRuler(2);
    world.countries[5].ParseNeighbours("4,6,7");
    world.countries[4].SetRuler(2);
    world.countries[6].SetRuler(3);
    world.countries[7].SetRuler(0);
    world.countries[8].SetRuler(3);

    picture.PaintTargets(world, 5, true); // attack
    EXPECT_TRUE(SquareIs(6, kRulerColours[3]));
    EXPECT_TRUE(SquareIs(7, kRulerColours[0])) << "an unruled neighbour is a target and stays white";
    EXPECT_TRUE(SquareIs(4, kDimColour)) << "own country is no target";
    EXPECT_TRUE(SquareIs(5, kDimColour)) << "the acting country is dimmed";
    EXPECT_TRUE(SquareIs(8, kDimColour)) << "not a neighbour";
    EXPECT_EQ(Shown(300, 300), kSea);

    picture.PaintTargets(world, 5, false); // move
    EXPECT_TRUE(SquareIs(4, kRulerColours[2]));
    EXPECT_TRUE(SquareIs(6, kDimColour));
    EXPECT_TRUE(SquareIs(7, kDimColour));
    EXPECT_TRUE(SquareIs(5, kDimColour));

    // Back to ownership: every country in its ruler's colour again.
    picture.PaintOwnership(world);
    EXPECT_TRUE(SquareIs(5, kRulerColours[2]));
    EXPECT_TRUE(SquareIs(8, kRulerColours[3]));
}

TEST_F(MapPictureTest, EachPaintWipesWhatWasDrawnOnTheMap)
{
    picture.PaintOwnership(world);
    const QImage first = picture.MapBitmap().copy();
    {
        QPainter p(&picture.MapBitmap());
        p.fillRect(0, 0, kMapWidth, kMapHeight, Qt::black);
    }
    picture.PaintOwnership(world);
    EXPECT_EQ(picture.MapBitmap(), first);
}

TEST_F(MapPictureTest, HitTestNamesTheCountryUnderAPoint)
{
    EXPECT_EQ(picture.CountryAt(0, 100), 0);
    EXPECT_EQ(picture.CountryAt(SquareX(13) + kSquareSize - 1, kSquareTop + kSquareSize - 1), 13);
    EXPECT_EQ(picture.CountryAt(615, 439), 13);
    EXPECT_EQ(picture.CountryAt(616, 439), MapPicture::kNoCountry);
    EXPECT_EQ(picture.CountryAt(615, 440), MapPicture::kNoCountry);
    EXPECT_EQ(picture.CountryAt(-1, 110), MapPicture::kNoCountry);
    EXPECT_EQ(picture.CountryAt(SquareX(0) + kSquareSize, 110), MapPicture::kNoCountry) << "border";
    EXPECT_EQ(picture.CountryAt(300, 300), MapPicture::kNoCountry) << "sea";
    EXPECT_EQ(picture.CountryAt(5, 5), MapPicture::kNoCountry) << "white";
    EXPECT_EQ(picture.KeyColourAt(SquareX(0) + kSquareSize, 110), kOutlineColour);
    // Hits read the key picture, not what is shown.
    world.countries[0].SetRuler(4);
    picture.PaintOwnership(world);
    EXPECT_EQ(picture.CountryAt(0, 100), 0);
    EXPECT_EQ(picture.KeyColourAt(0, 100), kRegionKeyColours[0]);
}

TEST_F(MapPictureTest, RefusesAMapOfTheWrongSize)
{
    MapPicture other;
    std::array<QImage, kRulerCount> portraits;
    EXPECT_FALSE(other.SetPictures(QImage(600, 440, QImage::Format_RGB32), portraits));
    EXPECT_FALSE(other.HasPictures());
    other.PaintOwnership(world); // nothing to paint, and no crash
    EXPECT_EQ(other.CountryAt(10, 10), MapPicture::kNoCountry);
}

TEST_F(MapPictureTest, TheGamesOwnPicturesAndPortraitsByResourceNumber)
{
    MapPicture game;
    ASSERT_TRUE(game.LoadPictures());
    EXPECT_EQ(game.MapBitmap().size(), QSize(kMapWidth, kMapHeight));
    // Portrait r is picture 135 + r, whenever it is first asked for; out-of-range rulers
    // get the nearest.
    for (RulerId r : {3, 0, 15, 3}) {
        const QImage expected = platform::LoadResourceImage(135 + r).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(expected.isNull()) << r;
        EXPECT_EQ(game.Portrait(r), expected) << r;
    }
    EXPECT_EQ(game.Portrait(-1), game.Portrait(0));
    EXPECT_EQ(game.Portrait(99), game.Portrait(15));
    EXPECT_NE(game.Portrait(1), game.Portrait(2));

    // Portraits given with the pictures replace the game's own.
    ASSERT_TRUE(game.SetPictures(SyntheticMap(), BlankPortraits()));
    EXPECT_EQ(game.Portrait(4), BlankPortraits()[4].convertToFormat(QImage::Format_RGB32));
}
