// SPDX-License-Identifier: GPL-3.0-or-later
// Never losing a game: the autosaves' rotation and their failures, the autosave at the
// start of a player turn against a save of that moment, the failure shown once beside
// the turn's own text, 自動ｾｰﾌﾞから再開 and the recent files of ﾌｧｲﾙ.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include <filesystem>

#include "app/autosave.h"
#include "app/game_history.h"
#include "app/kiv_doc.h"
#include "app/main_frame.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "world_files.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/settings.h"
#include "save_faults.h"
#include "synthetic_map.h"
#include "test_support.h"
#include "test_world.h"
#include "view/windows/chronicle_log.h"
#include "view/map/kiv_view.h"
#include "view/windows/start_panel.h"
#include "words/shown_text.h"
#include "world_fixture.h"

namespace settings = platform::settings;

namespace {

QString Q(const std::string& path) { return QString::fromStdString(path); }

std::vector<std::string> FileNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The game's own save of the world as it stands.
AutosaveStore::Writer GameSave(CKivDoc&, const GameState& world, int cursor)
{
    return [&world, cursor](const QString& path, QString* error) {
        return SaveWorldAs(world, path, cursor, error);
    };
}

} // namespace

class AutosaveStoreTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ApplyWorld(world, MakeTestWorld());
    }
    // Saves the world once for each month given, the month set before each save.
    void SaveMonths(AutosaveStore& store, std::initializer_list<int> months)
    {
        for (int month : months) {
            world.month = month;
            QString error;
            ASSERT_TRUE(store.Save(GameSave(doc, world, -1), &error)) << error.toStdString();
        }
    }
    CKivDoc doc;
    TempDir dir;
};

TEST_F(AutosaveStoreTest, TheLastFiveTurnsAreKeptNewestFirst)
{
    AutosaveStore store(Q(dir.Path("autosave"))); // made on the first save
    EXPECT_TRUE(store.Entries().empty());
    SaveMonths(store, {1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(FileNames(dir.Path("autosave")),
              (std::vector<std::string>{"autosave3.txt", "autosave4.txt", "autosave5.txt", "autosave6.txt",
                                        "autosave7.txt"}));
    const std::vector<AutosaveStore::Entry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 5u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].month, 7 - static_cast<int>(i));
        EXPECT_EQ(entries[i].year, 190);
        EXPECT_EQ(entries[i].ruler, 1);
    }
    // Every file is the game's save of its moment: the world, the cursor given.
    world.month = 7;
    ASSERT_TRUE(SaveWorldAs(world, Q(dir.Path("by-hand.txt")), -1, nullptr));
    EXPECT_EQ(ReadFileBytes(dir.Path("autosave/autosave7.txt")), ReadFileBytes(dir.Path("by-hand.txt")));
    // The menu's words: the game's date, the player's ruler, when it was written.
    const QString label = AutosaveLabel(entries[0]);
    EXPECT_TRUE(label.startsWith(QStringLiteral("190 年 7 月 劉備 ("))) << label.toStdString();
    EXPECT_TRUE(QDateTime::fromString(label.section(QLatin1Char('('), 1).chopped(1), QStringLiteral("yyyy/MM/dd HH:mm"))
                    .isValid())
        << label.toStdString();
    EXPECT_TRUE(store.Holds(entries[0].path));
    EXPECT_FALSE(store.Holds(Q(dir.Path("by-hand.txt"))));
}

TEST_F(AutosaveStoreTest, EachAutosaveIsNamedAfterTheRulerWhoseTurnItKeeps)
{
    // Several people at one screen: the save names the first, the turn is another's.
    AutosaveStore store(Q(dir.Path("autosave")));
    const struct {
        int cursor;
        RulerId turn;
    } rows[] = {{-1, 1}, {0, 2}, {4, 4}, {13, 1}};
    for (const auto& row : rows) {
        QString error;
        ASSERT_TRUE(store.Save(GameSave(doc, world, row.cursor), &error)) << error.toStdString();
        const AutosaveStore::Entry newest = store.Entries().front();
        EXPECT_EQ(newest.ruler, row.turn) << row.cursor;
        EXPECT_TRUE(AutosaveGameName(newest).endsWith(shown::RulerName(row.turn))) << row.cursor;
    }
}

TEST_F(AutosaveStoreTest, FilesThatAreNotSavedGamesAreNotListed)
{
    AutosaveStore store(Q(dir.Path("autosave")));
    SaveMonths(store, {3});
    WriteFileBytes(dir.Path("autosave/autosave9.txt"), "not a game\r\n");
    WriteFileBytes(dir.Path("autosave/autosave-old.txt"), "");
    const std::vector<AutosaveStore::Entry> entries = store.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].month, 3);
    // The broken one still counts for the numbering: the next is 10.
    SaveMonths(store, {4});
    EXPECT_TRUE(std::filesystem::exists(dir.Path("autosave/autosave10.txt")));
}

// Whatever autosave-like name a folder holds, the newest autosave is the one listed
// first, five are kept, and each goes with its chronicle.
TEST_F(AutosaveStoreTest, NoNameInTheFolderStopsTheRotation)
{
    const AutosaveStore::Writer withChronicle = [this](const QString& path, QString* error) {
        WriteFileBytes(platform::PathToBytes(ChronicleLog::ChroniclePath(path)), "{}\n");
        return SaveWorldAs(world, path, 4, error);
    };
    for (const std::string planted : {"autosave999999999999999.txt", "autosave999999999.txt", "autosave0999.txt",
                                      "autosave999999998.txt"}) {
        const std::string folder = dir.Path(planted + ".d");
        std::filesystem::create_directories(folder);
        world.month = 12;
        ASSERT_TRUE(SaveWorldAs(world, Q(folder + "/" + planted), 4, nullptr));
        AutosaveStore store(Q(folder));
        for (int month = 1; month <= 6; ++month) {
            world.month = month;
            QString error;
            ASSERT_TRUE(store.Save(withChronicle, &error)) << error.toStdString();
            const std::vector<AutosaveStore::Entry> entries = store.Entries();
            ASSERT_FALSE(entries.empty());
            EXPECT_EQ(entries.front().month, month) << planted;
            EXPECT_LE(entries.size(), static_cast<std::size_t>(AutosaveStore::kKept)) << planted;
            std::size_t chronicles = 0;
            for (const AutosaveStore::Entry& entry : entries)
                chronicles += QFileInfo::exists(ChronicleLog::ChroniclePath(entry.path));
            EXPECT_EQ(chronicles, std::min<std::size_t>(entries.size(), static_cast<std::size_t>(month))) << planted;
        }
        std::size_t sidecars = 0;
        for (const std::string& name : FileNames(folder))
            sidecars += name.ends_with(".chronicle.jsonl");
        EXPECT_EQ(sidecars, store.Entries().size()) << planted << ": none left alone";
    }
}

TEST_F(AutosaveStoreTest, AFailedAutosaveLeavesTheEarlierOnesAsTheyWere)
{
    // No folder can be made under a plain file.
    WriteFileBytes(dir.Path("plain"), "x");
    AutosaveStore nowhere(Q(dir.Path("plain/autosave")));
    QString error;
    EXPECT_FALSE(nowhere.Save(GameSave(doc, world, 4), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("フォルダを作れません"))) << error.toStdString();

    AutosaveStore store(Q(dir.Path("autosave")));
    SaveMonths(store, {1, 2, 3, 4, 5});
    const std::vector<std::string> before = Listing(dir.Path("autosave"));
    // The next file's name is taken by a folder: the write fails, nothing goes.
    std::filesystem::create_directories(dir.Path("autosave/autosave6.txt/inside"));
    world.month = 6;
    error.clear();
    EXPECT_FALSE(store.Save(GameSave(doc, world, 4), &error));
    EXPECT_FALSE(error.isEmpty());
    std::filesystem::remove_all(dir.Path("autosave/autosave6.txt"));
    EXPECT_EQ(Listing(dir.Path("autosave")), before);
    // Once the way is clear the rotation goes on.
    SaveMonths(store, {6});
    EXPECT_EQ(store.Entries().front().month, 6);
    EXPECT_EQ(store.Entries().size(), 5u);
}

class GameHistoryTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        platform::FixClock(1'700'000'000);
        settings::SetRecentFiles({});
        ASSERT_TRUE(doc.Map().SetPictures(SyntheticMap(), BlankPortraits()));
        game = std::make_unique<GameController>();
        view = new CKivView(doc, *game);
        frame = std::make_unique<CMainFrame>(view);
        view->OnInitialUpdate();
        view->SetWindowTimes(1, 1);
        chronicle = std::make_unique<ChronicleLog>(W());
        std::string error;
        ASSERT_TRUE(WriteCountryFile(world, MakeTestWorld(), &error)) << error;
        platform::SetMessageBoxSink([this](const QString& text) { boxes << text; });
    }
    void TearDown() override
    {
        platform::SetMessageBoxSink({});
        game->Session().events.Remove(&chronicle->Observer());
        frame.reset();
        settings::SetRecentFiles({});
        platform::UseRealClock();
        WorldTest::TearDown();
    }
    // The game the frame's view plays.
    GameState& W() { return game->Session().world; }
    GameHistory& History(const std::string& folder)
    {
        history = new GameHistory(*frame, *view, Q(folder));
        history->SetNoticeTime(300);
        history->SetQuestion([](const QString&) { return true; }); // leaving a game: yes
        return *history;
    }
    void WaitForPlayer() { ASSERT_TRUE(WaitUntil([&] { return view->mode == ViewMode::PlayerTurn; }, 20000)); }
    // Rests and waits for the player's next turn.
    void NextTurn()
    {
        QTest::mouseClick(view->restButton, Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000));
        ASSERT_EQ(view->mode, ViewMode::PlayerTurn);
    }
    QString TurnText() const
    {
        return QString::fromStdString(TurnStatusWords(view->GetWorld(), view->GetWorld().turnCountry).Text());
    }
    // Saves through ﾌｧｲﾙ → ｾｰﾌﾞ and its file dialog, as the player does.
    void SaveByHand(const std::string& path)
    {
        ModalScript script;
        script
            .Then<QFileDialog>([path](QFileDialog* d) {
                d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(Q(path));
                QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
            });
        script.Start();
        view->OnSaveGame();
        ASSERT_TRUE(script.Done());
    }

    CKivDoc doc;
    std::unique_ptr<GameController> game; // outlives the frame's windows
    CKivView* view = nullptr; // the frame's
    std::unique_ptr<CMainFrame> frame;
    GameHistory* history = nullptr; // the frame's
    std::unique_ptr<ChronicleLog> chronicle; // of the view's game
    TempDir dir;
    const std::string world = dir.Path("world.txt");
    QStringList boxes;
};

TEST_F(GameHistoryTest, EachPlayerTurnIsKeptAsASaveOfThatMomentWouldKeepIt)
{
    // The chronicle as the game keeps it: each autosave keeps it beside it, whole.
    game->Session().events.Add(&chronicle->Observer());
    History(dir.Path("auto")).KeepChronicle(chronicle.get());
    ASSERT_TRUE(view->Files().LoadGame(Q(world)));
    WaitForPlayer();
    const QString sidecar = ChronicleLog::ChroniclePath(Q(dir.Path("auto/autosave1.txt")));
    ASSERT_EQ(FileNames(dir.Path("auto")).size(), 2u);
    ChronicleLog resumed(W());
    QString error;
    ASSERT_TRUE(resumed.Load(sidecar, &error)) << error.toStdString();
    chronicle->Poll();
    EXPECT_EQ(resumed.Count(), chronicle->Count());
    SaveByHand(dir.Path("by-hand.txt"));
    EXPECT_EQ(ReadFileBytes(dir.Path("auto/autosave1.txt")), ReadFileBytes(dir.Path("by-hand.txt")));
    EXPECT_EQ(boxes, QStringList{QStringLiteral("セーブが完了しました")});

    // The player's command is not a new turn; the next turn is.
    QTest::mouseClick(view->landButton, Qt::LeftButton);
    EXPECT_EQ(FileNames(dir.Path("auto")).size(), 2u);
    const std::int32_t month = W().month;
    NextTurn();
    ASSERT_EQ(FileNames(dir.Path("auto")).size(), 4u);
    EXPECT_EQ(history->Autosaves().Entries().front().month, W().month.Get());
    EXPECT_NE(W().month.Get(), month);
    EXPECT_EQ(view->statusText, TurnText()) << "a good autosave says nothing";
}

TEST_F(GameHistoryTest, AFailureIsShownOnceAndTheTurnsOwnTextComesBack)
{
    WriteFileBytes(dir.Path("auto"), "a file where the folder should be");
    History(dir.Path("auto/saves"));
    ASSERT_TRUE(view->Files().LoadGame(Q(world)));
    WaitForPlayer();
    EXPECT_TRUE(view->statusText.startsWith(GameHistory::FailureText(QString()))) << view->statusText.toStdString();
    EXPECT_TRUE(boxes.isEmpty()) << "no window stops the game";
    EXPECT_TRUE(view->moveButton->isEnabled()) << "the turn goes on";
    ASSERT_TRUE(WaitUntil([&] { return view->statusText == TurnText(); }, 3000));

    // Still failing at the next turn: not shown again.
    NextTurn();
    EXPECT_EQ(view->statusText, TurnText());

    // Once it works and then fails again, the player hears of it again.
    std::filesystem::remove(dir.Path("auto"));
    NextTurn();
    EXPECT_EQ(FileNames(dir.Path("auto/saves")).size(), 1u);
    std::filesystem::remove_all(dir.Path("auto"));
    WriteFileBytes(dir.Path("auto"), "in the way again");
    NextTurn();
    EXPECT_TRUE(view->statusText.startsWith(GameHistory::FailureText(QString()))) << view->statusText.toStdString();
    // A command's text replaces the notice at once, and the notice does not come back.
    QTest::mouseClick(view->landButton, Qt::LeftButton);
    const QString done = view->statusText;
    EXPECT_TRUE(done.startsWith(QStringLiteral("開墾が "))) << done.toStdString();
    QTest::qWait(400);
    EXPECT_EQ(view->statusText, done);
}

TEST_F(GameHistoryTest, ResumingFromAnAutosaveLoadsTheChosenTurn)
{
    History(dir.Path("auto"));
    ASSERT_TRUE(view->Files().LoadGame(Q(world)));
    WaitForPlayer();
    const std::int32_t firstMonth = W().month;
    NextTurn();
    NextTurn();
    history->UpdateMenus();
    const QList<QAction*> items = history->ResumeMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    const std::vector<AutosaveStore::Entry> entries = history->Autosaves().Entries();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(items[i]->text(), AutosaveLabel(entries[static_cast<std::size_t>(i)]));
    EXPECT_TRUE(items[2]->text().startsWith(QStringLiteral("190 年 %1 月 劉備").arg(firstMonth)))
        << items[2]->text().toStdString();

    items[2]->trigger(); // the oldest: the first turn again
    WaitForPlayer();
    EXPECT_EQ(W().month.Get(), firstMonth);
    EXPECT_EQ(W().turnCountry.Get(), 0);
    EXPECT_TRUE(view->moveButton->isEnabled());
    EXPECT_EQ(settings::RecentFiles(), QStringList{Q(world)}) << "autosaves have their own menu";
}

TEST_F(GameHistoryTest, TheLastFourGamesSavedOrLoaded)
{
    History(dir.Path("auto"));
    std::vector<std::string> saves;
    for (int i = 0; i < 5; ++i) {
        saves.push_back(dir.Path("game" + std::to_string(i) + ".txt"));
        ASSERT_TRUE(std::filesystem::copy_file(world, saves.back()));
    }
    for (int i : {0, 1, 2}) {
        ASSERT_TRUE(view->Files().LoadGame(Q(saves[static_cast<std::size_t>(i)])));
        WaitForPlayer();
    }
    SaveByHand(saves[3]);
    ASSERT_TRUE(view->Files().LoadGame(Q(saves[1]))); // again: moves to the top
    WaitForPlayer();
    SaveByHand(saves[4]);
    const QStringList expected = {Q(saves[4]), Q(saves[1]), Q(saves[3]), Q(saves[2])};
    EXPECT_EQ(settings::RecentFiles(), expected);

    history->UpdateMenus();
    const auto& items = history->RecentActions();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(items[static_cast<std::size_t>(i)]->isVisible());
        EXPECT_EQ(items[static_cast<std::size_t>(i)]->text(),
                  QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(expected[i])));
    }
    // Choosing one loads it through the game's load.
    W().month = 11;
    items[2]->trigger();
    WaitForPlayer();
    EXPECT_EQ(W().month.Get(), 1);
    EXPECT_EQ(settings::RecentFiles().front(), expected[2]);

    // A file that has gone is reported and leaves the list.
    std::filesystem::remove(saves[2]);
    history->UpdateMenus();
    const auto gone = std::find_if(items.begin(), items.end(),
                                   [&](QAction* a) { return a->data().toString() == Q(saves[2]); });
    ASSERT_NE(gone, items.end());
    (*gone)->trigger();
    EXPECT_EQ(boxes.size(), 3) << boxes.join(QLatin1Char('|')).toStdString(); // two saves done, one refusal
    EXPECT_FALSE(settings::RecentFiles().contains(Q(saves[2])));
    EXPECT_EQ(settings::RecentFiles().size(), 3);
    history->UpdateMenus();
    EXPECT_FALSE(items[3]->isVisible());
}

TEST_F(GameHistoryTest, TheStartPanelReachesEveryWayIntoAGameByTheKeys)
{
    // An autosave of the seventh month beside a recent game of the first.
    std::filesystem::create_directories(dir.Path("auto"));
    WorldRecord later = MakeTestWorld();
    later.month = 7;
    std::string error;
    ASSERT_TRUE(WriteCountryFile(dir.Path("auto/autosave1.txt"), later, &error)) << error;
    settings::SetRecentFiles({Q(world)});

    enum class Starts { ScenarioDialog, FileDialog, Month1, Month7 };
    struct Row {
        const char* entry; // the button the keys reach
        std::vector<Qt::Key> keys;
        Starts starts;
    };
    const Row rows[] = {
        {"newGame", {Qt::Key_Tab, Qt::Key_Return}, Starts::ScenarioDialog},
        {"resume", {Qt::Key_Down, Qt::Key_Down, Qt::Key_Enter}, Starts::Month7},
        {"load", {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space}, Starts::FileDialog},
        {"recent1", {Qt::Key_Up, Qt::Key_Return}, Starts::Month1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        // The program as it starts: no game, the panel over the map with the keys.
        frame.reset();
        game = std::make_unique<GameController>();
        view = new CKivView(doc, *game);
        frame = std::make_unique<CMainFrame>(view);
        view->OnInitialUpdate();
        view->SetWindowTimes(1, 1);
        StartPanel* panel = History(dir.Path("auto")).GetStartPanel();
        frame->show();
        frame->activateWindow();
        view->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        ASSERT_TRUE(WaitUntil([&] { return panel->isVisible(); }));
        EXPECT_EQ(QApplication::focusWidget(), view) << "the map keeps the keys";
        ASSERT_EQ(panel->Entries().size(), 4);
        EXPECT_EQ(panel->Entries()[1]->text(),
                  QStringLiteral("自動ｾｰﾌﾞから再開  ") + AutosaveGameName(history->Autosaves().Entries().front()));

        for (Qt::Key key : row.keys)
            if (key != row.keys.back())
                QTest::keyClick(QApplication::focusWidget(), key);
        ASSERT_EQ(QApplication::focusWidget(), Child<QPushButton>(panel, row.entry));
        ModalScript script;
        if (row.starts == Starts::ScenarioDialog)
            script.Then<CScenarioDlg>([](CScenarioDlg* d) { d->reject(); });
        if (row.starts == Starts::FileDialog)
            script.Then<QFileDialog>([](QFileDialog* d) { d->reject(); });
        script.Start();
        QTest::keyClick(QApplication::focusWidget(), row.keys.back());
        if (row.starts == Starts::ScenarioDialog || row.starts == Starts::FileDialog) {
            EXPECT_TRUE(script.Done());
            EXPECT_EQ(view->mode, ViewMode::NoGame);
            EXPECT_TRUE(panel->isVisible()) << "a window closed without a choice leaves the panel";
            continue;
        }
        WaitForPlayer();
        EXPECT_EQ(W().month.Get(), row.starts == Starts::Month7 ? 7 : 1);
        EXPECT_FALSE(panel->isVisible()) << "a game in play covers the map no more";
        EXPECT_TRUE(view->hasFocus()) << "the command keys reach the map";
    }
}
