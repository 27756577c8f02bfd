// SPDX-License-Identifier: GPL-3.0-or-later
// The shell around the game: the settings key, the menu, the window's title, and the
// new-game flow over a country file whose header names another player and cursor.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <sstream>

#include "app/bundle_files.h"
#include "app/difficulty_menu.h"
#include "app/kiv_app.h"
#include "view/windows/game_summary_wnd.h"
#include "app/game_history.h"
#include "app/game_story.h"
#include "app/main_frame.h"
#include "cli/headless.h"
#include "content_paths.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/window_scale.h"
#include "platform/clock.h"
#include "rules/event_json.h"
#include "session/game_record.h"
#include "test_support.h"
#include "test_world.h"
#include "view/commands/command_table.h"
#include "view/map/kiv_view.h"

namespace {

// Picks a scenario in the scenario dialog and confirms it.
std::function<void(CScenarioDlg*)> PickScenario(int index)
{
    return [index](CScenarioDlg* d) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("scenario%1").arg(index)), Qt::LeftButton);
        QTest::mouseClick(FindButton(d, "選択"), Qt::LeftButton);
    };
}

} // namespace

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FixClock(1'700'000'000);
        // Names the test main does not use, so that only the application can set the key.
        QCoreApplication::setOrganizationName(QStringLiteral("NotTheGame"));
        QCoreApplication::setApplicationName(QStringLiteral("NotVelcor"));
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance());
        view = app->View();
        game = &app->Game();
        frame = app->MainFrame();
        view->SetWindowTimes(1, 1);
    }
    void TearDown() override
    {
        app.reset();
        platform::SetWindowScale(1); // the dialogs of later tests at their own size
        platform::UseRealClock();
        QCoreApplication::setOrganizationName(QStringLiteral("Brakka"));
        QCoreApplication::setApplicationName(QStringLiteral("VelcorTests"));
    }
    void WaitForPlayer() { ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000)); }
    int EnabledButtons() const
    {
        int n = 0;
        for (QPushButton* b : {view->moveButton, view->warButton, view->landButton, view->commerceButton,
                               view->conscriptButton, view->trainButton, view->restButton})
            n += b->isEnabled();
        return n;
    }

    // The game the program's view plays.
    GameState& W() const { return game->Session().world; }

    std::unique_ptr<CKivApp> app;
    CKivView* view = nullptr;
    GameController* game = nullptr;
    CMainFrame* frame = nullptr;
    TempDir dir;
};

TEST_F(ShellTest, SettingsLiveUnderTheKeyBrakka)
{
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("Brakka"));
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Velcor"));
    QSettings settings;
    EXPECT_EQ(settings.organizationName(), QStringLiteral("Brakka"));
    EXPECT_EQ(settings.applicationName(), QStringLiteral("Velcor"));
}

TEST_F(ShellTest, TheMenuItemsTheirOrderAndSeparators)
{
    // The menus of the game; 表示 and the items GameHistory and GameStory add to ﾌｧｲﾙ are
    // tested with their features.
    QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[1]->text(), QStringLiteral("表示(&V)"));
    menus.removeAt(1);
    struct Item {
        const char* text; // nullptr: a separator
        int id;
        const char* keys; // the accelerator beside the mnemonic, "" when none
    };
    const std::vector<std::vector<Item>> expected = {
        {{"ｹﾞｰﾑ開始(&N)", 32771, "Ctrl+N"},
         {nullptr, 0, ""},
         {"ｾｰﾌﾞ(&S)", 32776, "Ctrl+S"},
         {"ﾛｰﾄﾞ(&L)", 32777, "Ctrl+O"},
         {nullptr, 0, ""},
         {"ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", 57665, "Ctrl+Q"}},
        {{"操作方法(&K)...", 32800, "F1"}, {"ﾊﾞｰｼﾞｮﾝ情報(&A)...", 57664, ""}},
    };
    const char* const titles[] = {"ﾌｧｲﾙ(&F)", "ﾍﾙﾌﾟ(&H)"};
    for (int m = 0; m < 2; ++m) {
        EXPECT_EQ(menus[m]->text(), QString::fromUtf8(titles[m]));
        ASSERT_NE(menus[m]->menu(), nullptr);
        QList<QAction*> items = menus[m]->menu()->actions();
        for (QAction* added : app->History()->MenuItems())
            items.removeAll(added);
        items.removeAll(app->DifficultyChoice()->MenuAction());
        items.removeAll(app->Story()->BackAction());
        for (QAction* added : app->Bundles()->MenuItems())
            items.removeAll(added);
        items.removeAll(menus[m]->menu()->findChild<QAction*>(QStringLiteral("scenarioEditorCommand")));
        items.removeAll(frame->findChild<QAction*>(QStringLiteral("networkGameCommand")));
        items.removeAll(frame->findChild<QAction*>(QStringLiteral("networkJoinCommand")));
        items.removeAll(frame->findChild<QAction*>(QStringLiteral("invitationsCommand")));
        items.removeAll(frame->findChild<QAction*>(QStringLiteral("lobbyCommand")));
        ASSERT_EQ(static_cast<std::size_t>(items.size()), expected[m].size()) << titles[m];
        for (int i = 0; i < items.size(); ++i) {
            const Item& e = expected[m][static_cast<std::size_t>(i)];
            SCOPED_TRACE(std::string(titles[m]) + " item " + std::to_string(i));
            EXPECT_EQ(items[i]->isSeparator(), e.text == nullptr);
            if (!e.text)
                continue;
            EXPECT_EQ(items[i]->text(), QString::fromUtf8(e.text)) << "the mnemonics stay";
            EXPECT_EQ(items[i]->data().toInt(), e.id);
            EXPECT_EQ(frame->Command(e.id), items[i]);
            EXPECT_EQ(items[i]->shortcut().toString(QKeySequence::PortableText), QString::fromUtf8(e.keys));
        }
    }
}

TEST_F(ShellTest, TheTitleStaysVelcorThroughANewGameAndALoad)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Velcor"));
    ASSERT_TRUE(view->Files().NewGame(1, 2));
    WaitForPlayer();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Velcor"));
    std::string error;
    ASSERT_TRUE(SaveCountryFile(W(), dir.Path("saved.txt"), W().turnCountry - 1, &error)) << error;
    ASSERT_TRUE(view->Files().LoadGame(QString::fromStdString(dir.Path("saved.txt"))));
    WaitForPlayer();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Velcor"));
    EXPECT_FALSE(frame->isWindowModified());

    // A game at another difficulty (the last of the menu, whose computer rulers look
    // ahead) says so, and keeps it through its save.
    app->DifficultyChoice()->Actions()[kDifficultyLevels - 1]->trigger();
    ASSERT_TRUE(view->Files().NewGame(1, 2));
    WaitForPlayer();
    EXPECT_EQ(W().difficulty, Difficulty::Master);
    EXPECT_TRUE(frame->windowTitle().contains(summary::DifficultyName(Difficulty::Master))) << frame->windowTitle().toStdString();
    ASSERT_TRUE(game->Session().SaveGame(dir.Path("master.txt"), W().turnCountry - 1, &error)) << error;
    app->DifficultyChoice()->Actions()[1]->trigger();
    ASSERT_TRUE(view->Files().LoadGame(QString::fromStdString(dir.Path("saved.txt"))));
    WaitForPlayer();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Velcor"));
    ASSERT_TRUE(view->Files().LoadGame(QString::fromStdString(dir.Path("master.txt"))));
    WaitForPlayer();
    EXPECT_EQ(W().difficulty, Difficulty::Master);
}

TEST_F(ShellTest, ABundleOpensAsTheSameGameAndABrokenOneChangesNothing)
{
    // The game bundled opens as the same game saved beside it at the same moment opens
    // with its companions: its seats, difficulty and record.
    app->DifficultyChoice()->Actions()[2]->trigger();
    Seats seats = OnePersonSeats(2);
    seats[5] = Seat::Computer(Difficulty::Easy);
    ASSERT_TRUE(view->Files().NewGame(1, seats, 2));
    WaitForPlayer();
    const QString path = QString::fromStdString(dir.Path("game.velcor"));
    QString why;
    ASSERT_TRUE(app->Bundles()->Export(path, &why)) << why.toStdString();
    ASSERT_TRUE(game->SaveGame(QString::fromStdString(dir.Path("plain.txt")), &why)) << why.toStdString();
    app->DifficultyChoice()->Actions()[1]->trigger();
    ASSERT_TRUE(view->Files().LoadGame(QString::fromStdString(dir.Path("plain.txt"))));
    WaitForPlayer();
    const GameState plain = W();
    const RecordedGame plainRecord = game->Recorder().Record();

    ASSERT_TRUE(view->Files().NewGame(2, 1));
    WaitForPlayer();
    ASSERT_TRUE(app->Bundles()->Import(path, &why)) << why.toStdString();
    WaitForPlayer();
    EXPECT_TRUE(game->TakeNotices().isEmpty());
    EXPECT_NE(W().seats, OnePersonSeats(2));
    EXPECT_EQ(W().seats, plain.seats);
    EXPECT_EQ(W().difficulty, plain.difficulty);
    EXPECT_EQ(SavedWorldJson(W()), SavedWorldJson(plain));
    EXPECT_EQ(game->Recorder().Record().steps.size(), plainRecord.steps.size());

    // Cut short: refused with a reason, the game in play as it was.
    const std::string bytes = ReadFileBytes(dir.Path("game.velcor"));
    WriteFileBytes(dir.Path("cut.velcor"), bytes.substr(0, bytes.size() - 1));
    ASSERT_TRUE(view->Files().NewGame(2, 1));
    WaitForPlayer();
    const std::string inPlay = SavedWorldJson(W());
    EXPECT_FALSE(app->Bundles()->Import(QString::fromStdString(dir.Path("cut.velcor")), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(SavedWorldJson(W()), inPlay);
}

TEST_F(ShellTest, CancellingTheRulerDialogLeavesEverythingAsItWas)
{
    // Before any game, and again with a game in progress.
    for (bool inGame : {false, true}) {
        SCOPED_TRACE(inGame ? "in a game" : "before a game");
        if (inGame) {
            ASSERT_TRUE(view->Files().NewGame(2, 1));
            WaitForPlayer();
        }
        const WorldRecord before = CaptureWorld(W(), W().turnCountry);
        const ViewMode mode = view->mode;
        const int enabled = EnabledButtons();
        const QString status = view->statusText;
        ModalScript script;
        script.Then<CScenarioDlg>(PickScenario(0)).Then<CRulerDlg>([](CRulerDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ruler1")), Qt::LeftButton);
            QTest::mouseClick(FindButton(d, "ｷｬﾝｾﾙ"), Qt::LeftButton);
        });
        script.Start();
        frame->Command(CommandTable::ID_FILE_NEW_GAME)->trigger();
        EXPECT_TRUE(script.Done());
        QApplication::processEvents();
        EXPECT_EQ(view->mode, mode);
        EXPECT_EQ(CaptureWorld(W(), W().turnCountry), before);
        EXPECT_EQ(EnabledButtons(), enabled);
        EXPECT_EQ(view->statusText, status);
    }
}

TEST_F(ShellTest, ANewGameOverridesTheFilesPlayerAndCursor)
{
    // The country file says ruler 5 plays and the cursor stands at 7, in month 3; the
    // player picks ruler 4 (countries 5 and 6 of the test world).
    WorldRecord world = MakeTestWorld();
    world.playerRuler = 5;
    world.turnCountry = 7;
    world.month = 3;
    for (int i = 0; i < 5; ++i)
        world.countries[i].soldiers = 5000; // the computer countries before his only conscript
    std::string error;
    ASSERT_TRUE(WriteCountryFile(dir.Path("country2.txt"), world, &error)) << error;
    WriteFileBytes(dir.Path("scenario2.txt"), "5\r\n4\r\n");
    view->dataDirectory = QString::fromStdString(dir.Path());
    ModalScript script;
    script.Then<CScenarioDlg>(PickScenario(1)).Then<CRulerDlg>([](CRulerDlg* d) {
        QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ruler1")), Qt::LeftButton);
        QTest::mouseClick(FindButton(d, "選択"), Qt::LeftButton);
    });
    script.Start();
    frame->Command(CommandTable::ID_FILE_NEW_GAME)->trigger();
    ASSERT_TRUE(script.Done());
    WaitForPlayer();
    EXPECT_EQ(W().playerRuler, 4);
    // From before country 0 the first of his countries is 5, still in month 3.
    EXPECT_EQ(W().turnCountry, 5);
    EXPECT_EQ(W().month, 3);
    EXPECT_EQ(W().year, 190);
    EXPECT_EQ(view->statusText, QStringLiteral("5 青州 の番です"));
}

TEST_F(ShellTest, TheWindowPlaysBackOnlyARecordTheRulesAllow)
{
    // A record of three months, and the same with a command in a country not the
    // player's given at his first turn, signed again: refused whole before any of it is
    // played, at the line of that command.
    const std::string path = dir.Path("game.record");
    std::ostringstream out, err;
    ASSERT_EQ(HeadlessMain({"--data", ShippedData(), "--scenario", "1", "--ruler", "1", "--months", "3", "--clock", "9",
                            "--record", path},
                           out, err),
              kHeadlessDone)
        << err.str();
    const std::string text = ReadFileBytes(path);
    const std::optional<RecordedGame> record = ParseRecord(text, nullptr);
    ASSERT_TRUE(record && record->steps.size() > 2);
    RecordedGame changed = *record;
    changed.steps[1] = command::Domestic{DomesticCommand::Train, kCountryCount - 1};
    const std::string refused = RecordText(changed);
    const auto differs = std::mismatch(text.begin(), text.end(), refused.begin(), refused.end()).first;
    const std::string damagedAt = "記録が壊れています (" + std::to_string(std::count(text.begin(), differs, '\n') + 1) + " 行目)";
    const struct {
        std::string text;
        const char* says; // nullptr: played
    } cases[] = {{refused, damagedAt.c_str()}, {text, nullptr}};
    for (const auto& c : cases) {
        WriteFileBytes(path, c.text);
        QString why;
        EXPECT_EQ(app->Story()->StartReplay(QString::fromStdString(path), &why), !c.says) << why.toStdString();
        EXPECT_EQ(app->Story()->Replaying(), !c.says);
        EXPECT_EQ(why.toStdString(), c.says ? c.says : "");
    }
}
