// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/message_wnd.h"
#include "gui_test_support.h"
#include "view/battle/battle_dlg.h"
#include "platform/resources.h"
#include "view_fixture.h"

TEST_F(KivViewTest, BeforeAGameThePanelShowsOnlyItsFramesLabelsAndDate)
{
    const QImage& s = Draw();
    // Portrait frames: two black frames one pixel apart, white inside, no portrait.
    EXPECT_EQ(At(s, 496, 6), kBlack);
    EXPECT_EQ(At(s, 583, 113), kBlack);
    EXPECT_EQ(At(s, 497, 7), kWhite);
    EXPECT_EQ(At(s, 498, 8), kBlack);
    EXPECT_EQ(At(s, 581, 111), kBlack);
    EXPECT_TRUE(AllPixels(s, QRect(499, 9, 82, 102), kWhite));
    // Each box: black top and left edge, white bottom and right edge, grey inside.
    const QRect boxes[] = {{500, 117, 80, 23}, {450, 145, 150, 23}, {450, 170, 150, 180}, {390, 355, 210, 23}};
    for (const QRect& box : boxes) {
        EXPECT_EQ(At(s, box.left(), box.top()), kBlack);
        EXPECT_EQ(At(s, box.right(), box.top()), kBlack) << "the top right corner stays black";
        EXPECT_EQ(At(s, box.left() + 1, box.top()), kBlack);
        EXPECT_EQ(At(s, box.left(), box.top() + 1), kBlack);
        EXPECT_EQ(At(s, box.left(), box.bottom()), kWhite);
        EXPECT_EQ(At(s, box.right(), box.bottom()), kWhite);
        EXPECT_EQ(At(s, box.right(), box.top() + 1), kWhite);
        EXPECT_EQ(At(s, box.left() + 3, box.bottom() - 1), kGrey);
        EXPECT_EQ(At(s, box.right() + 1, box.top() + 5), kSea) << "nothing outside the box";
    }
    // The eight labels at x 460, rows 20 pixels apart from y 180; no figures.
    for (int row = 0; row < 8; ++row) {
        EXPECT_GT(BlackPixels(s, QRect(460, 180 + 20 * row, 32, 16)), 20) << row;
        EXPECT_EQ(BlackPixels(s, QRect(500, 180 + 20 * row, 99, 16)), 0) << row;
    }
    EXPECT_EQ(BlackPixels(s, QRect(480, 148, 100, 16)), 0) << "no date before the calendar begins";
    EXPECT_EQ(BlackPixels(s, QRect(391, 358, 200, 16)), 0) << "an empty message";
    // The map: every country white, sea and lettering as painted.
    EXPECT_EQ(At(s, SquareX(0) + 1, kSquareTop + 1), kWhite);
    EXPECT_EQ(At(s, 300, 300), kSea);
    EXPECT_EQ(At(s, 15, 15), kLettering);
}

TEST_F(KivViewTest, AShownCountryFillsThePanel)
{
    LoadTestWorld();
    view->marks.shownCountry = 4;
    view->statusText = QStringLiteral("開墾が 55 になりました");
    const QImage& s = Draw();
    for (int row = 0; row < 8; ++row)
        EXPECT_GT(BlackPixels(s, QRect(500, 180 + 20 * row, 99, 16)), 5) << "figure row " << row;
    EXPECT_GT(BlackPixels(s, QRect(520, 120, 59, 16)), 10) << "ruler name";
    EXPECT_GT(BlackPixels(s, QRect(400, 358, 199, 16)), 30) << "message";
    // Each country area in its ruler's colour.
    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_EQ(At(s, SquareX(i) + 1, kSquareTop + 1),
                  kRulerColours[static_cast<std::size_t>(W().countries[i].GetRuler())]) << i;
}

TEST_F(KivViewTest, NumbersTheTurnFrameAndTheBattleMarkers)
{
    LoadTestWorld();
    W().turnCountry = 3;
    const int x = SquareX(3) + 4;
    const int y = kSquareTop + 20;
    const QImage& s = Draw();
    for (const QRect& frame : {QRect(x - 1, y - 16, 18, 18), QRect(x - 2, y - 17, 20, 20)}) {
        EXPECT_EQ(At(s, frame.left(), frame.top()), kBlack);
        EXPECT_EQ(At(s, frame.right(), frame.bottom()), kBlack);
        EXPECT_EQ(At(s, frame.left(), frame.bottom()), kBlack);
        EXPECT_EQ(At(s, frame.right(), frame.top() + 7), kBlack);
    }
    EXPECT_NE(At(s, x - 3, y - 18), kBlack) << "nothing outside the two frames";
    for (int i = 0; i < kCountryCount; ++i)
        EXPECT_GT(BlackPixels(s, QRect(SquareX(i) + 4, kSquareTop + 4, 16, 16)), 5) << "number " << i;

    // The marker covers the number of both sides, white included.
    view->markerBitmap = Solid(16, 16, QColor(200, 30, 30));
    view->marks.battleAttacker = 5;
    view->marks.battleTarget = 6;
    const QImage& marked = Draw();
    for (int i : {5, 6})
        EXPECT_TRUE(AllPixels(marked, QRect(SquareX(i) + 4, kSquareTop + 4, 16, 16), MakeColour(200, 30, 30)));
    view->marks.battleAttacker = -1;
    const QImage& unmarked = Draw();
    EXPECT_GT(BlackPixels(unmarked, QRect(SquareX(5) + 4, kSquareTop + 4, 16, 16)), 5);
}

TEST_F(KivViewTest, AMarkerPlacedFarOffTheMapIsNotDrawn)
{
    LoadTestWorld();
    view->markerBitmap = Solid(16, 16, QColor(200, 30, 30));
    // The largest figure a file may hold, on the country whose turn it is and on both
    // sides of a battle: nothing is drawn for it and no arithmetic overflows.
    W().countries[3].SetMapX(2147483647);
    W().countries[3].SetMapY(2147483647);
    W().turnCountry = 3;
    view->marks.battleAttacker = 3;
    view->marks.battleTarget = 4;
    const QImage& s = Draw();
    EXPECT_EQ(BlackPixels(s, QRect(SquareX(3) + 4, kSquareTop + 4, 16, 16)), 0) << "its number has gone";
    EXPECT_TRUE(AllPixels(s, QRect(SquareX(4) + 4, kSquareTop + 4, 16, 16), MakeColour(200, 30, 30)))
        << "the other side keeps its marker";
}

TEST_F(KivViewTest, TargetModesDimEverythingButTheValidTargets)
{
    LoadTestWorld();
    W().turnCountry = 1; // ruler 2, borders 0 (player), 2 (ruler 2) and 8
    view->mode = ViewMode::ChooseMoveTarget;
    const QImage& move = Draw();
    EXPECT_EQ(At(move, SquareX(2) + 2, kSquareTop + 2), kRulerColours[2]);
    EXPECT_EQ(At(move, SquareX(0) + 2, kSquareTop + 2), kDimColour);
    EXPECT_EQ(At(move, SquareX(1) + 2, kSquareTop + 2), kDimColour) << "the acting country";
    view->mode = ViewMode::ChooseAttackTarget;
    const QImage& attack = Draw();
    EXPECT_EQ(At(attack, SquareX(0) + 2, kSquareTop + 2), kRulerColours[1]);
    EXPECT_EQ(At(attack, SquareX(8) + 2, kSquareTop + 2), kRulerColours[5]);
    EXPECT_EQ(At(attack, SquareX(2) + 2, kSquareTop + 2), kDimColour);
    EXPECT_EQ(At(attack, SquareX(3) + 2, kSquareTop + 2), kDimColour) << "not a neighbour";
    EXPECT_GT(BlackPixels(attack, QRect(460, 180, 32, 16)), 20) << "the panel is drawn as always";
}

TEST_F(KivViewTest, EndPicturesCoverTheMiddleOfTheMap)
{
    view->victoryBitmap = Solid(300, 200, QColor(10, 20, 30));
    view->gameOverBitmap = Solid(300, 200, QColor(40, 50, 60));
    view->mode = ViewMode::Victory;
    EXPECT_TRUE(AllPixels(Draw(), QRect(158, 100, 300, 200), MakeColour(10, 20, 30)));
    view->mode = ViewMode::GameOver;
    const QImage& s = Draw();
    EXPECT_TRUE(AllPixels(s, QRect(158, 100, 300, 200), MakeColour(40, 50, 60)));
    EXPECT_EQ(At(s, 157, 150), kSea);

    // Without pictures set, the game's own (163 and 164) are read when first shown.
    for (auto [mode, resource] : {std::pair{ViewMode::Victory, 163}, std::pair{ViewMode::GameOver, 164}}) {
        view->victoryBitmap = QImage();
        view->gameOverBitmap = QImage();
        view->mode = mode;
        const QImage picture = platform::LoadResourceImage(resource).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(Draw().copy(QRect(QPoint(158, 100), picture.size())), picture);
    }
}

TEST_F(KivViewTest, ClicksSelectTheCountryUnderThePointer)
{
    LoadTestWorld();
    view->mode = ViewMode::PlayerTurn;
    view->OnLButtonDown(QPoint(SquareX(4) + 5, kSquareTop + 5));
    EXPECT_EQ(view->marks.shownCountry, 4);
    view->OnLButtonDown(QPoint(615, 439));
    EXPECT_EQ(view->marks.shownCountry, 13) << "the last pixel of the map is tested";
    view->OnLButtonDown(QPoint(SquareX(2) + kSquareSize, kSquareTop + 5));
    EXPECT_EQ(view->marks.shownCountry, 13) << "a border keeps the country shown before";
    view->OnLButtonDown(QPoint(616, 120));
    view->OnLButtonDown(QPoint(20, 440));
    EXPECT_EQ(view->marks.shownCountry, 13) << "outside the map";
    view->mode = ViewMode::ComputerTurns;
    view->OnLButtonDown(QPoint(SquareX(4) + 5, kSquareTop + 5));
    EXPECT_EQ(view->marks.shownCountry, 13) << "clicks wait while the computer plays";

    // In the end pictures a click inside the map goes back to no game.
    for (Country& c : W().countries)
        c.SetRuler(W().playerRuler.Get());
    ReachTurn(0);
    ASSERT_EQ(view->mode, ViewMode::Victory);
    view->OnLButtonDown(QPoint(616, 10));
    EXPECT_EQ(view->mode, ViewMode::Victory);
    view->OnLButtonDown(QPoint(300, 300));
    EXPECT_EQ(view->mode, ViewMode::NoGame);
}

TEST_F(KivViewTest, ThePlayersTurnEnablesTheCommandsOrEndsTheGame)
{
    LoadTestWorld();
    view->mode = ViewMode::ComputerTurns;
    ReachTurn(0);
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(EnabledButtons(), 7);
    EXPECT_EQ(view->statusText, QStringLiteral("0 司隷 の番です"));

    view->DisableCommands();
    EXPECT_EQ(EnabledButtons(), 1) << "Rest is left as it is";
    view->restButton->setEnabled(false);

    // The player's last country has fallen.
    W().countries[0].SetRuler(2);
    view->SetWindowTimes(300, 1); // long enough to be seen
    QStringList messages;
    ModalScript script;
    script.Then<CMessageWnd>([&](CMessageWnd* w) { messages << w->findChild<QLabel*>(QStringLiteral("text"))->text(); });
    script.Start();
    view->mode = ViewMode::ComputerTurns;
    ReachTurn(5);
    EXPECT_EQ(messages, QStringList{QStringLiteral("ゲームオーバーです")});
    EXPECT_EQ(view->mode, ViewMode::GameOver);
    EXPECT_EQ(view->statusText, QStringLiteral("ゲームオーバーです"));
    EXPECT_EQ(EnabledButtons(), 0);
    EXPECT_FALSE(game->CanSave());
}

TEST_F(KivViewTest, TheWorkerPlaysTheComputersAndHandsTheTurnBack)
{
    LoadTestWorld();
    platform::FixClock(1'700'000'000);
    view->marks.shownCountry = 0;
    const int month = W().month;
    ReachTurn(0);
    QTest::mouseClick(view->restButton, Qt::LeftButton);
    EXPECT_EQ(view->mode, ViewMode::ComputerTurns);
    EXPECT_EQ(EnabledButtons(), 0);
    EXPECT_FALSE(game->CanStartGame()) << "new game and load wait for the computer";
    EXPECT_TRUE(game->CanSave());
    ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(W().turnCountry, 0);
    EXPECT_EQ(W().month, month + 1);
    EXPECT_EQ(EnabledButtons(), 7);
}

TEST_F(KivViewTest, AComputerAttackOnThePlayerIsAnnouncedAndFoughtInTheWindows)
{
    // Country 1 (ruler 2) is strong and certain to consider war in its first turn; the
    // player's country 0 is its weakest neighbour.
    WorldRecord world = MakeTestWorld();
    world.countries[0].soldiers = 11000;
    world.countries[0].training = 10;
    world.countries[1].soldiers = 90000;
    world.countries[1].training = 90;
    world.countries[1].provisions = 500000;
    world.countries[1].funds = 50000;
    LoadTestWorld(world);
    W().turnCountry = 0;
    // The worker seeds from the clock: pick the second whose first draw decides war.
    platform::FixClock(SeedWhoseFirstDraw([](int d) { return d % 10 == 0; }));

    QStringList seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* m = dynamic_cast<CMessageWnd*>(modal)) {
            const QString text = m->findChild<QLabel*>(QStringLiteral("text"))->text();
            if (seen.isEmpty() || seen.back() != text)
                seen << text;
        } else if (dynamic_cast<CBattleDlg*>(modal) && (seen.isEmpty() || seen.back() != QStringLiteral("battle"))) {
            seen << QStringLiteral("battle");
        }
    });
    watch.start(0);
    ReachTurn(0);
    view->OnRest();
    ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000));
    watch.stop();
    ASSERT_GE(seen.size(), 3) << seen.join(QStringLiteral(" / ")).toStdString();
    EXPECT_EQ(seen[0], QStringLiteral("司隷 が攻撃されています"));
    EXPECT_EQ(seen[1], QStringLiteral("battle"));
    EXPECT_TRUE(seen[2] == QStringLiteral("司隷 が陥落しました") || seen[2] == QStringLiteral("曹操 は退却しました"))
        << seen[2].toStdString();
    if (seen[2].endsWith(QStringLiteral("陥落しました")))
        EXPECT_EQ(view->mode, ViewMode::GameOver);
    else
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
}

TEST_F(KivViewTest, ShutdownEndsAWorkerThatWaitsOnAWindow)
{
    LoadTestWorld();
    W().turnCountry = 0;
    view->SetWindowTimes(0, 0); // windows keep their full times
    // A worker that waits on a message window which stays up for a long time.
    bool shownBeforeStop = false;
    ModalScript script;
    script.Then<CMessageWnd>([&](CMessageWnd*) {
        shownBeforeStop = true;
        view->Shutdown();
    });
    script.Start();
    const WorldRecord before = CaptureWorld(W(), W().turnCountry);
    std::thread worker([this] { game->Conductor().ShowMessage(platform::Message::Plain("待機"), 60'000); });
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(WaitUntil([&] { return shownBeforeStop; }));
    worker.join();
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(CaptureWorld(W(), W().turnCountry), before);
    EXPECT_TRUE(game->StopRequested());
}
