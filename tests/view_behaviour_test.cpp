// SPDX-License-Identifier: GPL-3.0-or-later
// What the main view shows in its status line: the text whole inside its box, and the
// latest news rather than an old result.
#include <gtest/gtest.h>

#include <QLabel>

#include "app/kiv_doc.h"
#include "dialogs/message_wnd.h"
#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/text_fit.h"
#include "synthetic_map.h"
#include "test_support.h"
#include "test_world.h"
#include "view/map/kiv_view.h"
#include "world_fixture.h"

namespace {

// The pixels in which two pictures differ, as one bounding rectangle.
QRect Difference(const QImage& a, const QImage& b)
{
    QRect changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    return changed;
}

} // namespace

class ViewBehaviourTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(doc.Map().SetPictures(SyntheticMap(), BlankPortraits()));
        game = std::make_unique<GameController>();
        view = std::make_unique<CKivView>(doc, *game);
        view->OnInitialUpdate();
        view->SetWindowTimes(1, 1);
        WorldRecord world = MakeTestWorld();
        ApplyWorld(W(), world);
        BuildRulerTable(W());
        game->Session().BeginGame(true);
    }
    void TearDown() override
    {
        view.reset();
        game.reset();
        platform::UseRealClock();
        WorldTest::TearDown();
    }
    // The game the view plays, which the tests work on.
    GameState& W() { return game->Session().world; }
    Country& C(int i) { return W().countries[i]; }
    QImage Draw()
    {
        view->OnDraw();
        return view->Surface().copy();
    }
    // A saved game of the test world, in which the player still holds country 0.
    std::string SavedGame()
    {
        std::string error;
        const std::string path = dir.Path("saved.txt");
        EXPECT_TRUE(WriteCountryFile(path, CaptureWorld(W(), W().turnCountry), &error)) << error;
        return path;
    }

    CKivDoc doc;
    std::unique_ptr<GameController> game; // made before the view, let go after it
    std::unique_ptr<CKivView> view;
    TempDir dir;
};

TEST_F(ViewBehaviourTest, EveryStatusTextStaysWholeAndReadableInsideItsBox)
{
    // The inside of the message box: its black top and left edge and its white bottom
    // and right edge stay as they are.
    const QRect inside(391, 356, 208, 21);
    view->statusText.clear();
    const QImage empty = Draw();
    struct Case {
        QString text;
        bool fitsAsItIs;
    };
    const Case cases[] = {
        {QStringLiteral("開墾が 55 になりました"), true},
        {QStringLiteral("兵士が 97262 になりました"), false},
        {QStringLiteral("兵士が 9726200 になりました"), false},
        {QStringLiteral("兵士が -2147483648 になりました"), false},
        {QStringLiteral("東西南北 には攻撃できません"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        view->statusText = c.text;
        const QImage drawn = Draw();
        const QRect ink = Difference(empty, drawn);
        ASSERT_TRUE(ink.isValid());
        EXPECT_TRUE(inside.contains(ink)) << "ink at " << ink.left() << ".." << ink.right() << ", " << ink.top()
                                          << ".." << ink.bottom();
        EXPECT_LE(ink.right(), 597) << "a pixel clear of the white edge";
        EXPECT_GE(ink.left(), 400);
        EXPECT_GE(ink.height(), 11) << "readable";
        if (c.fitsAsItIs) {
            // Short texts keep the font of the rest of the panel: same ink as the label
            // "開墾" drawn in the figures box.
            EXPECT_GE(ink.height(), 14);
        } else {
            EXPECT_GE(ink.right(), 560) << "the line is used, not shrunk far below it";
        }
        EXPECT_EQ(view->statusText, c.text) << "the text itself is not changed";
    }
}

TEST(StatusTextFitting, TheTextStaysAsItIsInANarrowerOrSmallerFace)
{
    const QFont font = platform::Font(platform::GameFont::System);
    const QString longest = QStringLiteral("兵士が -2147483648 になりました");
    // Fits as it is: nothing changes.
    const platform::FittedText same = platform::FitText(font, QStringLiteral("開墾が 55 になりました"), 198);
    EXPECT_EQ(same.font, font);
    EXPECT_EQ(same.text, QStringLiteral("開墾が 55 になりました"));
    // A little too wide: a narrower face of the same size, the same text.
    const platform::FittedText narrow = platform::FitText(font, QStringLiteral("兵士が 972620 になりました"), 198);
    EXPECT_EQ(narrow.text, QStringLiteral("兵士が 972620 になりました"));
    EXPECT_EQ(narrow.font.pixelSize(), 16);
    EXPECT_LT(narrow.font.stretch(), 100);
    EXPECT_GE(narrow.font.stretch(), platform::kNarrowestStretch);
    EXPECT_LE(QFontMetrics(narrow.font).horizontalAdvance(narrow.text), 198);
    // Far too wide for the narrowest face: a smaller size, still the whole text.
    const platform::FittedText small = platform::FitText(font, longest + longest.left(8), 198);
    EXPECT_EQ(small.text, longest + longest.left(8));
    EXPECT_LT(small.font.pixelSize(), 16);
    EXPECT_GE(small.font.pixelSize(), platform::kSmallestPixelSize);
    EXPECT_LE(QFontMetrics(small.font).horizontalAdvance(small.text), 198);
    // A text no readable face can hold is shortened rather than spilling.
    const platform::FittedText cut = platform::FitText(font, QString(200, QChar(0x56FD)), 198);
    EXPECT_TRUE(cut.text.endsWith(QChar(0x2026)));
    EXPECT_LE(QFontMetrics(cut.font).horizontalAdvance(cut.text), 198);
}

TEST_F(ViewBehaviourTest, NewGameAndLoadClearTheStatusLine)
{
    const std::string saved = SavedGame();
    std::string error;
    ASSERT_TRUE(WriteCountryFile(CountryFilePath(dir.Path(), 1), CaptureWorld(W(), -1), &error)) << error;
    view->dataDirectory = QString::fromStdString(dir.Path());
    for (bool load : {true, false}) {
        view->statusText = QStringLiteral("ゲームオーバーです");
        view->mode = ViewMode::GameOver;
        ASSERT_TRUE(load ? view->Files().LoadGame(QString::fromStdString(saved)) : view->Files().NewGame(0, 1)) << load;
        EXPECT_EQ(view->statusText, QString()) << load;
        ASSERT_TRUE(WaitUntil([&] { return view->mode == ViewMode::PlayerTurn && game->CanStartGame(); }, 20000));
    }
}

TEST_F(ViewBehaviourTest, TheComputersAnnouncementsReplaceThePlayersLastResult)
{
    // Country 1 (ruler 2) is strong and certain to consider war in its first turn; the
    // player's country 0 is its weakest neighbour.
    C(0).SetSoldiers(11000);
    C(0).SetTraining(10);
    C(1).SetSoldiers(90000);
    C(1).SetTraining(90);
    C(1).SetProvisions(500000);
    C(1).SetFunds(50000);
    W().turnCountry = 0;
    platform::FixClock(SeedWhoseFirstDraw([](int d) { return d % 10 == 0; }));
    view->SetWindowTimes(20, 1);
    view->statusText = QStringLiteral("訓練が 60 になりました");

    QStringList shown;    // the message windows, in order
    QStringList underIt;  // the status line while each was up
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* m = dynamic_cast<CMessageWnd*>(QApplication::activeModalWidget())) {
            if (shown.isEmpty() || shown.back() != MessageText(m)) {
                shown << MessageText(m);
                underIt << view->statusText;
            }
        }
    });
    watch.start(0);
    game->Session().Resume(); // the player's turn at 司隷
    view->mode = ViewMode::PlayerTurn;
    view->OnRest();
    ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000));
    watch.stop();
    ASSERT_GE(shown.size(), 2) << shown.join(QStringLiteral(" / ")).toStdString();
    EXPECT_EQ(shown[0], QStringLiteral("司隷 が攻撃されています"));
    EXPECT_EQ(underIt[0], shown[0]);
    EXPECT_EQ(underIt[1], shown[1]) << shown[1].toStdString();
}
