// SPDX-License-Identifier: GPL-3.0-or-later
// The main view on the synthetic map, with a portrait of its own for every ruler, for
// the tests of what the view draws and how it answers the player.
#pragma once

#include <gtest/gtest.h>

#include <QPushButton>

#include <memory>
#include <vector>

#include "app/kiv_doc.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "rules/turn.h"
#include "synthetic_map.h"
#include "test_world.h"
#include "view/map/kiv_view.h"
#include "world_fixture.h"

constexpr Colour kBlack = 0;
constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kGrey = MakeColour(192, 192, 192);

// How many pixels of a rectangle are black (text drawn there).
inline int BlackPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += At(image, x, y) == kBlack;
    return count;
}

inline bool AllPixels(const QImage& image, const QRect& area, Colour c)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (At(image, x, y) != c)
                return false;
    return true;
}

inline QImage Solid(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}


class KivViewTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(doc.Map().SetPictures(SyntheticMap(), DistinctPortraits()));
        game = std::make_unique<GameController>();
        view = std::make_unique<CKivView>(doc, *game);
        for (int i = 0; i < kCountryCount; ++i)
            W().countries[i].SetId(i);
        view->OnInitialUpdate();
        view->SetWindowTimes(1, 1);
    }
    void TearDown() override
    {
        view.reset();
        game.reset();
        platform::UseRealClock();
        WorldTest::TearDown();
    }
    // The game the view plays; a view test works on it and not on the fixture's own world.
    GameState& W() { return game->Session().world; }
    EventSink& Events() { return game->Session().events; }
    // The test world, with each country's number cell in the middle of its square.
    void LoadTestWorld(WorldRecord world = MakeTestWorld())
    {
        for (int i = 0; i < kCountryCount; ++i) {
            world.countries[i].mapX = SquareX(i) + 4;
            world.countries[i].mapY = kSquareTop + 20;
        }
        ApplyWorld(W(), world);
        BuildRulerTable(W());
        game->Session().BeginGame(true);
    }
    // The test world at the turn of country 1 (豫州, ruler 2), the player's. It borders
    // 0 (司隷, ruler 1), 2 (冀州, ruler 2, his own) and 8 (益州, ruler 5).
    void StartTurnOfCountry1()
    {
        LoadTestWorld();
        SeatPlayer(W(), 2);
        view->marks.shownCountry = 1;
        ReachTurn(1);
    }
    // The computer's turns have stopped at country, as the worker leaves them: the
    // cursor there, the session's phase following, then the view's turn.
    void ReachTurn(int country)
    {
        W().turnCountry = country;
        game->Session().Resume();
        game->Conductor().PlayerTurn(country);
    }
    // A choice of target begun as its button begins it.
    void Choose(ViewMode mode)
    {
        if (mode == ViewMode::ChooseMoveTarget)
            view->OnMove();
        else
            view->OnWar();
    }
    const QImage& Draw()
    {
        view->OnDraw();
        return view->Surface();
    }
    std::vector<QPushButton*> Buttons() const
    {
        return {view->moveButton, view->warButton, view->landButton, view->commerceButton,
                view->conscriptButton, view->trainButton, view->restButton};
    }
    int EnabledButtons() const
    {
        int n = 0;
        for (QPushButton* b : Buttons())
            n += b->isEnabled();
        return n;
    }

    CKivDoc doc;
    std::unique_ptr<GameController> game; // made before the view, let go after it
    std::unique_ptr<CKivView> view;
};

