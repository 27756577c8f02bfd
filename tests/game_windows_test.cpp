// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program's windows as a new player meets them: every window the menus and
// keys open comes up on the main window's screen and beside it, the keys of the game
// work whatever was closed last and from every window, the windows follow the game
// (the advice, the panel, the battle arrows), the choice of a war's target is one, a
// game watched again (or ended with the advisor's) is never ranked, and the English
// game reads whole.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/chronicle.h"
#include "app/ending.h"
#include "app/game_story.h"
#include "app/game_history.h"
#include "dialogs/scenario_dlg.h"
#include "platform/message_box.h"
#include "app/hot_seat.h"
#include "app/kiv_app.h"
#include "app/language.h"
#include "app/main_frame.h"
#include "app/view_options.h"
#include "gui_test_support.h"
#include "message_log.h"
#include "model/scenario_file.h"
#include "platform/window_scale.h"
#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/path_bytes.h"
#include "platform/settings.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include <QListView>
#include "session/best_games.h"
#include "session/game_record.h"
#include "test_support.h"
#include "view/windows/advice_wnd.h"
#include "view/map/battle_arrows.h"
#include "view/windows/chronicle_wnd.h"
#include "view/commands/command_table.h"
#include "view/commands/foresight_words.h"
#include "view/map/game_document.h"
#include "view/map/hand_over_notice.h"
#include "view/map/kiv_view.h"
#include "view/map/status_panel.h"
#include "view/map/map_labels.h"
#include "view/map/map_tips.h"
#include "view/map/map_picture.h"
#include "view/windows/game_summary_wnd.h"
#include "view/windows/own_countries_wnd.h"
#include "words/shown_text.h"
#include "view/map/target_choice.h"
#include "view/windows/turn_report_wnd.h"

namespace {

class GameWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FixClock(1'700'000'000);
        platform::settings::SetLanguage(QString());
        platform::settings::SetWindowGeometry(QString::fromLatin1(Chronicle::kWindowName), QByteArray());
        platform::settings::SetWindowOpen(QString::fromLatin1(Chronicle::kWindowName), false);
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance(1));
        frame = app->MainFrame();
        view = app->View();
        game = &app->Game();
        view->SetWindowTimes(1, 1);
        app->Story()->SetCommandTime(0);
        app->History()->SetQuestion([](const QString&) { return true; }); // leaving a game: yes
    }
    void TearDown() override
    {
        app.reset();
        platform::SetWindowScale(1); // the dialogs of later tests at their own size
        platform::settings::SetLanguage(QString());
        shown::SetRomanized(false);
        platform::UseRealClock();
    }

    GameState& W() const { return game->Session().world; }

    bool PlayersTurn()
    {
        return WaitUntil([&] { return view->mode != ViewMode::ComputerTurns && game->CanStartGame(); }, 30000) &&
               view->mode == ViewMode::PlayerTurn;
    }
    void StartGame(RulerId ruler = 1)
    {
        ASSERT_TRUE(view->Files().NewGame(0, ruler));
        ASSERT_TRUE(PlayersTurn());
    }
    // The player rests; his next turn.
    void NextTurn()
    {
        view->OnRest();
        ASSERT_TRUE(PlayersTurn());
    }
    void Choose(const char* language)
    {
        app->GetLanguage().Apply(QString::fromLatin1(language));
        QApplication::processEvents();
    }
    void Activate(QWidget* window)
    {
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
    }
    // A key as the window system gives it: to the widget with the focus, else the
    // active window.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        WaitUntil([] { return QApplication::activeWindow() != nullptr; }, 2000); // as a display hands the keys over
        QWidget* to = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        ASSERT_NE(to, nullptr);
        QTest::keyClick(to, key, modifiers);
        QApplication::processEvents();
    }
    // The country whose turn it is has the provisions a war needs.
    void EnoughForAWar()
    {
        Country& own = W().countries[W().turnCountry];
        own.SetProvisions(own.GetSoldiers());
    }
    AdviceWindow* GetAdviceWindow() const { return frame->findChild<AdviceWindow*>(QStringLiteral("adviceWindow")); }
    QAction* MenuAction(const QKeySequence& key) const
    {
        for (QAction* action : frame->findChildren<QAction*>())
            if (action->shortcuts().contains(key))
                return action;
        return nullptr;
    }
    // A country of a computer ruler with a neighbour of another computer ruler.
    std::pair<int, int> ComputerNeighbours() const
    {
        for (int a = 0; a < kCountryCount; ++a) {
            const RulerId ra = W().countries[a].GetRuler();
            if (ra < 0 || ra == W().playerRuler)
                continue;
            for (std::uint32_t b : W().countries[a].GetNeighbours()) {
                const RulerId rb = W().countries[b].GetRuler();
                if (b < kCountryCount && rb >= 0 && rb != ra && rb != W().playerRuler)
                    return {a, static_cast<int>(b)};
            }
        }
        return {-1, -1};
    }

    std::unique_ptr<CKivApp> app;
    CMainFrame* frame = nullptr;
    CKivView* view = nullptr;
    GameController* game = nullptr;
};

// Whether a frame of size fits somewhere in area clear of every rectangle of clear
// (searched on an 8-pixel grid).
bool RoomClearOf(QSize size, const QRect& area, const QVector<QRect>& clear)
{
    for (int y = area.top(); y + size.height() - 1 <= area.bottom(); y += 8)
        for (int x = area.left(); x + size.width() - 1 <= area.right(); x += 8) {
            const QRect r(QPoint(x, y), size);
            bool free = true;
            for (const QRect& c : clear)
                free = free && !r.intersects(c);
            if (free)
                return true;
        }
    return false;
}

std::string Describe(const QRect& r)
{
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

} // namespace

TEST_F(GameWindows, EveryWindowOpensOnTheMainWindowsScreenBesideItWhereThereIsRoom)
{
    struct Opened {
        const char* name;
        std::function<QWidget*()> open; // the window shown, or a modal one's frame noted
    };
    QRect modalFrame;
    auto modal = [&](std::function<void()> exec) {
        modalFrame = QRect();
        OnModal([&](QWidget* m) {
            modalFrame = m->frameGeometry();
            m->close();
        });
        exec();
        return nullptr;
    };
    const std::vector<Opened> windows = {
        {"助言", [&] {
             Activate(frame);
             Press(Qt::Key_A);
             return static_cast<QWidget*>(GetAdviceWindow());
         }},
        {"自国一覧", [&] {
             app->Options()->OwnCountriesAction()->trigger();
             return static_cast<QWidget*>(&app->Options()->OwnCountries());
         }},
        {"戦況記録", [&] {
             app->GetChronicle()->ShowWindow();
             return static_cast<QWidget*>(&app->GetChronicle()->Window());
         }},
        {"戦況報告", [&] {
             const auto [a, b] = ComputerNeighbours();
             W().countries[b].SetSoldiers(0); // taken without a fight: news of the turn
             EXPECT_TRUE(ResolveComputerBattle(W(), game->Session().events, a, b));
             app->GetChronicle()->ReportTurn();
             return static_cast<QWidget*>(&app->GetChronicle()->ReportWindow());
         }},
        {"記録", [&] {
             app->GetEnding()->RecordsAction()->trigger();
             return static_cast<QWidget*>(app->GetEnding()->RecordsWindow());
         }},
        {"戦績", [&] {
             emit game->gameEnded();
             return static_cast<QWidget*>(app->GetEnding()->SummaryWindow());
         }},
        {"操作方法", [&] { return modal([&] { MenuAction(CommandTable::HelpKey())->trigger(); }); }},
        {"ﾊﾞｰｼﾞｮﾝ情報", [&] { return modal([&] { app->OnAppAbout(); }); }},
    };

    for (const char* screenName : {"wide", "laptop"}) {
        for (const char* language : {"ja", "en"}) {
            SCOPED_TRACE(std::string(screenName) + " " + language);
            QScreen* screen = TestScreen(screenName);
            const QRect area = screen->availableGeometry();
            frame->move(area.topLeft());
            app->Options()->ApplyZoom(app->Options()->FittingZoom());
            Choose(language);
            StartGame();
            const QRect main = frame->frameGeometry();
            ASSERT_TRUE(area.contains(main)) << Describe(main);
            const QVector<QRect> controls = view->ControlRects();
            for (const CommandEntry& entry : CommandTable::Entries()) {
                QPushButton* button = view->*entry.button;
                const QRect b(button->mapToGlobal(QPoint()), button->size());
                bool covered = false;
                for (const QRect& c : controls)
                    covered = covered || c.contains(b);
                EXPECT_TRUE(covered) << button->text().toStdString() << " is a control";
            }
            for (const Opened& w : windows) {
                SCOPED_TRACE(w.name);
                QWidget* window = w.open();
                const QRect r = window ? window->frameGeometry() : modalFrame;
                ASSERT_FALSE(r.isNull()) << "no window came up";
                EXPECT_TRUE(area.contains(r)) << Describe(r) << " off " << Describe(area);
                if (auto* report = window ? window->findChild<QLabel*>(QStringLiteral("reportText")) : nullptr) {
                    QApplication::processEvents();
                    EXPECT_GE(report->height(), report->heightForWidth(report->width())) << "the report's lines are cut";
                }
                if (window == &app->Options()->OwnCountries()) {
                    EXPECT_EQ(app->Options()->OwnCountries().Table().verticalScrollBar()->maximum(), 0) << "a row is hidden";
                }
                if (window) {
                    if (RoomClearOf(r.size(), area, {main})) {
                        EXPECT_FALSE(r.intersects(main)) << Describe(r) << " over " << Describe(main);
                    } else if (RoomClearOf(r.size(), area, controls)) {
                        for (const QRect& c : controls)
                            EXPECT_FALSE(r.intersects(c)) << Describe(r) << " over the controls " << Describe(c);
                    }
                    window->close();
                }
            }
            // 自国一覧 is as wide as its columns, and so is 記録 (the score last).
            app->Options()->OwnCountriesAction()->trigger();
            QTableWidget& table = app->Options()->OwnCountries().Table();
            EXPECT_EQ(table.horizontalScrollBar()->maximum(), 0) << "a column is cut";
            app->Options()->OwnCountries().close();
            app->GetEnding()->RecordsAction()->trigger();
            QTableWidget* records = app->GetEnding()->RecordsWindow()->Table();
            EXPECT_GT(records->rowCount(), 0) << "the game ended above is among the records";
            EXPECT_EQ(records->horizontalScrollBar()->maximum(), 0) << "a column of 記録 is cut";
            EXPECT_TRUE(area.contains(app->GetEnding()->RecordsWindow()->frameGeometry()));
            app->GetEnding()->RecordsWindow()->close();
        }
    }
}

TEST_F(GameWindows, TheGamesKeysWorkWhateverWasClosedLastAndFromEveryWindow)
{
    StartGame();
    auto chooseAWarsTarget = [&] {
        EnoughForAWar();
        Activate(frame);
        Press(Qt::Key_W);
        ASSERT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    };
    auto trained = [&] { return !view->trainButton->isEnabled() && view->restButton->isEnabled(); };
    struct Row {
        const char* what;
        std::function<void()> before;   // what the player did last
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::function<bool()> done;     // what the key did
    };
    const std::vector<Row> rows = {
        {"a menu and its submenu closed with Escape",
         [&] {
             Activate(frame);
             QMenuBar* bar = frame->menuBar();
             QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(frame->ViewMenu()->menuAction()).center());
             ASSERT_TRUE(WaitUntil([] { return QApplication::activePopupWidget() != nullptr; }));
             auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
             ASSERT_NE(menu, nullptr);
             // Over 速度, its submenu open.
             const QObjectList holders =
                 app->Options()->SpeedAction(platform::settings::GameSpeed::Normal)->associatedObjects();
             ASSERT_FALSE(holders.isEmpty());
             menu->setActiveAction(qobject_cast<QMenu*>(holders.first())->menuAction());
             QTest::keyClick(menu, Qt::Key_Right);
             QApplication::processEvents();
             while (QWidget* popup = QApplication::activePopupWidget()) {
                 QTest::keyClick(popup, Qt::Key_Escape);
                 QApplication::processEvents();
             }
         },
         Qt::Key_T, Qt::NoModifier, trained},
        {"a war's choice cancelled with Escape",
         [&] {
             chooseAWarsTarget();
             Press(Qt::Key_Escape);
             ASSERT_EQ(view->mode, ViewMode::PlayerTurn);
         },
         Qt::Key_T, Qt::NoModifier, trained},
        {"the advice window closed with Escape",
         [&] {
             Activate(frame);
             Press(Qt::Key_A);
             ASSERT_TRUE(GetAdviceWindow() && GetAdviceWindow()->isVisible());
             Activate(GetAdviceWindow());
             QTest::keyClick(GetAdviceWindow(), Qt::Key_Escape);
             QApplication::processEvents(); // no window manager gives the main window the keys
         },
         Qt::Key_T, Qt::NoModifier, trained},
        {"a war's target being chosen", [&] { chooseAWarsTarget(); },
         Qt::Key_A, Qt::NoModifier, [&] { return GetAdviceWindow() && GetAdviceWindow()->isVisible(); }},
        {"the chronicle window in front",
         [&] {
             app->GetChronicle()->ShowWindow();
             Activate(&app->GetChronicle()->Window());
         },
         Qt::Key_F4, Qt::NoModifier, [&] { return app->Options()->OwnCountriesAction()->isChecked(); }},
        {"自国一覧 in front",
         [&] { Activate(&app->Options()->OwnCountries()); },
         Qt::Key_F3, Qt::NoModifier, [&] { return !app->GetChronicle()->Window().isVisible(); }},
        {"the advice window in front",
         [&] { Activate(GetAdviceWindow()); },
         Qt::Key_Q, Qt::ControlModifier, [&] { return !frame->isVisible(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (view->mode == ViewMode::PlayerTurn && !view->trainButton->isEnabled())
            NextTurn();
        row.before();
        Press(row.key, row.modifiers);
        EXPECT_TRUE(WaitUntil(row.done, 2000));
    }
}

TEST_F(GameWindows, TheAdviceThePanelAndTheBattleArrowsFollowTheGame)
{
    app->Options()->ChooseBattleArrows(true);
    StartGame();
    struct Turn {
        int year, month, country;
        std::vector<BattleArrow> arrows;
    };
    std::vector<Turn> turns;
    auto note = [&] { turns.push_back({W().year, W().month, W().turnCountry, app->Options()->Battles().Shown()}); };
    note();
    Activate(frame);
    Press(Qt::Key_A);
    ASSERT_TRUE(GetAdviceWindow() && GetAdviceWindow()->isVisible());
    auto panelShowsTheTurn = [&] { return view->marks.shownCountry == W().turnCountry; };
    auto arrowsAsPlayed = [&](std::size_t turn) {
        return turns[turn].year == W().year && turns[turn].month == W().month &&
               turns[turn].country == W().turnCountry && turns[turn].arrows == app->Options()->Battles().Shown();
    };
    const struct {
        const char* what;
        std::function<void()> act;
        std::function<bool()> holds;
    } rows[] = {
        {"the next turn, the advice window open",
         [&] {
             NextTurn();
             note();
         },
         [&] {
             return WaitUntil([&] { return view->AdvisedButton() != nullptr; }, 20000) &&
                    !GetAdviceWindow()->Ranking().empty() && GetAdviceWindow()->isVisible();
         }},
        {"1ﾀｰﾝ戻る",
         [&] {
             for (int i = 0; i < 3; ++i) {
                 NextTurn();
                 note();
             }
             app->Story()->BackAction()->trigger();
         },
         [&] { return panelShowsTheTurn() && arrowsAsPlayed(turns.size() - 2); }},
        {"この時点から再開",
         [&] { emit app->GetChronicle()->resumeRequested(turns[1].year, turns[1].month, turns[1].country); },
         [&] { return panelShowsTheTurn() && arrowsAsPlayed(1); }},
        {"a war's target chosen, then the choice cancelled",
         [&] {
             EnoughForAWar();
             Activate(frame);
             Press(Qt::Key_W);
             Press(Qt::Key_Tab);
             ASSERT_NE(view->KeyChoice(), -1);
             Press(Qt::Key_Escape);
         },
         panelShowsTheTurn},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.act();
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
        EXPECT_TRUE(row.holds());
    }
}

// The windows' half of the turn's agreement with the session: on a game of each
// scenario, through random commands given by their keys, a command's button acts
// (enabled, its tooltip giving no reason) exactly when the session's own Check lets the
// turn country give it (a move or a war to some country).
TEST_F(GameWindows, TheButtonsActExactlyWhenTheSessionAllows)
{
    auto sessionAllows = [&](TurnCommand command) {
        GameConductor& conductor = game->Conductor();
        for (int target = 0; target < kCountryCount; ++target)
            if (conductor.Session().Check(conductor.CommandOf(command, target)).refusal == CommandRefusal::None)
                return true;
        return false;
    };
    for (int scenario = 1; scenario <= 3; ++scenario) {
        SCOPED_TRACE(scenario);
        const std::string folder = platform::PathToBytes(view->dataDirectory);
        const RulerId ruler = ReadScenarioFile(ScenarioFilePath(folder, scenario)).rulers.front();
        ASSERT_TRUE(view->Files().NewGame(scenario - 1, ruler));
        ASSERT_TRUE(PlayersTurn());
        std::mt19937 pick(static_cast<unsigned>(scenario));
        int compared = 0;
        for (int month = 0; month < 8 && view->mode == ViewMode::PlayerTurn; ++month) {
            for (int given = 0; given < 2; ++given) { // before the turn's command and after it
                for (const CommandEntry& entry : CommandTable::Entries()) {
                    QPushButton* button = view->*entry.button;
                    const bool acts = button->isEnabled() && button->toolTip() == CommandTable::Tooltip(entry, QString());
                    EXPECT_EQ(acts, sessionAllows(entry.command)) << entry.caption << " in month " << month;
                    ++compared;
                }
                const CommandEntry& chosen = CommandTable::Entries()[2 + pick() % 4]; // a domestic command
                view->OnKey(chosen.key, Qt::NoModifier, false);
            }
            view->OnKey(Qt::Key_R, Qt::NoModifier, false);
            ASSERT_TRUE(PlayersTurn());
        }
        EXPECT_GE(compared, 7 * 2 * 4);
    }
    // A window waiting for an answer holds the game: a press that reaches a button
    // beneath it anyway (an assistive technology's action does) gives no command.
    QPushButton* rest = view->*CommandTable::Entries().back().button;
    ASSERT_TRUE(rest->isEnabled());
    const std::size_t steps = game->Recorder().Record().steps.size();
    QDialog waiting(frame);
    waiting.setModal(true);
    waiting.show();
    rest->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(game->Recorder().Record().steps.size(), steps);
    waiting.reject();
}

TEST_F(GameWindows, AGameWatchedAgainIsNeverRankedAndItsMenuLeavesWithIt)
{
    StartGame();
    NextTurn();
    NextTurn();
    const TempDir dir;
    const std::string recordPath = dir.Path() + "/watched.record";
    const std::string savePath = dir.Path() + "/own.txt";
    std::string error;
    ASSERT_TRUE(WriteRecordFile(recordPath, game->Recorder().Record(), &error)) << error;
    ASSERT_TRUE(game->Session().SaveGame(savePath, game->SaveCursor(), &error)) << error;
    // The games the table holds.
    auto entries = [&] {
        BestGames games;
        games.Load(platform::PathToBytes(app->GetEnding()->TablePath()), nullptr);
        return games.Entries().size();
    };
    QFile::remove(app->GetEnding()->TablePath()); // the games other tests ended
    auto ranked = entries;
    // The replay menu shown, and whether its pause may be pressed.
    enum class Menu { Hidden, Pausable, Unpausable };
    auto replayMenu = [&] {
        QMenu* menu = app->Story()->ReplayMenu();
        if (!menu || !menu->menuAction()->isVisible() || !frame->menuBar()->actions().contains(menu->menuAction()))
            return Menu::Hidden;
        return menu->actions().value(0)->isEnabled() ? Menu::Pausable : Menu::Unpausable;
    };
    auto watch = [&] {
        QString why;
        ASSERT_TRUE(app->Story()->StartReplay(platform::PathFromBytes(recordPath), &why)) << why.toStdString();
        app->Story()->SetPaused(true);
        ASSERT_TRUE(WaitUntil([&] { return view->mode == ViewMode::PlayerTurn && game->CanStartGame(); }, 30000));
        ASSERT_TRUE(app->Story()->Replaying());
    };
    const struct {
        const char* what;
        std::function<void()> act;
        std::size_t rankedAfter;
        Menu menuAfter;
    } rows[] = {
        {"the player's own game ends", [&] { emit game->gameEnded(); }, 1, Menu::Hidden},
        {"the same game watched again ends", [&] {
             watch();
             emit game->gameEnded();
         }, 1, Menu::Pausable},
        {"a save of his own loaded", [&] {
             ASSERT_TRUE(view->Files().LoadGame(platform::PathFromBytes(savePath)));
             ASSERT_TRUE(PlayersTurn());
         }, 1, Menu::Hidden},
        {"watched again, then a new game", [&] {
             watch();
             StartGame();
         }, 1, Menu::Hidden},
        {"that game ended with his ruler the advisor's", [&] {
             ASSERT_TRUE(game->ChangeSeat(W().playerRuler, Seat::Advisor()));
             emit game->gameEnded();
         }, 1, Menu::Hidden},
        // Another machine's record followed as it comes (a networked game joined), the
        // replay left paused before: it plays on, and is not paused from the menu.
        {"watched again, then a record followed", [&] {
             watch();
             platform::Message why;
             const auto record = ReadRecordFile(recordPath, &why);
             ASSERT_TRUE(record) << why.Text();
             ASSERT_TRUE(game->Conductor().Follow(*record, 0, 0, true, &why)) << why.Text();
             ASSERT_TRUE(WaitUntil([&] { return game->Conductor().FollowedSteps() > 1; }, 30000));
         }, 1, Menu::Unpausable},
    };
    ASSERT_FALSE(app->GetEnding()->TablePath().isEmpty());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.act();
        EXPECT_EQ(ranked(), row.rankedAfter);
        EXPECT_EQ(replayMenu(), row.menuAfter);
    }
}

TEST_F(GameWindows, TwoPeopleTakeTurnsBehindTheHandOverAndASaveKeepsTheirSeats)
{
    // 劉備 and 曹操 at one screen; 曹操's country comes first in the month. The turn is
    // handed over when it passes from one to the other.
    Seats seats{};
    seats[1].kind = SeatKind::Person;
    seats[2].kind = SeatKind::Person;
    const HandOverNotice& notice = app->HotSeats()->Notice();
    const TempDir dir;
    const std::string savePath = dir.Path() + "/two.txt";
    QFile::remove(app->GetEnding()->TablePath()); // the games other tests ended
    GameController& game = view->Game();
    const struct {
        const char* what;
        std::function<void()> act;
        RulerId turn;
        bool handedOver;
    } turns[] = {
        {"a new game: the month's first person", [&] { ASSERT_TRUE(view->Files().NewGame(0, seats, 1)); }, 2, false},
        {"his rest: the other person", [&] { view->OnRest(); }, 1, true},
        {"a save made after his command, loaded: the next month's first", [&] {
             QString why;
             ASSERT_TRUE(game.SaveGame(platform::PathFromBytes(savePath), &why)) << why.toStdString();
             ASSERT_TRUE(view->Files().LoadGame(platform::PathFromBytes(savePath)));
         }, 2, false},
        {"his rest again", [&] { view->OnRest(); }, 1, true},
    };
    for (const auto& t : turns) {
        SCOPED_TRACE(t.what);
        t.act();
        ASSERT_TRUE(PlayersTurn());
        EXPECT_EQ(W().seats, seats);
        EXPECT_EQ(game.Session().TurnRuler(), t.turn);
        EXPECT_EQ(notice.Ruler(), t.handedOver ? t.turn : 0);
        // A notice takes the first key: the command waits for its person.
        Activate(frame);
        if (t.handedOver) {
            Press(Qt::Key_L);
            EXPECT_FALSE(notice.Waiting());
            EXPECT_EQ(game.Phase(), TurnPhase::AwaitingCommand);
        }
        Press(Qt::Key_L);
        EXPECT_EQ(game.Phase(), TurnPhase::CommandGiven);
    }
    // The end ranks each person's game.
    emit game.gameEnded();
    BestGames games;
    games.Load(platform::PathToBytes(app->GetEnding()->TablePath()), nullptr);
    std::vector<RulerId> ranked;
    for (const BestGame& game : games.Entries())
        ranked.push_back(game.ruler);
    std::sort(ranked.begin(), ranked.end());
    EXPECT_EQ(ranked, (std::vector<RulerId>{1, 2}));
}

TEST_F(GameWindows, APersonWhoLosesHisLastCountryIsToldAndRankedWhileTheOthersPlayOn)
{
    Seats seats{};
    seats[1].kind = SeatKind::Person;
    seats[2].kind = SeatKind::Person;
    QFile::remove(app->GetEnding()->TablePath()); // the games other tests ended
    auto ranked = [&] {
        BestGames games;
        games.Load(platform::PathToBytes(app->GetEnding()->TablePath()), nullptr);
        std::vector<RulerId> rulers;
        for (const BestGame& g : games.Entries())
            rulers.push_back(g.ruler);
        std::sort(rulers.begin(), rulers.end());
        return rulers;
    };
    ASSERT_TRUE(view->Files().NewGame(0, seats, 1));
    ASSERT_TRUE(PlayersTurn());
    ASSERT_EQ(game->Session().TurnRuler(), 2);
    NextTurn();
    ASSERT_EQ(game->Session().TurnRuler(), 1);
    // 曹操 is left one country beside 劉備's, held by one soldier.
    const int from = W().turnCountry;
    int last = -1;
    for (std::uint32_t n : W().countries[from].GetNeighbours())
        if (n < kCountryCount && W().countries[n].GetRuler() != 1)
            last = static_cast<int>(n);
    ASSERT_GE(last, 0);
    for (Country& c : W().countries)
        if (c.GetRuler() == 2)
            c.SetRuler(4);
    W().countries[last].SetRuler(2);
    W().countries[last].SetSoldiers(1);
    Country& own = W().countries[from];
    own.SetSoldiers(60000);
    own.SetProvisions(60000);
    own.SetTraining(100);

    MessageLog shown;
    ASSERT_TRUE(game->Give(command::War{from, last}).done);
    ASSERT_EQ(W().countries[last].GetRuler(), 1);
    const QString told = QStringLiteral("曹操 はすべての国を失いました");
    EXPECT_EQ(std::count_if(shown.entries.begin(), shown.entries.end(),
                            [&](const MessageLog::Entry& e) { return e.text.startsWith(told); }),
              1)
        << Show(shown.entries);
    EXPECT_EQ(ranked(), (std::vector<RulerId>{2}));
    BestGames table;
    table.Load(platform::PathToBytes(app->GetEnding()->TablePath()), nullptr);
    ASSERT_EQ(table.Entries().size(), 1u);
    EXPECT_EQ(table.Entries().front().end, GameEnd::Defeated);
    auto fallenWindows = [&] {
        int count = 0;
        for (GameSummaryWindow* wnd : frame->findChildren<GameSummaryWindow*>())
            count += wnd->isVisible() && wnd->Lines().contains(QStringLiteral("君主\t曹操"));
        return count;
    };
    EXPECT_EQ(fallenWindows(), 1);

    // The game goes on for 劉備 alone, with no more hand-over; its end ranks him only.
    EXPECT_EQ(game->Phase(), TurnPhase::CommandGiven);
    int handedOver = 0;
    QObject::connect(game, &GameController::handOver, frame, [&] { ++handedOver; });
    NextTurn();
    EXPECT_EQ(game->Session().TurnRuler(), 1);
    EXPECT_EQ(handedOver, 0);
    emit game->gameEnded();
    EXPECT_EQ(ranked(), (std::vector<RulerId>{1, 2}));
    EXPECT_EQ(fallenWindows(), 1) << "his 戦績 stays; no second one";
}

TEST_F(GameWindows, ComputersAtSeveralLevelsAreShownAndRecordedAtEachLevel)
{
    // 曹操 plays easy, every other computer at the game's difficulty, hard.
    Seats seats{};
    seats[1].kind = SeatKind::Person;
    seats[2].level = Difficulty::Easy;
    game->SetNewGameDifficulty(Difficulty::Hard);
    QFile::remove(app->GetEnding()->TablePath()); // the games other tests ended
    ASSERT_TRUE(view->Files().NewGame(0, seats, 1));
    ASSERT_TRUE(PlayersTurn());
    const QString both = QStringLiteral("易しい・難しい");
    EXPECT_TRUE(frame->windowTitle().contains(both)) << frame->windowTitle().toStdString();

    emit game->gameEnded();
    GameSummaryWindow* summary = app->GetEnding()->SummaryWindow();
    ASSERT_NE(summary, nullptr);
    EXPECT_TRUE(summary->Lines().contains(QStringLiteral("難易度\t") + both)) << summary->Lines().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(summary->Figures().difficulty, Difficulty::Easy) << "the score weighed at the lowest level";
    app->GetEnding()->ShowRecords();
    auto* table = app->GetEnding()->RecordsWindow()->findChild<QTableWidget*>();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 1);
    bool shown = false;
    for (int column = 0; column < table->columnCount(); ++column)
        shown = shown || table->item(0, column)->text() == both;
    EXPECT_TRUE(shown) << "the table read back names both levels";
}

TEST_F(GameWindows, AGameNobodyPlaysSaysSoAndEndsWithNobodysScoreOrCommands)
{
    QFile::remove(app->GetEnding()->TablePath()); // the games other tests ended
    game->SetWatchTime(0);
    auto monthWatched = [&] {
        return WaitUntil([&] { return (game->AtPlayersTurn() || game->Session().Ended()) && game->CanStartGame(); }, 30000);
    };
    auto anyButton = [&] {
        bool enabled = false;
        for (const CommandEntry& entry : CommandTable::Entries())
            enabled = enabled || (view->*entry.button)->isEnabled();
        return enabled;
    };
    // 曹操 is left a month from holding every country.
    auto almostUnified = [&] {
        for (int c = 0; c < kCountryCount; ++c) {
            Country& country = W().countries[c];
            country.SetRuler(c == 1 ? 4 : 2);
            country.SetSoldiers(c == 1 ? 1 : 90000);
            country.SetProvisions(c == 1 ? 0 : 90000);
            country.SetFunds(90000);
            country.SetTraining(100);
        }
    };
    const struct {
        const char* what;
        std::function<void()> act;
        const char* title; // what the title ends with (none: it says nothing of watching)
        bool ended;
    } steps[] = {
        {"watched", [&] {
             ASSERT_TRUE(view->Files().NewGame(0, Seats{}, 1));
             ASSERT_TRUE(WaitUntil([&] { return game->Phase() == TurnPhase::Watching; }, 30000));
             app->HotSeats()->SetPaused(true);
             ASSERT_TRUE(monthWatched());
             app->HotSeats()->SetPaused(false);
             ASSERT_TRUE(monthWatched());
         }, "観戦中", false},
        {"paused", [&] {
             app->HotSeats()->SetPaused(true);
             ASSERT_TRUE(monthWatched());
             EXPECT_EQ(view->statusText, HotSeat::PausedText());
         }, "観戦中 (一時停止)", false},
        {"won by 曹操", [&] {
             almostUnified();
             for (int month = 0; month < 24 && !game->Session().Ended(); ++month) {
                 app->HotSeats()->StepMonth();
                 ASSERT_TRUE(monthWatched());
             }
             ASSERT_EQ(game->Session().Winner(), 2);
         }, nullptr, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const QString title = frame->windowTitle();
        EXPECT_TRUE(step.title ? title.endsWith(QString::fromUtf8(step.title)) : !title.contains(QStringLiteral("観戦")))
            << title.toStdString();
        EXPECT_FALSE(anyButton()) << "nobody's command";
        EXPECT_FALSE(app->GetChronicle()->ReportWindow().isVisible()) << "nobody's turn to report";
        GameSummaryWindow* summary = app->GetEnding()->SummaryWindow();
        EXPECT_EQ(summary != nullptr, step.ended);
        if (summary) {
            const QStringList lines = summary->Lines();
            EXPECT_TRUE(lines.contains(QStringLiteral("君主\t曹操"))) << lines.join(QLatin1Char('|')).toStdString();
            EXPECT_FALSE(lines.join(QLatin1Char('|')).contains(QStringLiteral("得点"))) << "nobody scored";
        }
        BestGames games;
        games.Load(platform::PathToBytes(app->GetEnding()->TablePath()), nullptr);
        EXPECT_TRUE(games.Entries().empty());
    }
    // The help window lists the keys that pause and step.
    QStringList helped;
    for (const KeyHelp& row : CommandTable::AllKeys())
        helped << row.keys;
    for (const QKeySequence& key : {CommandTable::PauseKey(), CommandTable::StepKey()})
        EXPECT_TRUE(helped.contains(key.toString(QKeySequence::NativeText))) << key.toString().toStdString();
}

TEST_F(GameWindows, LeavingAGameWithACommandNotSavedAsksFirst)
{
    QStringList asked;
    bool answer = false;
    app->History()->SetQuestion([&](const QString& text) {
        asked << text;
        return answer;
    });
    QStringList boxes;
    platform::SetMessageBoxSink([&](const QString& text) { boxes << text; });
    StartGame();
    const TempDir dir;
    // Each way out, and whether the game was left (the next step's window came).
    auto newGame = [&] {
        ModalScript script;
        script.Then<CScenarioDlg>([](CScenarioDlg* d) { d->reject(); });
        script.Start();
        view->OnNewGame();
        return script.Done();
    };
    auto watchAgain = [&] {
        boxes.clear();
        emit app->GetEnding()->watchRequested(QString::fromStdString(dir.Path("none.record")));
        return !boxes.isEmpty(); // the record was looked for: it is not there
    };
    auto close = [&] { return frame->close(); };
    const struct {
        const char* what;
        std::function<void()> before;
        std::function<bool()> leave;
        bool yes;
        bool asks;
    } rows[] = {
        {"no command yet", [] {}, newGame, false, false},
        {"a command given: kept", [&] { view->OnDevelopLand(); }, newGame, false, true},
        {"watching a record instead: kept", [] {}, watchAgain, false, true},
        {"saved since", [&] {
             QString why;
             ASSERT_TRUE(game->SaveGame(QString::fromStdString(dir.Path("kept.txt")), &why)) << why.toStdString();
         }, newGame, false, false},
        {"a rest since: the window kept", [&] { NextTurn(); }, close, false, true},
        {"and closed", [] {}, close, true, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.before();
        asked.clear();
        answer = row.yes;
        EXPECT_EQ(row.leave(), !row.asks || row.yes);
        ASSERT_EQ(asked.size(), row.asks ? 1 : 0);
        if (row.asks) {
            EXPECT_TRUE(asked.front().contains(QStringLiteral("自動ｾｰﾌﾞから再開"))) << asked.front().toStdString();
        }
    }
    platform::SetMessageBoxSink({});
}

TEST_F(GameWindows, TheEnglishGameReadsWholeAndTheWindowReopensWhereItWasLeft)
{
    StartGame();
    const QFont panelFont = platform::Font(platform::GameFont::System, 1);
    auto surface = [&] {
        view->OnDraw();
        return view->Surface().copy();
    };
    Choose("ja");
    view->SetCountryNames(true);
    const QImage japanese = surface();
    const struct {
        const char* what;
        std::function<void()> check;
    } rows[] = {
        {"the names beside the numbers keep apart", [&] {
             const std::vector<QRect> places = CountryNamePlaces(W());
             for (std::size_t a = 0; a < places.size(); ++a)
                 for (std::size_t b = a + 1; b < places.size(); ++b)
                     EXPECT_FALSE(places[a].adjusted(-3, -3, 3, 3).intersects(places[b]))
                         << shown::CountryName(W(), static_cast<int>(a)).toStdString() << " and "
                         << shown::CountryName(W(), static_cast<int>(b)).toStdString();
         }},
        {"the panel's labels in the panel's own face, clear of the figures at 500", [&] {
             std::vector<CKivView::DrawnText> texts;
             view->RecordTexts(&texts);
             view->OnDraw();
             view->RecordTexts(nullptr);
             const QFontMetrics metrics(panelFont);
             for (const QString& label : StatusPanel::Labels()) {
                 const auto drawn = std::find_if(texts.begin(), texts.end(),
                                                 [&](const CKivView::DrawnText& t) { return t.text == label; });
                 ASSERT_NE(drawn, texts.end()) << label.toStdString() << " is drawn whole";
                 EXPECT_GT(drawn->at.x(), 450);
                 EXPECT_LE(drawn->at.x() + metrics.horizontalAdvance(label), 497) << label.toStdString();
             }
         }},
        {"the names the map's picture writes, in the language in use", [&] {
             const QImage shown = surface();
             const bool english = QCoreApplication::translate("MapNames", "東海") != QStringLiteral("東海");
             for (const QRect& r : PaintedNamePlaces())
                 EXPECT_EQ(shown.copy(r) == japanese.copy(r), !english) << Describe(r);
         }},
        {"表示 → 速度's labels whole", [&] {
             QMenu* speed = qobject_cast<QMenu*>(
                 app->Options()->SpeedAction(platform::settings::GameSpeed::Normal)->associatedObjects().first());
             ASSERT_NE(speed, nullptr);
             // At the zoom a large screen starts at, its face larger than the menus were made in.
             frame->move(WideScreen()->availableGeometry().topLeft());
             app->Options()->ApplyZoom(2);
             speed->popup(frame->geometry().center());
             ASSERT_TRUE(WaitUntil([&] { return speed->isVisible(); }));
             // Each item as wide as the same words with no mnemonic need.
             QMenu plain;
             for (QAction* action : speed->actions())
                 plain.addAction(action->text().remove(QLatin1Char('&')))->setCheckable(true);
             plain.popup(frame->geometry().center());
             ASSERT_TRUE(WaitUntil([&] { return plain.isVisible(); }));
             for (int i = 0; i < speed->actions().size(); ++i)
                 EXPECT_GE(speed->actionGeometry(speed->actions()[i]).width(),
                           plain.actionGeometry(plain.actions()[i]).width())
                     << plain.actions()[i]->text().toStdString();
             plain.close();
             speed->close();
             app->Options()->ApplyZoom(1);
         }},
    };
    for (const char* language : {"ja", "en"}) {
        SCOPED_TRACE(language);
        Choose(language);
        for (const auto& row : rows) {
            SCOPED_TRACE(row.what);
            row.check();
        }
    }

    // The main window opens again where the player left it, frame and all.
    const QRect area = WideScreen()->availableGeometry();
    const QPoint left = area.topLeft() + QPoint(40, 60);
    frame->move(left);
    QApplication::processEvents();
    ASSERT_EQ(frame->frameGeometry().topLeft(), left);
    frame->close();
    app.reset();
    app = std::make_unique<CKivApp>();
    ASSERT_TRUE(app->InitInstance(1));
    EXPECT_EQ(app->MainFrame()->frameGeometry().topLeft(), left);
}

TEST_F(GameWindows, AWarsTargetIsOneChoiceWhetherTheMouseOrTheKeysMadeIt)
{
    StartGame();
    EnoughForAWar();
    const std::vector<int> targets = AttackTargets(W(), W().turnCountry);
    ASSERT_GE(targets.size(), 2u) << "the game's first country has two targets";
    const MapPicture& map = view->GetDocument().Map();
    auto inside = [&](int country) {
        for (int y = 0; y < kMapHeight; ++y)
            for (int x = 0; x < kMapWidth; ++x)
                if (map.CountryAt(x, y) == country && map.CountryAt(x + 1, y) == country &&
                    map.CountryAt(x, y + 1) == country)
                    return QPoint(x, y) * view->Zoom();
        return QPoint(-1, -1);
    };
    Activate(frame);
    Press(Qt::Key_W);
    ASSERT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    const QFont statusFont = platform::Font(platform::GameFont::System, 1);
    const struct {
        const char* how;
        std::function<void()> choose;
        int chosen;
    } rows[] = {
        {"Tab", [&] { Press(Qt::Key_Tab); }, targets[0]},
        {"the pointer over the last target", [&] { QTest::mouseMove(view, inside(targets.back())); }, targets.back()},
        {"the pointer off every target", [&] { QTest::mouseMove(view, inside(W().turnCountry)); }, targets.back()},
        {"Tab after the pointer", [&] { Press(Qt::Key_Tab); }, targets.front()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        row.choose();
        // The outline, the panel and the status line show one country.
        EXPECT_EQ(view->KeyChoice(), row.chosen);
        EXPECT_EQ(view->marks.shownCountry, row.chosen);
        EXPECT_TRUE(view->statusText.contains(shown::CountryName(W(), row.chosen))) << view->statusText.toStdString();
        EXPECT_TRUE(QFontMetrics(statusFont).horizontalAdvance(view->statusText) <= 598 - 400)
            << "the status line in its own face";
        // Its odds, in a line of their own under the buttons, and in the map's tooltip.
        const BattleOdds odds = foresight_words::WarOdds(W(), W().turnCountry, row.chosen);
        const QRect line = TargetChoice::HintRect(foresight_words::OddsLine(odds), statusFont);
        EXPECT_LE(line.right(), kMapWidth - 1) << "the odds line fits the map";
        const QImage drawn = (view->OnDraw(), view->Surface().copy());
        bool written = false;
        for (int y = line.top() + 3; y < line.bottom() - 3; ++y)
            for (int x = line.left() + 3; x < line.right() - 3; ++x)
                written = written || drawn.pixel(x, y) != drawn.pixel(line.left() + 1, line.top() + 1);
        EXPECT_TRUE(written) << "the odds are written under the buttons";
        EXPECT_TRUE(app->GetChronicle()->Tips().TextAt(inside(row.chosen)).contains(foresight_words::OddsTip(odds)));
    }
}

// A game begun on a 乱世 names its seed in the window's title, on the chronicle's first
// line and in 戦績, and so does the same start begun again (or loaded) later.
TEST_F(GameWindows, A_RandomScenariosSeedIsNamedWhereverTheGameIsTold)
{
    StartGame();
    const RecordedGame record = game->Recorder().Record();
    ASSERT_FALSE(record.steps.empty());
    const auto* start = std::get_if<RecordStart>(&record.steps.front());
    ASSERT_NE(start, nullptr);
    EXPECT_FALSE(view->Files().RandomSeed().has_value()) << "a bundled scenario's game";
    constexpr std::uint32_t kSeed = 4040404;
    const QString seed = QString::number(kSeed);
    EXPECT_FALSE(frame->windowTitle().contains(seed));
    platform::settings::SetRandomSeedOf(Crc32(start->world), kSeed);

    StartGame(); // the same start again (the clock is fixed)
    EXPECT_EQ(view->Files().RandomSeed(), kSeed);
    EXPECT_TRUE(frame->windowTitle().contains(seed)) << frame->windowTitle().toStdString();
    app->GetChronicle()->ShowWindow();
    QAbstractItemModel* chronicle = app->GetChronicle()->Window().List()->model();
    QStringList lines;
    for (int row = 0; row < chronicle->rowCount(); ++row)
        lines << chronicle->index(row, 0).data().toString();
    EXPECT_EQ(lines.filter(seed).size(), 1) << "the start's line: " << lines.join(QLatin1Char('\n')).toStdString();
    emit game->gameEnded();
    ASSERT_NE(app->GetEnding()->SummaryWindow(), nullptr);
    EXPECT_TRUE(app->GetEnding()->SummaryWindow()->Lines().join(QLatin1Char('\n')).contains(seed));
}

// On a laptop's screen the game offers a size between 1x and 2x and takes it at a first
// start; the scenario editor opens as large as it needs at the windows' zoom, not over
// the whole screen.
TEST_F(GameWindows, TheLaptopsScreenGetsOneAndAHalfAndTheEditorFollowsTheZoom)
{
    const QRect area = TestScreen("laptop")->availableGeometry();
    frame->move(area.topLeft());
    EXPECT_EQ(app->Options()->FittingZoom(), 1.5);
    QSize editorAt[2];
    const qreal zooms[] = {1, 1.5};
    for (int i = 0; i < 2; ++i) {
        app->Options()->ApplyZoom(zooms[i]);
        EXPECT_EQ(view->Zoom(), zooms[i]);
        EXPECT_TRUE(area.contains(frame->frameGeometry()));
        QAction* edit = frame->findChild<QAction*>(QStringLiteral("scenarioEditorCommand"));
        ASSERT_NE(edit, nullptr);
        edit->trigger();
        QWidget* editor = frame->findChild<QWidget*>(QStringLiteral("scenarioEditor"));
        ASSERT_NE(editor, nullptr);
        editorAt[i] = editor->size();
        EXPECT_TRUE(area.contains(editor->frameGeometry()));
        delete editor;
    }
    EXPECT_LT(editorAt[0].width(), area.width() * 19 / 20) << "the editor fills the screen";
    EXPECT_GT(editorAt[1].width(), editorAt[0].width()) << "the editor keeps its size at 1.5x";
}
