// SPDX-License-Identifier: GPL-3.0-or-later
// The main view magnified by whole steps: clicks taken back to the map's own pixels,
// the panel's words and places, the picture at 2x and 3x against the picture at 1x,
// the buttons, the window's paint against OnDraw, and the dialogs that grow with it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "platform/fonts.h"
#include "platform/window_scale.h"
#include "platform/windows.h"
#include "view/battle/battle_dlg.h"
#include "view/map/view_zoom.h"
#include "view_fixture.h"

namespace {

// Each pixel of image as an f x f square: what "crisp" means, written out here
// rather than taken from the view's own enlargement.
QImage Blocks(const QImage& image, int f)
{
    QImage out(image.size() * f, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, image.pixel(x / f, y / f));
    return out;
}

// The black pixels' bounding box inside area.
QRect InkBox(const QImage& image, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (At(image, x, y) == kBlack)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class ViewZoomTest : public KivViewTest {
protected:
    void TearDown() override
    {
        view.reset();
        platform::SetWindowScale(1); // the dialogs of later tests at their own size
        KivViewTest::TearDown();
    }
    // A game in play with everything the panel can show, and a marker.
    void SetUpBusyWorld()
    {
        LoadTestWorld();
        W().year = 219;
        W().month = 12;
        W().turnCountry = 2;
        view->marks.shownCountry = 4;
        view->marks.battleAttacker = 6;
        view->marks.battleTarget = 7;
        view->mode = ViewMode::PlayerTurn;
        view->statusText = QStringLiteral("開墾が 41 になりました");
    }
    // Where each recorded text may have ink, on the map's pixels (a pixel of slack on
    // every side for glyphs that reach past their cell).
    std::vector<QRect> TextBoxes(const std::vector<CKivView::DrawnText>& texts) const
    {
        const QFontMetrics metrics(platform::Font(platform::GameFont::System, 1));
        std::vector<QRect> boxes;
        for (const CKivView::DrawnText& t : texts)
            boxes.push_back(QRect(t.at, QSize(metrics.horizontalAdvance(t.text), 16)).adjusted(-1, -1, 1, 1));
        return boxes;
    }
};

TEST(ViewZoomRule, PointsOfTheViewFallOnTheMapPixelUnderThem)
{
    ViewZoom zoom;
    for (int f : {1, 2, 3}) {
        zoom.SetFactor(f);
        SCOPED_TRACE(f);
        // Every view pixel of the square that map pixel (7, 5) became maps back to it.
        for (int dy = 0; dy < f; ++dy)
            for (int dx = 0; dx < f; ++dx)
                EXPECT_EQ(zoom.ToMap(QPoint(7 * f + dx, 5 * f + dy)), QPoint(7, 5));
        EXPECT_EQ(zoom.ToMap(QPoint(616 * f - 1, 440 * f - 1)), QPoint(615, 439));
        EXPECT_EQ(zoom.ToMap(QPoint(616 * f, 440 * f)), QPoint(616, 440)) << "just off the map stays off";
        EXPECT_EQ(zoom.ToMap(QPoint(-1, -f)), QPoint(-1, -1)) << "left of and above the map stays off";
        EXPECT_EQ(zoom.Scaled(QRect(20, 390, 60, 20)), QRect(20 * f, 390 * f, 60 * f, 20 * f));
    }
    // Between whole steps each view pixel still falls on one map pixel, the one whose
    // enlarged square holds it, and a map rectangle's view pixels map back into it.
    zoom.SetFactor(1.5);
    EXPECT_EQ(zoom.Scaled(QSize(616, 440)), QSize(924, 660));
    for (const QRect& r : {QRect(20, 390, 60, 20), QRect(7, 5, 1, 1), QRect(0, 0, 616, 440)}) {
        const QRect v = zoom.Scaled(r);
        EXPECT_EQ(zoom.ToMap(v.topLeft()), r.topLeft());
        EXPECT_EQ(zoom.ToMap(v.bottomRight()), r.bottomRight());
        EXPECT_EQ(zoom.ToMap(v.bottomRight() + QPoint(1, 1)), r.bottomRight() + QPoint(1, 1));
    }
    zoom.SetFactor(0);
    EXPECT_EQ(zoom.Factor(), 1);
    zoom.SetFactor(4);
    EXPECT_EQ(zoom.Factor(), 3);
}

TEST(ViewZoomRule, TheLargestStepWhoseWindowFitsTheScreen)
{
    const QSize map(616, 440);
    const QSize chrome(16, 65); // frame and menu bar
    // A full-HD screen less its task bar: 3x needs 1864 x 1385, 2x 1248 x 945.
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(1920, 1040)), 2);
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(1864, 1385)), 3) << "exactly fits";
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(1863, 1385)), 2);
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(1248, 944)), 1.5) << "one pixel short of 2x";
    // A 1366 x 768 laptop less its panel: 1.5x needs 940 x 725.
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(1366, 736)), 1.5);
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(940, 724)), 1) << "one pixel short of 1.5x";
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(800, 600)), 1);
    EXPECT_EQ(ViewZoom::LargestFitting(map, chrome, QSize(300, 200)), 1) << "never below 1x";
}

TEST_F(ViewZoomTest, ClicksSelectTheCountryUnderTheMapPixel)
{
    LoadTestWorld();
    for (int f : {2, 3}) {
        SCOPED_TRACE(f);
        view->SetZoom(f);
        ASSERT_EQ(view->size(), QSize(616 * f, 440 * f));
        for (int i : {0, 5, 12}) {
            // The first and the last view pixel of the square's corners.
            view->marks.shownCountry = -1;
            QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(SquareX(i) * f, kSquareTop * f));
            EXPECT_EQ(view->marks.shownCountry, i);
            view->marks.shownCountry = -1;
            QTest::mouseClick(view.get(), Qt::LeftButton, {},
                              QPoint((SquareX(i) + kSquareSize) * f - 1, (kSquareTop + kSquareSize) * f - 1));
            EXPECT_EQ(view->marks.shownCountry, i);
        }
        // One view pixel further is the outline beside square 4, then the sea: nothing.
        view->marks.shownCountry = 9;
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint((SquareX(4) + kSquareSize) * f, kSquareTop * f));
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(SquareX(4) * f, kSquareTop * f - 1));
        EXPECT_EQ(view->marks.shownCountry, 9);
        // The map's last pixel, in country 13's corner, is the view's last.
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(616 * f - 1, 440 * f - 1));
        EXPECT_EQ(view->marks.shownCountry, 13);
    }
}

TEST_F(ViewZoomTest, ARightClickAtAnyZoomCancelsAChoice)
{
    LoadTestWorld();
    view->SetZoom(2);
    ReachTurn(0);
    Choose(ViewMode::ChooseMoveTarget);
    ASSERT_EQ(view->mode, ViewMode::ChooseMoveTarget);
    QTest::mouseClick(view.get(), Qt::RightButton, {}, QPoint(1000, 700));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
}

TEST_F(ViewZoomTest, ThePanelsWordsKeepTheirPlacesOnTheMap)
{
    SetUpBusyWorld();
    std::vector<CKivView::DrawnText> atOne;
    view->RecordTexts(&atOne);
    view->OnDraw();
    for (qreal f : {1.5, 2.0, 3.0}) {
        SCOPED_TRACE(f);
        view->SetZoom(f);
        std::vector<CKivView::DrawnText> texts;
        view->RecordTexts(&texts);
        view->OnDraw();
        // The same words at the same places of the map, whatever the zoom.
        EXPECT_EQ(texts, atOne);
        ASSERT_GE(texts.size(), 20u);
        EXPECT_EQ(texts.back().text, QStringLiteral("開墾が 41 になりました"));
    }
    view->RecordTexts(nullptr);
}

TEST_F(ViewZoomTest, AtTwoAndThreeTimesThePictureIsTheOneAtOneTimeInSquaresWithTextDrawnLarger)
{
    SetUpBusyWorld();
    std::vector<CKivView::DrawnText> texts;
    view->RecordTexts(&texts);
    view->OnDraw();
    view->RecordTexts(nullptr);
    const QImage one = view->Surface().copy();
    const std::vector<QRect> boxes = TextBoxes(texts);
    for (int f : {2, 3}) {
        SCOPED_TRACE(f);
        view->SetZoom(f);
        view->OnDraw();
        const QImage zoomed = view->Surface();
        ASSERT_EQ(zoomed.size(), QSize(616 * f, 440 * f));
        const QImage blocks = Blocks(one, f);

        // Away from the text: map, numbers' cells, frame, marker, boxes, portrait, all
        // exactly the 1x picture in f x f squares.
        QImage mask(one.size(), QImage::Format_Mono);
        mask.fill(0);
        for (const QRect& box : boxes)
            for (int y = std::max(0, box.top()); y <= std::min(439, box.bottom()); ++y)
                for (int x = std::max(0, box.left()); x <= std::min(615, box.right()); ++x)
                    mask.setPixel(x, y, 1);
        int differing = 0;
        for (int y = 0; y < zoomed.height(); ++y)
            for (int x = 0; x < zoomed.width(); ++x)
                if (!mask.pixelIndex(x / f, y / f) && zoomed.pixel(x, y) != blocks.pixel(x, y))
                    ++differing;
        EXPECT_EQ(differing, 0);

        // The text: as wide and as tall as f times the 1x text (give or take a pixel of
        // hinting per side), and drawn anew, not the 1x glyphs in squares.
        for (const CKivView::DrawnText& t : texts) {
            if (t.at.y() < 0 || t.text.isEmpty())
                continue; // a number above the map
            SCOPED_TRACE(t.text.toStdString());
            const QRect area = QRect(t.at, QSize(200, 16)).adjusted(-1, -1, 1, 1) & QRect(0, 0, 616, 440);
            const QRect ink1 = InkBox(one, area);
            const QRect inkF = InkBox(zoomed, QRect(area.topLeft() * f, area.size() * f));
            ASSERT_FALSE(ink1.isEmpty());
            EXPECT_NEAR(inkF.width(), ink1.width() * f, 2 * f);
            EXPECT_NEAR(inkF.height(), ink1.height() * f, 2 * f);
            EXPECT_NE(zoomed.copy(inkF), blocks.copy(inkF)) << "the 1x text enlarged";
        }
    }
}

TEST_F(ViewZoomTest, TheWindowShowsWhatOnDrawComposes)
{
    SetUpBusyWorld();
    for (int f : {2, 3}) {
        SCOPED_TRACE(f);
        view->SetZoom(f);
        view->OnDraw();
        const QImage composed = view->Surface().copy();
        // The window paints the enlarged map straight into its own buffer; above the
        // buttons it must show the same picture.
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shown.size(), composed.size());
        const QRect aboveButtons(0, 0, 616 * f, 390 * f);
        EXPECT_EQ(shown.copy(aboveButtons), composed.copy(aboveButtons));
    }
}

TEST_F(ViewZoomTest, AChangeOfOwnershipReachesTheEnlargedMap)
{
    SetUpBusyWorld();
    view->SetZoom(2);
    view->OnDraw();
    const QPoint inside(SquareX(9) * 2 + 10, kSquareTop * 2 + 40); // in square 9, clear of its number
    EXPECT_EQ(At(view->Surface(), inside.x(), inside.y()), W().rulers[6].GetColour());
    W().countries[9].SetRuler(2);
    view->OnDraw();
    EXPECT_EQ(At(view->Surface(), inside.x(), inside.y()), W().rulers[2].GetColour());
    // And in the window's own paint, which keeps the enlargement between paints.
    W().countries[9].SetRuler(3);
    EXPECT_EQ(At(view->grab().toImage(), inside.x(), inside.y()), W().rulers[3].GetColour());
    // Choosing a target greys the country; back to 1x and 3x the map follows too.
    W().turnCountry = 0;
    view->mode = ViewMode::ChooseAttackTarget;
    EXPECT_EQ(At(view->grab().toImage(), inside.x(), inside.y()), kDimColour);
    view->SetZoom(3);
    view->mode = ViewMode::PlayerTurn;
    view->OnDraw();
    EXPECT_EQ(At(view->Surface(), SquareX(9) * 3 + 15, kSquareTop * 3 + 60), W().rulers[3].GetColour());
}

TEST_F(ViewZoomTest, TheButtonsGrowWithTheirPlacesAndText)
{
    LoadTestWorld();
    for (int f : {2, 3, 1}) {
        SCOPED_TRACE(f);
        view->SetZoom(f);
        const std::vector<QPushButton*> buttons = Buttons();
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i]->geometry(), QRect((20 + 70 * static_cast<int>(i)) * f, 390 * f, 60 * f, 20 * f));
            EXPECT_EQ(buttons[i]->font().pixelSize(), 16 * f);
        }
    }
    // A click on a magnified button runs its command.
    view->SetZoom(3);
    W().countries[0].SetFunds(5000);
    ReachTurn(0);
    auto* under = qobject_cast<QPushButton*>(view->childAt(QPoint(165 * 3, 395 * 3)));
    ASSERT_EQ(under, view->landButton);
    QTest::mouseClick(under, Qt::LeftButton);
    EXPECT_TRUE(view->statusText.startsWith(QStringLiteral("開墾が "))) << view->statusText.toStdString();
}

TEST_F(ViewZoomTest, DialogsGrowWithTheirFontAndPortraits)
{
    // The main window on the screen where these dialogs fit at 2x.
    QWidget main;
    main.move(WideScreen()->availableGeometry().topLeft());
    platform::SetMainWindow(&main);
    const QSize one = [] {
        CScenarioDlg dlg;
        return dlg.size();
    }();
    view->SetZoom(2);
    {
        CScenarioDlg dlg;
        EXPECT_EQ(dlg.font().pixelSize(), 24);
        EXPECT_NEAR(dlg.width(), 2 * one.width(), one.width() / 10);
        EXPECT_NEAR(dlg.height(), 2 * one.height(), one.height() / 10);
    }
    // The battle window's portraits are the 80 x 100 pictures in 2 x 2 squares.
    LoadTestWorld();
    BattleScript script(W(), 0, 1, W().random);
    CBattleDlg battle(script);
    std::vector<QSize> pictures;
    OnModal([&](QWidget* w) {
        for (QLabel* label : w->findChildren<QLabel*>())
            if (!label->pixmap().isNull())
                pictures.push_back(label->pixmap().size());
        static_cast<CBattleDlg*>(w)->Abandon();
    });
    battle.exec();
    platform::SetMainWindow(nullptr);
    ASSERT_EQ(pictures.size(), 2u);
    for (const QSize& size : pictures)
        EXPECT_EQ(size, QSize(160, 200));
}
