// SPDX-License-Identifier: GPL-3.0-or-later
// The 表示 menu's window options: the game speed, which shortens the windows' times and
// changes no battle; the zoom by menu and by Ctrl+plus and Ctrl+minus; each option and
// the window's place remembered for the next start.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QtCharts/QLegend>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QPainter>
#include <QSet>
#include <QTest>
#include <QToolTip>

#include <mutex>
#include <utility>

#include "app/about_dlg.h"
#include "app/gui_options.h"
#include "dialogs/ruler_dlg.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "app/view_options.h"
#include "app/chronicle.h"
#include "view/access/high_contrast.h"
#include "view/windows/chronicle_wnd.h"
#include "view/windows/holdings_chart.h"
#include "view/map/ruler_patterns.h"
#include "view/windows/ruler_table.h"
#include "dialogs/message_wnd.h"
#include "gui_test_support.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/random.h"
#include "platform/window_scale.h"
#include "view/map/battle_arrows.h"
#include "view/battle/battle_dlg.h"
#include "view_fixture.h"

namespace settings = platform::settings;
using settings::GameSpeed;

namespace {

constexpr GameSpeed kAllSpeeds[] = {GameSpeed::Normal, GameSpeed::Fast, GameSpeed::Fastest};

// What a battle leaves behind: both counts, the last lines, the variant, and the
// next draw of the generator it drew from.
struct ShownOutcome {
    std::int32_t attacker = 0;
    std::int32_t target = 0;
    std::string attackerLine;
    std::string targetLine;
    int variant = 0;
    int nextDraw = 0;
    bool operator==(const ShownOutcome&) const = default;
};

ShownOutcome Of(const BattleScript& s, platform::Random& rng)
{
    return {s.m_nAttackerSoldiers, s.m_nTargetSoldiers, s.m_strAttackerLine, s.m_strTargetLine, s.m_nVariant,
            rng.Draw()};
}

} // namespace

class GameSpeedTest : public KivViewTest {
protected:
    void TearDown() override
    {
        platform::UseRealClock();
        KivViewTest::TearDown();
    }
    // The same battle from the same generator and the same clock every time.
    std::unique_ptr<BattleScript> FreshBattle()
    {
        platform::FixClock(1'700'000'000);
        W().commandRandom.Seed(77);
        return std::make_unique<BattleScript>(W(), 0, 1, W().commandRandom);
    }
};

TEST_F(GameSpeedTest, TheWindowsTimesAreDividedByTheSpeedsStep)
{
    LoadTestWorld();
    view->SetWindowTimes(0, 0); // the windows' own times
    const int divisors[] = {1, 2, 10};
    for (GameSpeed speed : kAllSpeeds) {
        const int d = divisors[static_cast<int>(speed)];
        SCOPED_TRACE(d);
        view->SetSpeed(speed);
        for (int ms : {1000, 1500}) {
            int elapse = -1;
            OnModal([&](QWidget* w) {
                auto* wnd = dynamic_cast<CMessageWnd*>(w);
                ASSERT_NE(wnd, nullptr);
                elapse = wnd->m_nElapse;
                wnd->accept();
            });
            view->ShowMessage(QStringLiteral("1 豫州 が攻撃されています"), ms);
            EXPECT_EQ(elapse, ms / d);
        }
        int step = -1;
        const std::unique_ptr<BattleScript> script = FreshBattle();
        OnModal([&](QWidget* w) {
            auto* battle = dynamic_cast<CBattleDlg*>(w);
            ASSERT_NE(battle, nullptr);
            step = battle->StepInterval();
            battle->Abandon();
        });
        game->Conductor().Present(*script);
        EXPECT_EQ(step, 1500 / d);
    }
}

TEST_F(GameSpeedTest, EveryBattleEndsAsItWouldAtAnySpeed)
{
    LoadTestWorld();
    for (const auto& battle : {std::pair{0, 1}, std::pair{4, 3}}) {
        const int attacker = battle.first, target = battle.second;
        SCOPED_TRACE(std::to_string(attacker) + " against " + std::to_string(target));
        auto fresh = [&] {
            platform::FixClock(1'700'000'000);
            W().commandRandom.Seed(77);
            return std::make_unique<BattleScript>(W(), attacker, target, W().commandRandom);
        };
        // The script stepped by hand, no window and no timer: the rule's outcome.
        std::unique_ptr<BattleScript> bare = fresh();
        bare->Start();
        int ticks = 0;
        while (!bare->Tick())
            ++ticks;
        ASSERT_GE(ticks, 4) << "a battle that is fought";
        const ShownOutcome expected = Of(*bare, W().commandRandom);

        // In the window at the fastest speed, on its real timer (150 ms a step).
        view->SetWindowTimes(0, 0);
        view->SetSpeed(GameSpeed::Fastest);
        std::unique_ptr<BattleScript> fastest = fresh();
        ASSERT_TRUE(game->Conductor().Present(*fastest));
        EXPECT_EQ(Of(*fastest, W().commandRandom), expected);

        // And at a pace no speed gives, a step a millisecond.
        view->SetWindowTimes(0, 1);
        view->SetSpeed(GameSpeed::Normal);
        std::unique_ptr<BattleScript> quick = fresh();
        ASSERT_TRUE(game->Conductor().Present(*quick));
        EXPECT_EQ(Of(*quick, W().commandRandom), expected);
    }
}

class ViewOptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        Start();
    }
    void TearDown() override
    {
        app.reset();
        ClearSettings();
        platform::SetWindowScale(1);
        QCoreApplication::setOrganizationName(QStringLiteral("Brakka"));
        QCoreApplication::setApplicationName(QStringLiteral("VelcorTests"));
    }
    // The program as it starts, reading the settings.
    void Start()
    {
        app.reset();
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance());
        options = app->Options();
    }
    // A first start: none of these options chosen yet.
    static void ClearSettings()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Brakka"));
        QCoreApplication::setApplicationName(QStringLiteral("Velcor"));
        QSettings s;
        for (const char* key : {"Settings/Zoom", "Settings/Speed", "Settings/RulerPatterns", "Settings/BattleArrows",
                                "Windows/Main"})
            s.remove(QString::fromLatin1(key));
    }
    // The main window remembered at 1x on the test's 1920 x 1080 screen, where 2x
    // fits, and the program started again.
    void StartOnTheWideScreen()
    {
        Frame()->move(WideScreen()->availableGeometry().topLeft());
        Frame()->show();
        Frame()->close();
        settings::SetZoom(1);
        Start();
    }
    CKivView* View() const { return app->View(); }
    CMainFrame* Frame() const { return app->MainFrame(); }

    std::unique_ptr<CKivApp> app;
    ViewOptions* options = nullptr;
};

TEST_F(ViewOptionsTest, TheItemsOfTheViewMenu)
{
    QMenu* menu = Frame()->ViewMenu();
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << a->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("拡大(&Z)")));
    EXPECT_TRUE(texts.contains(QStringLiteral("速度(&S)")));
    EXPECT_TRUE(texts.contains(QStringLiteral("模様で区別(&P)")));
    EXPECT_EQ(options->ZoomAction(1)->text(), QStringLiteral("&1 倍"));
    EXPECT_EQ(options->ZoomAction(3)->text(), QStringLiteral("&3 倍"));
    EXPECT_EQ(options->SpeedAction(GameSpeed::Normal)->text(), QStringLiteral("標準(&N)"));
    EXPECT_EQ(options->SpeedAction(GameSpeed::Fast)->text(), QStringLiteral("速い(&F)"));
    EXPECT_EQ(options->SpeedAction(GameSpeed::Fastest)->text(), QStringLiteral("最速(&M)"));
    EXPECT_EQ(options->ZoomInAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    EXPECT_EQ(options->ZoomOutAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Minus));

    // A first start on the test's 800 x 600 screen: 1x, 標準, no patterns.
    EXPECT_EQ(View()->Zoom(), 1);
    EXPECT_TRUE(options->ZoomAction(1)->isChecked());
    EXPECT_FALSE(options->ZoomOutAction()->isEnabled());
    EXPECT_TRUE(options->SpeedAction(GameSpeed::Normal)->isChecked());
    EXPECT_EQ(View()->Speed(), GameSpeed::Normal);
    EXPECT_FALSE(options->PatternsAction()->isChecked());
    EXPECT_FALSE(View()->RulerPatterns());
}

TEST_F(ViewOptionsTest, ChoicesAreAppliedAndRememberedForTheNextStart)
{
    StartOnTheWideScreen();
    const QSize frameAtOne = Frame()->size();
    const QFontInfo tipAtOne(QToolTip::font());
    options->ZoomAction(2)->trigger();
    EXPECT_EQ(QFontInfo(QToolTip::font()).pixelSize(), 2 * tipAtOne.pixelSize()) << "tooltips grow too";
    options->SpeedAction(GameSpeed::Fastest)->trigger();
    options->PatternsAction()->trigger();
    EXPECT_EQ(View()->Zoom(), 2);
    EXPECT_EQ(View()->size(), QSize(1232, 880));
    // The window grows by the view's growth, and by the menu bar's.
    EXPECT_EQ(Frame()->width(), frameAtOne.width() + 616);
    EXPECT_GT(Frame()->height(), frameAtOne.height() + 440);
    EXPECT_EQ(platform::WindowScale(), 2) << "the dialogs follow";
    EXPECT_EQ(View()->Speed(), GameSpeed::Fastest);
    EXPECT_TRUE(View()->RulerPatterns());

    Start();
    EXPECT_EQ(View()->Zoom(), 2);
    EXPECT_TRUE(options->ZoomAction(2)->isChecked());
    EXPECT_EQ(View()->Speed(), GameSpeed::Fastest);
    EXPECT_TRUE(options->SpeedAction(GameSpeed::Fastest)->isChecked());
    EXPECT_TRUE(View()->RulerPatterns());
    EXPECT_TRUE(options->PatternsAction()->isChecked());

    options->PatternsAction()->trigger();
    options->SpeedAction(GameSpeed::Fast)->trigger();
    Start();
    EXPECT_FALSE(View()->RulerPatterns());
    EXPECT_EQ(View()->Speed(), GameSpeed::Fast);
}

TEST_F(ViewOptionsTest, CtrlPlusAndCtrlMinusStepTheZoom)
{
    StartOnTheWideScreen();
    Frame()->show();
    QApplication::setActiveWindow(Frame());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    QTest::keyClick(Frame(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(View()->Zoom(), 1.5);
    QTest::keyClick(Frame(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(View()->Zoom(), 2);
    EXPECT_FALSE(options->ZoomInAction()->isEnabled()) << "3x does not fit the screen";
    QTest::keyClick(Frame(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(View()->Zoom(), 2);
    QTest::keyClick(Frame(), Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(Frame(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(View()->Zoom(), 1);
    EXPECT_EQ(settings::Zoom(), 1) << "a key's choice is remembered like the menu's";
}

TEST_F(ViewOptionsTest, TheWindowKeepsItsPlaceOnTheScreen)
{
    Frame()->show();
    Frame()->move(120, 90);
    const QPoint placed = Frame()->pos();
    Frame()->close();
    EXPECT_FALSE(settings::WindowGeometry(QStringLiteral("Main")).isEmpty());
    Start();
    EXPECT_EQ(Frame()->pos(), placed);
}

TEST_F(ViewOptionsTest, EveryWindowFitsTheScreenThatShowsTheMainWindow)
{
    const QRect area = WideScreen()->availableGeometry();
    auto expectInside = [&](QWidget* w, const std::string& what) {
        const QRect r = w->frameGeometry();
        EXPECT_TRUE(area.contains(r)) << what << " at " << r.x() << "," << r.y() << " " << r.width() << "x"
                                      << r.height();
    };
    // The main window remembered at each corner of the wide screen, and 3x remembered:
    // the next start takes the largest zoom that fits, and offers no larger one.
    for (QPoint corner : {area.topLeft(), area.bottomRight()}) {
        SCOPED_TRACE(corner.x());
        Frame()->move(corner);
        Frame()->show();
        Frame()->close();
        settings::SetZoom(3);
        Start();
        Frame()->show();
        QApplication::setActiveWindow(Frame());
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
        EXPECT_EQ(Frame()->screen(), WideScreen());
        EXPECT_EQ(View()->Zoom(), 2);
        EXPECT_FALSE(options->ZoomAction(3)->isEnabled());
        EXPECT_FALSE(options->ZoomInAction()->isEnabled());
        QTest::keyClick(Frame(), Qt::Key_Plus, Qt::ControlModifier);
        EXPECT_EQ(View()->Zoom(), 2);
        expectInside(Frame(), "main window");

        // Both lists of rulers in the ruler window, which does not fit at 2x.
        for (int scenario : {0, 2}) {
            CRulerDlg ruler;
            ruler.m_nScenario = scenario;
            ruler.m_strDataDir = View()->dataDirectory;
            OnModal([&](QWidget* w) {
                expectInside(w, "ruler window " + std::to_string(scenario));
                for (QWidget* child : w->findChildren<QWidget*>()) {
                    if (child->isVisible()) {
                        EXPECT_TRUE(w->rect().contains(child->geometry())) << child->objectName().toStdString();
                    }
                }
                static_cast<QDialog*>(w)->reject();
            });
            ruler.exec();
        }
        // A dialog that fits keeps the zoom.
        CAboutDlg about;
        EXPECT_EQ(about.font().pixelSize(), platform::Font(platform::GameFont::Dialog).pixelSize());
    }
}

TEST_F(ViewOptionsTest, EveryWindowsTextFollowsTheZoom)
{
    StartOnTheWideScreen();
    Frame()->show();
    // The pixel size of the text each window shows.
    auto shown = [](const QFont& font) { return QFontInfo(font).pixelSize(); };
    const std::vector<std::pair<const char*, std::function<int()>>> windows = {
        {"menu bar", [&] { return shown(Frame()->menuBar()->font()); }},
        {"menu", [&] { return shown(Frame()->ViewMenu()->font()); }},
        {"chronicle", [&] { return shown(app->GetChronicle()->Window().findChild<QListView*>()->font()); }},
        {"chart", [&] {
             return shown(app->GetChronicle()->Window().findChild<HoldingsChart*>()->chart()->legend()->font());
         }},
        {"turn report", [&] { return shown(app->GetChronicle()->ReportWindow().findChild<QCheckBox*>()->font()); }},
        {"file dialog", [&] {
             int size = 0;
             OnModal([&](QWidget* w) {
                 size = shown(w->findChild<QLineEdit*>()->font());
                 static_cast<QDialog*>(w)->reject();
             });
             platform::GetSaveGamePath(Frame());
             return size;
         }},
        {"message box", [&] {
             int size = 0;
             OnModal([&](QWidget* w) {
                 size = shown(w->findChild<QLabel*>()->font());
                 static_cast<QDialog*>(w)->reject();
             });
             platform::ShowMessageBox(Frame(), QStringLiteral("-"));
             return size;
         }},
    };
    // The file dialog grows with its text, at least by the zoom, within the screen.
    auto fileDialogWidth = [&] {
        int width = 0;
        OnModal([&](QWidget* w) {
            width = w->width();
            static_cast<QDialog*>(w)->reject();
        });
        platform::GetSaveGamePath(Frame());
        return width;
    };
    const int fileDialogAtOne = fileDialogWidth();
    std::vector<int> atOne;
    for (const auto& [what, size] : windows)
        atOne.push_back(size());
    options->ZoomAction(2)->trigger();
    ASSERT_EQ(View()->Zoom(), 2);
    for (std::size_t i = 0; i < std::size(windows); ++i) {
        SCOPED_TRACE(windows[i].first);
        EXPECT_GT(atOne[i], 0);
        EXPECT_NEAR(windows[i].second(), 2 * atOne[i], 1);
    }
    const int fileDialogAtTwo = fileDialogWidth();
    EXPECT_GE(fileDialogAtTwo, 2 * fileDialogAtOne);
    EXPECT_LE(fileDialogAtTwo, WideScreen()->availableGeometry().width());
}

TEST(CommandLine, AZoomForOneRunAndTheFirstPaintsTime)
{
    GuiOptions options;
    std::string error;
    ASSERT_TRUE(ParseGuiOptions({"--zoom", "3", "--first-paint"}, options, error)) << error;
    EXPECT_EQ(options.zoom, 3);
    EXPECT_TRUE(options.firstPaint);
    ASSERT_TRUE(ParseGuiOptions({}, options, error));
    EXPECT_EQ(options.zoom, 0) << "as remembered";
    EXPECT_FALSE(options.firstPaint);
    ASSERT_TRUE(ParseGuiOptions({"--zoom", "1.5"}, options, error)) << error;
    EXPECT_EQ(options.zoom, 1.5);
    for (const char* bad : {"0", "4", "2x", "1.25"}) {
        EXPECT_FALSE(ParseGuiOptions({"--zoom", bad}, options, error));
        EXPECT_EQ(error, std::string("--zoom: ") + bad + " is not one of 1, 1.5, 2, 3");
    }
}

TEST_F(ViewOptionsTest, TheRulerTablesLegendShowsThePatternsWithTheMap)
{
    // 袁術 and 曹操, whose colours are the hardest pair to tell apart.
    View()->Game().Session().world.countries[0].SetRuler(2);
    View()->Game().Session().world.countries[1].SetRuler(3);
    RulerTable* table = app->GetChronicle()->Window().Standings();
    table->Refresh();
    ASSERT_EQ(table->rowCount(), 2);
    auto swatch = [&](int row) { return table->item(row, 0)->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32); };
    auto plainColours = [](const QImage& image) {
        QSet<QRgb> colours;
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x)
                colours.insert(image.pixel(x, y));
        return colours.size();
    };
    EXPECT_EQ(plainColours(swatch(0)), 1) << "off: the ruler's colour alone";

    options->PatternsAction()->trigger();
    const QImage first = swatch(0);
    const QImage second = swatch(1);
    EXPECT_EQ(plainColours(first), 2) << "the colour and its marks";
    QImage expected(16, 16, QImage::Format_RGB32);
    QPainter painter(&expected);
    ruler_patterns::PaintSwatch(painter, expected.rect(), table->item(0, 0)->data(Qt::UserRole).toInt());
    painter.end();
    EXPECT_EQ(first.copy(1, 1, 14, 14), expected.copy(1, 1, 14, 14));
    EXPECT_NE(first.copy(1, 1, 14, 14), second.copy(1, 1, 14, 14));

    options->PatternsAction()->trigger();
    EXPECT_EQ(plainColours(swatch(0)), 1);
}

TEST_F(ViewOptionsTest, TheBattleArrowsAreTheBattlesSinceThePlayersLastTurn)
{
    // Every battle the game reports, heard beside the arrows.
    struct Heard : EventObserver {
        void OnGameEvent(const GameEvent& e) override
        {
            if (e.kind != EventKind::Battle)
                return;
            const std::lock_guard hold(lock);
            battles.push_back({e.country, e.target, e.Outcome() == BattleOutcome::Taken});
        }
        std::vector<BattleArrow> Take()
        {
            const std::lock_guard hold(lock);
            return std::exchange(battles, {});
        }
        std::mutex lock;
        std::vector<BattleArrow> battles;
    } heard;
    View()->Game().Session().events.Add(&heard);
    View()->SetWindowTimes(1, 1);
    options->BattlesAction()->trigger();
    ASSERT_TRUE(settings::BattleArrows());
    // 董卓, who outlasts his first months, on a clock of the game's own: the same
    // battles at every run.
    View()->Game().Session().world.clock.FixFrom(1700000000);
    ASSERT_TRUE(View()->Files().NewGame(0, 9));

    int turnsWithBattles = 0;
    for (int turn = 0; turn < 40 && turnsWithBattles < 3; ++turn) {
        SCOPED_TRACE(turn);
        ASSERT_TRUE(WaitUntil([&] { return View()->mode != ViewMode::ComputerTurns; }, 20000));
        if (View()->mode != ViewMode::PlayerTurn)
            break; // his last country fell
        const std::vector<BattleArrow> since = heard.Take();
        EXPECT_EQ(options->Battles().Shown(), since);
        if (!since.empty()) {
            ++turnsWithBattles;
            // The arrows are on the map while the item is checked.
            View()->OnDraw();
            const QImage on = View()->Surface().copy();
            options->BattlesAction()->trigger();
            View()->OnDraw();
            EXPECT_NE(View()->Surface(), on);
            options->BattlesAction()->trigger();
        }
        View()->OnRest();
    }
    EXPECT_GT(turnsWithBattles, 0) << "the computer rulers fought no battle";
    ASSERT_TRUE(WaitUntil([&] { return View()->mode != ViewMode::ComputerTurns; }, 20000));
    View()->Game().Session().events.Remove(&heard);
}

// In the high-contrast scheme every text the windows draw stands out from the ground it
// is drawn on by at least 4.5:1, in each colour group (a disabled command's text too).
TEST(HighContrast, EveryTextReadsOnItsGround)
{
    // The measure: black on white is the most there is, and #777 on white just misses.
    EXPECT_NEAR(accessible::ContrastRatio(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(accessible::ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    const QPalette palette = accessible::HighContrastPalette();
    for (const accessible::TextOnGround& pair : accessible::TextsOnGrounds())
        EXPECT_GE(accessible::ContrastRatio(palette.color(pair.group, pair.text), palette.color(pair.group, pair.ground)),
                  4.5)
            << "group " << pair.group << ", text role " << pair.text << " on role " << pair.ground;
}
