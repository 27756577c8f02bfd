// SPDX-License-Identifier: GPL-3.0-or-later
// The rulers' patterns: fifteen that cannot be mistaken for one another however the
// map shifts them, light enough to leave the colour, and laid only where they belong:
// never over a number or a marker, never when the option is off, the legend's swatch
// the same pattern as the map.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/window_scale.h"
#include "view/map/ruler_patterns.h"
#include "view_fixture.h"

namespace {

using ruler_patterns::kTile;
using ruler_patterns::Marks;

// The test world as dealt: its number cells lie above the row of squares (y 84..99),
// so that every square is patterned whole.
void LoadDealtWorld(CKivView& view)
{
    GameSession& session = view.Game().Session();
    ApplyWorld(session.world, MakeTestWorld());
    BuildRulerTable(session.world);
    session.BeginGame(true);
}

} // namespace

TEST(RulerPatterns, FifteenPatternsThatDifferPairwiseUnderEveryShift)
{
    for (RulerId a = 1; a < kRulerCount; ++a) {
        int marks = 0;
        for (int y = 0; y < kTile; ++y)
            for (int x = 0; x < kTile; ++x)
                marks += Marks(a, x, y);
        // Light: some marks, at most a third of the pixels, so the colour stays the colour.
        EXPECT_GT(marks, 0) << "ruler " << a;
        EXPECT_LE(marks * 3, kTile * kTile) << "ruler " << a;
        for (RulerId b = a + 1; b < kRulerCount; ++b) {
            for (int dy = 0; dy < kTile; ++dy)
                for (int dx = 0; dx < kTile; ++dx) {
                    bool differ = false;
                    for (int y = 0; y < kTile && !differ; ++y)
                        for (int x = 0; x < kTile && !differ; ++x)
                            differ = Marks(a, x, y) != Marks(b, x + dx, y + dy);
                    EXPECT_TRUE(differ) << "rulers " << a << " and " << b << " alike shifted by " << dx << "," << dy;
                }
        }
    }
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            EXPECT_FALSE(Marks(0, x, y)) << "no ruler, no pattern";
            EXPECT_FALSE(Marks(kRulerCount, x, y));
        }
}

TEST(RulerPatterns, MarksStandOutOnEveryRulersColour)
{
    for (RulerId r = 1; r < kRulerCount; ++r) {
        const Colour c = kRulerColours[static_cast<std::size_t>(r)];
        const QRgb base = qRgb(ColourRed(c), ColourGreen(c), ColourBlue(c));
        const QRgb mark = ruler_patterns::MarkColour(base);
        const int difference = std::abs(qGray(mark) - qGray(base)) + std::abs(qRed(mark) - qRed(base)) +
                               std::abs(qGreen(mark) - qGreen(base)) + std::abs(qBlue(mark) - qBlue(base));
        EXPECT_GE(difference, 120) << "ruler " << r;
    }
}

class RulerPatternsViewTest : public KivViewTest {
protected:
    void TearDown() override
    {
        view.reset();
        platform::SetWindowScale(1);
        KivViewTest::TearDown();
    }
    QImage Picture(CKivView& v)
    {
        v.OnDraw();
        return v.Surface().copy();
    }
};

TEST_F(RulerPatternsViewTest, OffTheOptionChangesNoPixel)
{
    LoadDealtWorld(*view);
    W().turnCountry = 3;
    view->marks.shownCountry = 3;
    view->marks.battleAttacker = 5;
    view->marks.battleTarget = 6;
    for (ViewMode mode : {ViewMode::PlayerTurn, ViewMode::ChooseAttackTarget}) {
        for (int f : {1, 2}) {
            SCOPED_TRACE(f);
            // A view that never heard of the option against one that had it on and off.
            GameController plainGame;
            CKivView plain(doc, plainGame);
            plain.OnInitialUpdate();
            plainGame.Session().world = W(); // the same game and marks
            plain.marks = view->marks;
            plain.SetZoom(f);
            plain.mode = mode;
            const QImage expected = Picture(plain);
            view->SetZoom(f);
            view->mode = mode;
            view->SetRulerPatterns(true);
            const QImage patterned = Picture(*view);
            EXPECT_NE(patterned, expected) << "the option on shows";
            view->SetRulerPatterns(false);
            EXPECT_EQ(Picture(*view), expected);
        }
    }
}

TEST_F(RulerPatternsViewTest, PatternsLieOnlyOnRuledCountriesNeverOnNumbersOrMarkers)
{
    LoadTestWorld(); // number cells inside the squares
    W().turnCountry = 0;
    view->marks.battleAttacker = 3;
    view->marks.battleTarget = 4;
    view->mode = ViewMode::PlayerTurn;
    const QImage plain = Picture(*view);
    view->SetRulerPatterns(true);
    const QImage patterned = Picture(*view);

    std::array<int, kCountryCount> changed{};
    for (int y = 0; y < kMapHeight; ++y)
        for (int x = 0; x < kMapWidth; ++x) {
            if (patterned.pixel(x, y) == plain.pixel(x, y))
                continue;
            const int country = doc.Map().CountryAt(x, y);
            ASSERT_NE(country, MapPicture::kNoCountry) << x << "," << y << ": off the countries";
            const Country& c = W().countries[static_cast<std::size_t>(country)];
            ASSERT_NE(c.GetRuler(), 0) << "country " << country << " has no ruler";
            const QRect cell(c.GetMapX(), c.GetMapY() - 16, 16, 16);
            ASSERT_FALSE(cell.contains(x, y)) << "country " << country << "'s number cell";
            // Outside the cell only the country's own colour was there to mark.
            EXPECT_EQ(At(plain, x, y), W().rulers[static_cast<std::size_t>(c.GetRuler())].GetColour());
            ++changed[static_cast<std::size_t>(country)];
        }
    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_EQ(changed[static_cast<std::size_t>(i)] > 0, W().countries[i].GetRuler() != 0) << "country " << i;

    // While an attack target is chosen, the greyed countries stay plain grey.
    view->mode = ViewMode::ChooseAttackTarget;
    const QImage choosing = Picture(*view);
    for (int i : {2, 3, 4, 5}) // not neighbours of country 0
        EXPECT_TRUE(AllPixels(choosing, QRect(SquareX(i), kSquareTop, kSquareSize, kSquareSize).adjusted(0, 20, 0, 0),
                              kDimColour))
            << "country " << i;
}

TEST_F(RulerPatternsViewTest, TheSwatchIsTheMapsPattern)
{
    LoadDealtWorld(*view);
    view->SetRulerPatterns(true);
    const QImage map = Picture(*view);
    for (int country : {0, 1, 3, 5, 7, 9, 11}) {
        const RulerId ruler = W().countries[static_cast<std::size_t>(country)].GetRuler();
        SCOPED_TRACE(ruler);
        // A block of the map on the pattern's own grid, wholly inside the country.
        const int x0 = (SquareX(country) + kTile - 1) / kTile * kTile;
        const QRect block(x0, 104, kTile * 2, kTile);
        ASSERT_TRUE(QRect(SquareX(country), kSquareTop, kSquareSize, kSquareSize).contains(block));
        QImage swatch(block.size(), QImage::Format_RGB32);
        swatch.fill(Qt::black);
        QPainter painter(&swatch);
        ruler_patterns::PaintSwatch(painter, swatch.rect(), ruler);
        painter.end();
        EXPECT_EQ(swatch, map.copy(block));
    }
}
