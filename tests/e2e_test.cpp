// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game through its real windows on the offscreen platform: the menu, the
// dialogs, the buttons, clicks on the map, the message and battle windows, with the
// bundled scenarios.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <map>

#include <sys/stat.h>

#include "app/game_history.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "dialogs/keys_dlg.h"
#include "dialogs/message_wnd.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "save_faults.h"
#include "synthetic_map.h"
#include "test_support.h"
#include "view/battle/battle_dlg.h"
#include "view/commands/command_table.h"
#include "view/map/kiv_view.h"
#include "world_fixture.h"

namespace {

// Notes the text of every message window and the opening of every battle window.
class WindowLog : public QObject {
public:
    WindowLog() { qApp->installEventFilter(this); }
    ~WindowLog() override { qApp->removeEventFilter(this); }
    QStringList entries;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* m = qobject_cast<CMessageWnd*>(watched))
                entries << m->findChild<QLabel*>(QStringLiteral("text"))->text();
            else if (qobject_cast<CBattleDlg*>(watched))
                entries << QStringLiteral("[battle]");
        }
        return false;
    }
};

QPushButton* Button(QWidget* parent, const QString& text)
{
    for (QPushButton* b : parent->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

void Press(QWidget* parent, const char* text)
{
    QPushButton* b = Button(parent, QString::fromUtf8(text));
    ASSERT_NE(b, nullptr) << text;
    QTest::mouseClick(b, Qt::LeftButton);
}

std::function<void(QFileDialog*)> Choose(const std::string& path)
{
    // Types the path into the file name field and presses Enter, as a player would.
    return [path](QFileDialog* d) {
        auto* edit = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromStdString(path));
        QTest::keyClick(edit, Qt::Key_Return);
    };
}

// Line n (1-based) of a text file.
std::string FileLine(const std::string& path, int n)
{
    platform::TextFileReader reader;
    if (!reader.Open(path))
        return "(missing)";
    std::string line;
    for (int i = 0; i < n; ++i)
        if (!reader.ReadLine(line))
            return "(short)";
    return line;
}

} // namespace

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FixClock(1'700'000'000);
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance());
        view = app->View();
        game = &app->Game();
        frame = app->MainFrame();
        view->SetWindowTimes(1, 1);
        app->History()->SetQuestion([](const QString&) { return true; }); // leaving a game: yes
    }
    void TearDown() override
    {
        app.reset();
        platform::UseRealClock();
    }

    QAction* Command(int id) { return frame->Command(id); }

    // A new game of scenario index 2 (219) as 劉備, through both dialogs.
    void StartScenario3AsLiuBei()
    {
        ModalScript script;
        script
            .Then<CScenarioDlg>([](CScenarioDlg* d) {
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("scenario2")), Qt::LeftButton);
                Press(d, "選択");
            })
            .Then<CRulerDlg>([](CRulerDlg* d) {
                QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ruler0")), Qt::LeftButton);
                Press(d, "選択");
            });
        script.Start();
        Command(CommandTable::ID_FILE_NEW_GAME)->trigger();
        ASSERT_TRUE(script.Done());
        WaitForPlayer();
    }
    void WaitForPlayer() { ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000)); }

    // A point inside a country: the middle of its number cell.
    QPoint Inside(int country)
    {
        const Country& c = W().countries[static_cast<std::size_t>(country)];
        return QPoint(c.GetMapX() + 8, c.GetMapY() - 8);
    }
    void ClickCountry(int country, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(view, button, {}, Inside(country));
    }
    int EnabledButtons() const
    {
        int n = 0;
        for (QPushButton* b : {view->moveButton, view->warButton, view->landButton, view->commerceButton,
                               view->conscriptButton, view->trainButton, view->restButton})
            n += b->isEnabled();
        return n;
    }
    Country& C(int i) { return W().countries[static_cast<std::size_t>(i)]; }

    // The game the program's view plays.
    GameState& W() const { return game->Session().world; }

    std::unique_ptr<CKivApp> app;
    CKivView* view = nullptr;
    GameController* game = nullptr;
    CMainFrame* frame = nullptr;
    WindowLog windows;
    TempDir dir;
};

TEST_F(EndToEnd, TheWindowOpensOnAWhiteMapWithItsMenu)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Velcor"));
    EXPECT_EQ(view->geometry().size(), QSize(616, 440));
    EXPECT_EQ(frame->centralWidget(), view);
    EXPECT_EQ(view->mapTo(frame, QPoint(0, 0)).y(), frame->menuBar()->height()) << "the whole map below the menu";
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize()) << "not resizable";
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("ﾌｧｲﾙ(&F)"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("表示(&V)"));
    EXPECT_EQ(menus[2]->text(), QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    EXPECT_EQ(Command(CommandTable::ID_FILE_NEW_GAME)->text(), QStringLiteral("ｹﾞｰﾑ開始(&N)"));
    EXPECT_EQ(Command(CommandTable::ID_APP_EXIT)->text(), QStringLiteral("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
    EXPECT_FALSE(Command(CommandTable::ID_FILE_SAVE_GAME)->isEnabled()) << "no game to save";
    EXPECT_TRUE(Command(CommandTable::ID_FILE_LOAD_GAME)->isEnabled());
    EXPECT_EQ(EnabledButtons(), 0);

    // Every country white; the picture's own sea, outlines and lettering unchanged
    // (left of the panel and above the buttons).
    view->OnDraw();
    const QImage& s = view->Surface();
    const QImage map = platform::LoadResourceImage(130);
    int countryPixels = 0;
    int otherPixels = 0;
    for (int y = 0; y < 385; ++y) {
        for (int x = 0; x < 385; ++x) {
            if (app->Document().Map().CountryAt(x, y) != MapPicture::kNoCountry) {
                ++countryPixels;
                ASSERT_EQ(At(s, x, y), kRulerColours[0]) << x << "," << y;
            } else {
                ++otherPixels;
                ASSERT_EQ(At(s, x, y), At(map, x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(countryPixels, 20000);
    EXPECT_GT(otherPixels, 20000);

    // The about box.
    QString version;
    ModalScript script;
    script.Then<QDialog>([&](QDialog* d) {
        version = d->findChild<QLabel*>(QStringLiteral("version"))->text();
        QTest::keyClick(d, Qt::Key_Escape);
    });
    script.Start();
    Command(CommandTable::ID_APP_ABOUT)->trigger();
    EXPECT_EQ(version, QStringLiteral("Velcor Version " VELCOR_VERSION)) << "the version the package is built as";
}

TEST_F(EndToEnd, ANewGameAsksForAScenarioAndARulerThenPlaysToThePlayersTurn)
{
    QStringList boxes;
    ModalScript script;
    script.Then<CScenarioDlg>([](CScenarioDlg* d) { Press(d, "選択"); })
        .Then<QMessageBox>(NoteAndClose(boxes))
        .Then<CScenarioDlg>([](CScenarioDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("scenario2")), Qt::LeftButton);
            Press(d, "選択");
        })
        .Then<CRulerDlg>([](CRulerDlg* d) { Press(d, "選択"); })
        .Then<QMessageBox>(NoteAndClose(boxes))
        .Then<CRulerDlg>([](CRulerDlg* d) {
            EXPECT_EQ(d->SlotCount(), 3);
            EXPECT_EQ(d->findChild<QPushButton*>(QStringLiteral("ruler2"))->text(), QStringLiteral("孫権"));
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ruler0")), Qt::LeftButton);
            Press(d, "選択");
        });
    script.Start();
    Command(CommandTable::ID_FILE_NEW_GAME)->trigger();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(boxes, (QStringList{QStringLiteral("シナリオを選択してください"), QStringLiteral("君主を選択してください")}));
    WaitForPlayer();
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(W().playerRuler, 1);
    EXPECT_EQ(W().turnCountry, 10) << "劉備's first country after the computer's";
    EXPECT_EQ(view->marks.shownCountry, 10);
    EXPECT_EQ(W().year, 219);
    EXPECT_EQ(view->statusText, QStringLiteral("10 荊州 の番です"));
    EXPECT_EQ(EnabledButtons(), 7);
    EXPECT_TRUE(Command(CommandTable::ID_FILE_SAVE_GAME)->isEnabled());

    // Cancelling a new game changes nothing.
    ModalScript cancel;
    cancel.Then<CScenarioDlg>([](CScenarioDlg* d) { Press(d, "ｷｬﾝｾﾙ"); });
    cancel.Start();
    Command(CommandTable::ID_FILE_NEW_GAME)->trigger();
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(EnabledButtons(), 7);
}

TEST_F(EndToEnd, DomesticCommandsReportOrRefuse)
{
    StartScenario3AsLiuBei();
    const int training = C(10).GetTraining();
    QTest::mouseClick(view->trainButton, Qt::LeftButton);
    EXPECT_EQ(view->statusText, QStringLiteral("訓練が %1 になりました").arg(C(10).GetTraining()));
    EXPECT_GT(C(10).GetTraining(), training);
    EXPECT_EQ(EnabledButtons(), 1);
    EXPECT_TRUE(view->restButton->isEnabled());

    // Rest: country 11 is the player's too, so his next turn comes at once.
    QTest::mouseClick(view->restButton, Qt::LeftButton);
    WaitForPlayer();
    EXPECT_EQ(W().turnCountry, 11);
    C(11).SetFunds(999);
    C(11).SetTraining(100);
    view->marks.shownCountry = 3;
    for (QPushButton* b : {view->landButton, view->commerceButton, view->conscriptButton}) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(view->statusText, QStringLiteral("資金が不足しています"));
        EXPECT_EQ(EnabledButtons(), 7) << "a refused command leaves the buttons";
        EXPECT_EQ(view->marks.shownCountry, 11) << "the panel shows the turn country";
    }
    QTest::mouseClick(view->trainButton, Qt::LeftButton);
    EXPECT_EQ(view->statusText, QStringLiteral("これ以上訓練できません"));
    EXPECT_EQ(C(11).GetFunds(), 999);
    C(11).SetFunds(1000);
    QTest::mouseClick(view->conscriptButton, Qt::LeftButton);
    EXPECT_EQ(view->statusText, QStringLiteral("兵士が %1 になりました").arg(C(11).GetSoldiers()));
    EXPECT_EQ(C(11).GetFunds(), 0);
    EXPECT_EQ(EnabledButtons(), 1);
}

TEST_F(EndToEnd, MovingSoldiersAndSuppliesThroughTheMoveDialog)
{
    StartScenario3AsLiuBei();
    // A refused destination: 豫州 belongs to 曹操.
    QTest::mouseClick(view->moveButton, Qt::LeftButton);
    EXPECT_EQ(view->mode, ViewMode::ChooseMoveTarget);
    EXPECT_EQ(EnabledButtons(), 0);
    EXPECT_EQ(windows.entries.value(0), QStringLiteral("移動先を選択してください"));
    ClickCountry(1);
    EXPECT_EQ(view->statusText, QStringLiteral("豫州 には移動できません"));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(EnabledButtons(), 7);

    // A cancelled dialog.
    ModalScript cancel;
    cancel.Then<CMoveDlg>([](CMoveDlg* d) { Press(d, "ｷｬﾝｾﾙ"); });
    cancel.Start();
    QTest::mouseClick(view->moveButton, Qt::LeftButton);
    ClickCountry(11);
    EXPECT_TRUE(cancel.Done());
    EXPECT_EQ(view->statusText, QStringLiteral("10 荊州 の番です"));
    EXPECT_EQ(EnabledButtons(), 7);

    // Half the soldiers by the slider and 1000 provisions typed.
    C(10).SetSoldiers(40000);
    C(10).SetTraining(80);
    C(11).SetSoldiers(20000);
    C(11).SetTraining(50);
    const int provisions10 = C(10).GetProvisions();
    const int provisions11 = C(11).GetProvisions();
    ModalScript move;
    move.Then<CMoveDlg>([](CMoveDlg* d) {
        EXPECT_EQ(d->findChild<QLabel*>(QStringLiteral("title"))->text(), QStringLiteral("荊州 から 益州 へ移動"));
        d->m_sliderSoldiers->setValue(50);
        QTest::mouseRelease(d->m_sliderSoldiers, Qt::LeftButton);
        QApplication::processEvents();
        d->findChild<QLineEdit*>(QStringLiteral("editProvisions"))->setText(QStringLiteral("1000"));
        Press(d, "決定");
    });
    move.Start();
    QTest::mouseClick(view->moveButton, Qt::LeftButton);
    ClickCountry(11);
    EXPECT_TRUE(move.Done());
    EXPECT_EQ(view->statusText, QStringLiteral("益州 に物資を移動しました"));
    EXPECT_EQ(C(10).GetSoldiers(), 20000);
    EXPECT_EQ(C(11).GetSoldiers(), 40000);
    EXPECT_EQ(C(11).GetTraining(), (20000 * 50 + 80 * 20000) / 40000);
    EXPECT_EQ(C(10).GetTraining(), 80);
    EXPECT_EQ(C(10).GetProvisions(), provisions10 - 1000);
    EXPECT_EQ(C(11).GetProvisions(), provisions11 + 1000);
    EXPECT_EQ(EnabledButtons(), 1);
    EXPECT_TRUE(windows.entries.contains(QStringLiteral("益州 に物資を移動しました")));
}

TEST_F(EndToEnd, WarIsCheckedChosenAndFoughtInTheBattleWindow)
{
    StartScenario3AsLiuBei();
    Country& a = C(10);
    a.SetProvisions(a.GetSoldiers() - 1);
    a.SetFunds(500);
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    EXPECT_EQ(view->statusText, QStringLiteral("兵糧が不足しています")) << "provisions are tested first";
    a.SetProvisions(a.GetSoldiers());
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    EXPECT_EQ(view->statusText, QStringLiteral("資金が不足しています"));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    a.SetFunds(5000);

    // A right click cancels the choice.
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    EXPECT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    ClickCountry(5, Qt::RightButton);
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(view->statusText, QStringLiteral("10 荊州 の番です"));
    EXPECT_EQ(EnabledButtons(), 7);

    // Not a hostile neighbour: his own 益州.
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    ClickCountry(11);
    EXPECT_EQ(view->statusText, QStringLiteral("益州 には攻撃できません"));
    EXPECT_EQ(EnabledButtons(), 7);

    // 交州 of 孫権: fought in the battle window.
    windows.entries.clear();
    const int soldiersBefore = a.GetSoldiers();
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    ClickCountry(12);
    const bool won = C(12).GetRuler() == 1;
    EXPECT_EQ(view->statusText, won ? QStringLiteral("交州 の攻略は成功です") : QStringLiteral("交州 の攻略は失敗です"));
    EXPECT_EQ(windows.entries.value(1), QStringLiteral("[battle]"));
    EXPECT_EQ(a.GetFunds(), 4000);
    EXPECT_LE(a.GetSoldiers(), soldiersBefore);
    EXPECT_EQ(EnabledButtons(), 1);
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
}

TEST_F(EndToEnd, SaveAndLoadResumeTheSameTurn)
{
    StartScenario3AsLiuBei();
    const std::string before = dir.Path("before.txt");
    const std::string after = dir.Path("after");
    QStringList boxes;
    ModalScript save1;
    save1.Then<QFileDialog>(Choose(before)).Then<QMessageBox>(NoteAndClose(boxes));
    save1.Start();
    Command(CommandTable::ID_FILE_SAVE_GAME)->trigger();
    EXPECT_EQ(FileLine(before, 2), "9") << "before the command the cursor is stored one back";
    const int training = C(10).GetTraining();

    QTest::mouseClick(view->trainButton, Qt::LeftButton);
    ModalScript save2;
    save2.Then<QFileDialog>(Choose(after)).Then<QMessageBox>(NoteAndClose(boxes));
    save2.Start();
    Command(CommandTable::ID_FILE_SAVE_GAME)->trigger();
    EXPECT_EQ(FileLine(after + ".txt", 2), "10") << "the default extension is added";
    EXPECT_EQ(boxes, (QStringList{QStringLiteral("セーブが完了しました"), QStringLiteral("セーブが完了しました")}));

    ModalScript load1;
    load1.Then<QFileDialog>(Choose(before));
    load1.Start();
    Command(CommandTable::ID_FILE_LOAD_GAME)->trigger();
    WaitForPlayer();
    EXPECT_EQ(W().turnCountry, 10) << "the same player turn again";
    EXPECT_EQ(C(10).GetTraining(), training);
    EXPECT_EQ(EnabledButtons(), 7);

    ModalScript load2;
    load2.Then<QFileDialog>(Choose(after + ".txt"));
    load2.Start();
    Command(CommandTable::ID_FILE_LOAD_GAME)->trigger();
    WaitForPlayer();
    EXPECT_EQ(W().turnCountry, 11) << "the turn after the one saved";
}

TEST_F(EndToEnd, VictoryAndGameOverShowTheirPicturesUntilAClick)
{
    StartScenario3AsLiuBei();
    for (int i = 0; i < kCountryCount; ++i)
        C(i).SetRuler(1);
    C(12).SetRuler(15);
    C(12).SetSoldiers(0); // falls without a fight
    C(10).SetFunds(5000);
    C(10).SetProvisions(C(10).GetSoldiers());
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    ClickCountry(12);
    EXPECT_EQ(C(12).GetRuler(), 1);
    EXPECT_EQ(view->mode, ViewMode::Victory);
    EXPECT_EQ(view->statusText, QStringLiteral("中国全土を統一しました"));
    EXPECT_TRUE(windows.entries.contains(QStringLiteral("中国全土を統一しました")));
    EXPECT_FALSE(view->restButton->isEnabled());
    EXPECT_FALSE(Command(CommandTable::ID_FILE_SAVE_GAME)->isEnabled());
    view->OnDraw();
    const QImage victory = platform::LoadResourceImage(163);
    EXPECT_EQ(view->Surface().copy(158, 100, 300, 200), victory);
    ClickCountry(3);
    EXPECT_EQ(view->mode, ViewMode::NoGame);

    // A saved game in which the player holds nothing ends at once.
    WorldRecord lost = CaptureWorld(W(), 5);
    for (CountryRecord& c : lost.countries)
        if (c.ruler == 1)
            c.ruler = 2;
    std::string error;
    ASSERT_TRUE(WriteCountryFile(dir.Path("lost.txt"), lost, &error)) << error;
    windows.entries.clear();
    ModalScript load;
    load.Then<QFileDialog>(Choose(dir.Path("lost.txt")));
    load.Start();
    Command(CommandTable::ID_FILE_LOAD_GAME)->trigger();
    WaitForPlayer();
    EXPECT_EQ(view->mode, ViewMode::GameOver);
    EXPECT_EQ(view->statusText, QStringLiteral("ゲームオーバーです"));
    EXPECT_EQ(windows.entries, QStringList{QStringLiteral("ゲームオーバーです")});
    EXPECT_EQ(EnabledButtons(), 0);
    EXPECT_FALSE(Command(CommandTable::ID_FILE_SAVE_GAME)->isEnabled());
    view->OnDraw();
    EXPECT_EQ(view->Surface().copy(158, 100, 300, 200), platform::LoadResourceImage(164));
    ClickCountry(3);
    EXPECT_EQ(view->mode, ViewMode::NoGame);
}

TEST_F(EndToEnd, FilesThatCannotBeUsedAreReportedAndChangeNothing)
{
    StartScenario3AsLiuBei();
    StderrCapture stderrText;
    const WorldRecord world = CaptureWorld(W(), W().turnCountry);
    QStringList boxes;

    // Saves that fail: each shows why, the previous save keeps its bytes and nothing
    // is left beside it. (A folder typed as the name opens in the dialog instead, and
    // a name without an extension gets ".txt", so the device is reached by a link.)
    for (const SaveFault& fault : MakeSaveFaults(dir)) {
        if (fault.target == dir.Path("folder") || fault.target == "/dev/full")
            continue;
        SCOPED_TRACE(fault.what);
        const std::vector<std::string> before = Listing(dir.Path());
        QStringList saveBoxes;
        ModalScript save;
        save.Then<QFileDialog>(Choose(fault.target)).Then<QMessageBox>(NoteAndClose(saveBoxes));
        save.Start();
        Command(CommandTable::ID_FILE_SAVE_GAME)->trigger();
        EXPECT_TRUE(save.Done());
        ASSERT_EQ(saveBoxes.size(), 1);
        EXPECT_TRUE(saveBoxes[0].startsWith(QStringLiteral("セーブできませんでした"))) << saveBoxes[0].toStdString();
        EXPECT_TRUE(saveBoxes[0].contains(QString::fromStdString(fault.reason))) << saveBoxes[0].toStdString();
        EXPECT_FALSE(saveBoxes[0].contains(QStringLiteral("セーブが完了しました")));
        if (!fault.previous.empty()) {
            EXPECT_EQ(ReadFileBytes(fault.previous), kPreviousSave);
        }
        EXPECT_EQ(Listing(dir.Path()), before);
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
        EXPECT_EQ(CaptureWorld(W(), W().turnCountry), world);
    }

    // A load of a missing file and of a refused one.
    WriteFileBytes(dir.Path("bad.txt"), "1\r\n-1\r\n219\r\n13\r\n");
    for (const std::string& path : {dir.Path("missing.txt"), dir.Path("bad.txt")}) {
        ModalScript load;
        load.Then<QFileDialog>([path](QFileDialog* d) {
                d->setFileMode(QFileDialog::AnyFile); // let a typed name through
                Choose(path)(d);
            })
            .Then<QMessageBox>(NoteAndClose(boxes));
        load.Start();
        Command(CommandTable::ID_FILE_LOAD_GAME)->trigger();
        EXPECT_TRUE(load.Done());
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn) << "no worker started";
        EXPECT_EQ(CaptureWorld(W(), W().turnCountry), world);
    }
    ASSERT_EQ(boxes.size(), 2);
    // The first line players know, then the path and why.
    EXPECT_EQ(boxes[0], QString::fromStdString("ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + dir.Path("missing.txt") +
                                               "\nファイルがありません"));
    EXPECT_TRUE(boxes[1].contains(QStringLiteral("4 行目"))) << boxes[1].toStdString();

    // A new game whose country file is missing.
    view->dataDirectory = QString::fromStdString(dir.Path());
    WriteFileBytes(dir.Path("scenario1.txt"), "2\r\n");
    ModalScript newGame;
    newGame
        .Then<CScenarioDlg>([](CScenarioDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("scenario0")), Qt::LeftButton);
            Press(d, "選択");
        })
        .Then<CRulerDlg>([](CRulerDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("ruler0")), Qt::LeftButton);
            Press(d, "選択");
        })
        .Then<QMessageBox>(NoteAndClose(boxes));
    newGame.Start();
    Command(CommandTable::ID_FILE_NEW_GAME)->trigger();
    EXPECT_TRUE(newGame.Done());
    EXPECT_EQ(boxes.value(2), QString::fromStdString("ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + dir.Path("country1.txt") +
                                                     "\nファイルがありません"));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(CaptureWorld(W(), W().turnCountry), world);

    // Each refusal above came as a window; none was left to the terminal alone.
    EXPECT_EQ(PrintedRefusals(stderrText, boxes), "");
}

TEST_F(EndToEnd, ASaveToAFullDiskIsReportedAndKeepsThePreviousSave)
{
    SmallFileSystem small(dir.Path("small"), 64);
    if (!small.Mounted())
        GTEST_SKIP() << small.Reason();
    StartScenario3AsLiuBei();
    const std::string save = dir.Path("small/save.txt");
    QStringList boxes;
    ModalScript first;
    first.Then<QFileDialog>(Choose(save)).Then<QMessageBox>(NoteAndClose(boxes));
    first.Start();
    Command(CommandTable::ID_FILE_SAVE_GAME)->trigger();
    ASSERT_EQ(boxes, QStringList{QStringLiteral("セーブが完了しました")});
    const std::string previous = ReadFileBytes(save);

    // After the command the cursor is stored as it stands: a different file.
    QTest::mouseClick(view->trainButton, Qt::LeftButton);
    ASSERT_TRUE(small.Fill());
    const std::vector<std::string> before = Listing(dir.Path("small"));
    boxes.clear();
    ModalScript second;
    second.Then<QFileDialog>(Choose(save)).Then<QMessageBox>(NoteAndClose(boxes));
    second.Start();
    Command(CommandTable::ID_FILE_SAVE_GAME)->trigger();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(QStringLiteral("セーブできませんでした"))) << boxes[0].toStdString();
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("ディスクの空き容量が不足しています"))) << boxes[0].toStdString();
    EXPECT_EQ(ReadFileBytes(save), previous);
    EXPECT_EQ(Listing(dir.Path("small")), before) << "no temporary file left behind";
}

// 益州 and 漢中 go over to 曹操; 益州 acts first after the rest and its first draw
// considers war on the weak 荊州 beside it. The window is closed as soon as a window
// of type T opens on the worker's behalf; the worker must be gone within a second and
// the attack must not have been decided.
template <class T>
void CloseDuringTheAttackOnJingzhou(CKivView* view, CMainFrame* frame, int messageMs)
{
    GameController* game = &view->Game();
    Country& jingzhou = game->Session().world.countries[10];
    jingzhou.SetSoldiers(10000);
    jingzhou.SetTraining(10);
    game->Session().world.countries[11].SetRuler(2);
    game->Session().world.countries[13].SetRuler(2);
    platform::FixClock(SeedWhoseFirstDraw([](int d) { return d % 10 == 0; }));
    view->SetWindowTimes(messageMs, 0);
    bool closed = false;
    QElapsedTimer sinceClose;
    ModalScript script;
    script.Then<T>([&](T*) {
        sinceClose.start();
        frame->close();
        closed = true;
    });
    script.Start();
    QTest::mouseClick(view->restButton, Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return closed; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return !game->Session().WorkerRunning(); }, 1000));
    EXPECT_LT(sinceClose.elapsed(), 1000);
    EXPECT_EQ(jingzhou.GetRuler(), 1) << "the attack was never decided";
    EXPECT_FALSE(view->isVisible());
}

TEST_F(EndToEnd, ClosingTheWindowDuringTheComputersTurnEndsItWithinASecond)
{
    StartScenario3AsLiuBei();
    // The message windows keep their full times: the worker waits on one.
    CloseDuringTheAttackOnJingzhou<CMessageWnd>(view, frame, 0);
}

TEST_F(EndToEnd, ClosingTheWindowDuringABattleEndsItWithinASecond)
{
    StartScenario3AsLiuBei();
    // The messages pass at once; the battle plays its exchanges at their full pace.
    CloseDuringTheAttackOnJingzhou<CBattleDlg>(view, frame, 1);
}

// ---- Faults found in play: what the screen shows under a window, new games while
// the worker waits, closing during the player's battle ----

namespace {

// The view as the screen shows it now.
QImage OnScreen(CMainFrame* frame, CKivView* view)
{
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(frame->winId());
    return screen.toImage()
        .copy(QRect(view->mapTo(frame, QPoint(0, 0)), view->size()))
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST_F(EndToEnd, ResultsAreAnnouncedOverTheWorldAsItNowStands)
{
    StartScenario3AsLiuBei();
    // Whether the screen shows what a paint of the world as it stands now shows.
    auto upToDate = [&] {
        return OnScreen(frame, view) == view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    // The colour most of 交州's pixels have on the screen.
    auto conqueredColour = [&] {
        const QImage shown = OnScreen(frame, view);
        std::map<Colour, int> counts;
        for (int y = 0; y < kMapHeight; ++y)
            for (int x = 0; x < kMapWidth; ++x)
                if (app->Document().Map().CountryAt(x, y) == 12)
                    ++counts[At(shown, x, y)];
        return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })
            ->first;
    };
    struct Seen {
        QString text;
        bool upToDate = false;
        Colour conquered = 0;
        bool restEnabled = true;
        ViewMode mode = ViewMode::NoGame;
    };
    std::vector<Seen> seen;
    auto look = [&](CMessageWnd* m) {
        seen.push_back({MessageText(m), upToDate(), conqueredColour(), view->restButton->isEnabled(), view->mode});
        m->accept();
    };

    // A move of 1000 funds into 益州, whose figures the panel shows.
    QTest::mouseClick(view->moveButton, Qt::LeftButton); // the prompt closes at once
    view->SetWindowTimes(60'000, 200); // each result stays until the script has looked
    ModalScript move;
    move.Then<CMoveDlg>([](CMoveDlg* d) {
            d->findChild<QLineEdit*>(QStringLiteral("editFunds"))->setText(QStringLiteral("1000"));
            Press(d, "決定");
        })
        .Then<CMessageWnd>(look);
    move.Start();
    ClickCountry(11);
    ASSERT_TRUE(move.Done());

    // The next turn is 益州's own; everything else goes over to 劉備 but 交州, which
    // falls without a fight: the last country, so the whole realm is his.
    view->SetWindowTimes(1, 1);
    QTest::mouseClick(view->restButton, Qt::LeftButton);
    WaitForPlayer();
    ASSERT_EQ(W().turnCountry, 11);
    for (int i = 0; i < kCountryCount; ++i)
        C(i).SetRuler(i == 12 ? 15 : 1);
    C(12).SetSoldiers(0);
    C(11).SetFunds(5000);
    C(11).SetProvisions(C(11).GetSoldiers());
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    view->SetWindowTimes(60'000, 200);
    bool battleOverTheWorld = false;
    ModalScript war;
    war.Then<CBattleDlg>([&](CBattleDlg*) { battleOverTheWorld = upToDate(); })
        .Then<CMessageWnd>(look)
        .Then<CMessageWnd>(look);
    war.Start();
    ClickCountry(12);
    ASSERT_TRUE(war.Done());
    EXPECT_TRUE(battleOverTheWorld);

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, QStringLiteral("益州 に物資を移動しました"));
    EXPECT_EQ(seen[1].text, QStringLiteral("交州 の攻略は成功です"));
    EXPECT_EQ(seen[2].text, QStringLiteral("中国全土を統一しました"));
    for (const Seen& s : seen)
        EXPECT_TRUE(s.upToDate) << s.text.toStdString() << ": the screen shows an older world";
    EXPECT_EQ(seen[1].conquered, kRulerColours[1]) << "交州 is shown in 劉備's colour under its conquest";
    EXPECT_FALSE(seen[2].restEnabled) << "休養 is not offered under the unification";
    EXPECT_EQ(seen[2].mode, ViewMode::Victory);
    EXPECT_EQ(view->mode, ViewMode::Victory);
}

TEST_F(EndToEnd, NoNewGameWhileTheWorkerWaitsOnTheGameOverMessage)
{
    // A saved game in which the player holds nothing: the worker ends the game at once
    // and waits while the game-over message is up.
    StartScenario3AsLiuBei();
    const std::string saved = dir.Path("playing.txt");
    std::string error;
    ASSERT_TRUE(WriteCountryFile(saved, CaptureWorld(W(), W().turnCountry), &error)) << error;
    WorldRecord lost = CaptureWorld(W(), W().turnCountry);
    for (CountryRecord& c : lost.countries)
        if (c.ruler == 1)
            c.ruler = 2;
    ASSERT_TRUE(WriteCountryFile(dir.Path("lost.txt"), lost, &error)) << error;
    view->SetWindowTimes(60'000, 1);

    bool offered = true;
    bool menuOffers = true;
    bool loaded = true;
    ModalScript script;
    script.Then<CMessageWnd>([&](CMessageWnd* m) {
        EXPECT_EQ(MessageText(m), QStringLiteral("ゲームオーバーです"));
        EXPECT_EQ(view->mode, ViewMode::GameOver);
        offered = game->CanStartGame();
        menuOffers = Command(CommandTable::ID_FILE_NEW_GAME)->isEnabled() ||
                     Command(CommandTable::ID_FILE_LOAD_GAME)->isEnabled();
        // Starting a game now would wait for the worker, which waits for this window.
        if (!offered)
            loaded = view->Files().LoadGame(QString::fromStdString(saved));
        m->accept();
    });
    script.Start();
    ASSERT_TRUE(view->Files().LoadGame(QString::fromStdString(dir.Path("lost.txt"))));
    ASSERT_TRUE(WaitUntil([&] { return script.Done(); }, 20000));
    EXPECT_FALSE(offered);
    EXPECT_FALSE(menuOffers) << "ｹﾞｰﾑ開始 and ﾛｰﾄﾞ are greyed while the worker waits";
    EXPECT_FALSE(loaded);

    // Once the message has gone the worker has handed over: both are offered again.
    ASSERT_TRUE(WaitUntil([&] { return game->CanStartGame(); }));
    EXPECT_TRUE(Command(CommandTable::ID_FILE_NEW_GAME)->isEnabled());
    EXPECT_TRUE(Command(CommandTable::ID_FILE_LOAD_GAME)->isEnabled());
    EXPECT_EQ(view->mode, ViewMode::GameOver);
    view->SetWindowTimes(1, 1);
    ASSERT_TRUE(view->Files().LoadGame(QString::fromStdString(saved)));
    WaitForPlayer();
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
}

TEST_F(EndToEnd, ClosingTheProgramDuringThePlayersBattleShowsNothingMore)
{
    StartScenario3AsLiuBei();
    C(10).SetFunds(5000);
    C(10).SetProvisions(C(10).GetSoldiers());
    const std::int32_t funds = C(10).GetFunds();
    const RulerId ruler12 = C(12).GetRuler();
    view->SetWindowTimes(1, 0); // the battle at its own pace
    QTest::mouseClick(view->warButton, Qt::LeftButton);
    windows.entries.clear();
    ModalScript script;
    script.Then<CBattleDlg>([&](CBattleDlg*) { frame->close(); });
    script.Start();
    ClickCountry(12);
    ASSERT_TRUE(script.Done());
    QApplication::processEvents();
    EXPECT_EQ(windows.entries, QStringList{QStringLiteral("[battle]")}) << "no result announced while closing";
    EXPECT_FALSE(view->statusText.contains(QStringLiteral("攻略"))) << view->statusText.toStdString();
    EXPECT_EQ(C(10).GetFunds(), funds) << "the abandoned battle cost nothing";
    EXPECT_EQ(C(12).GetRuler(), ruler12);
}

// ---- A newcomer with the keyboard alone ----

namespace {

// A key as the keyboard gives it: to the window that has the focus, through its
// shortcuts, to its focused control.
void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget*>(nullptr), key, modifiers);
}
void TypeText(const QString& text) { QTest::keyClicks(static_cast<QWidget*>(nullptr), text); }

// When a modal window closes, the window system gives the main window back its
// activation (the offscreen platform does not do it by itself); the keys then reach
// the control that had the focus in it.
void BackTo(QWidget* window)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

} // namespace

TEST_F(EndToEnd, ANewcomerStartsMovesMakesWarAndSavesWithTheKeyboardAlone)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    ASSERT_EQ(QApplication::focusWidget(), view) << "the view has the focus";
    const std::string save = dir.Path("keys.txt");

    // Ctrl+N: the scenario by its digit, the ruler by the arrow key, Enter in each.
    ModalScript newGame;
    newGame
        .Then<CScenarioDlg>([](CScenarioDlg*) {
            Type(Qt::Key_3);
            Type(Qt::Key_Return);
        })
        .Then<CRulerDlg>([](CRulerDlg*) {
            Type(Qt::Key_Down);
            Type(Qt::Key_Return);
        });
    newGame.Start();
    Type(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(newGame.Done());
    WaitForPlayer();
    ASSERT_EQ(W().playerRuler, 1) << "劉備, the first ruler of 219";
    ASSERT_EQ(W().turnCountry, 10);
    BackTo(frame);
    ASSERT_EQ(QApplication::focusWidget(), view) << "the map keeps the focus";

    // M, the arrow keys to 益州 (11), Enter; in the move dialog Tab to the soldiers'
    // slider, Page Up for a fifth of them, Tab to the provisions, 1000, Enter.
    const int soldiers10 = C(10).GetSoldiers();
    const int soldiers11 = C(11).GetSoldiers();
    const int provisions11 = C(11).GetProvisions();
    QString sliderFocused;
    ModalScript move;
    move.Then<CMoveDlg>([&](CMoveDlg* d) {
        for (int i = 0; i < 4; ++i)
            Type(Qt::Key_Tab);
        sliderFocused = d->focusWidget()->objectName();
        Type(Qt::Key_PageUp);
        Type(Qt::Key_Tab);
        TypeText(QStringLiteral("1000"));
        Type(Qt::Key_Return);
    });
    move.Start();
    Type(Qt::Key_M);
    ASSERT_EQ(view->mode, ViewMode::ChooseMoveTarget);
    BackTo(frame); // after the prompt
    for (int i = 0; i < kCountryCount && view->KeyChoice() != 11; ++i)
        Type(Qt::Key_Right);
    ASSERT_EQ(view->KeyChoice(), 11);
    EXPECT_EQ(view->statusText, QStringLiteral("11 益州 へ移動 (Enter)"));
    Type(Qt::Key_Return);
    ASSERT_TRUE(move.Done());
    EXPECT_EQ(sliderFocused, QStringLiteral("sliderSoldiers"));
    EXPECT_EQ(view->statusText, QStringLiteral("益州 に物資を移動しました"));
    const int moved = soldiers10 / 5;
    EXPECT_EQ(C(10).GetSoldiers(), soldiers10 - moved);
    EXPECT_EQ(C(11).GetSoldiers(), soldiers11 + moved);
    EXPECT_EQ(C(11).GetProvisions(), provisions11 + 1000);
    EXPECT_EQ(EnabledButtons(), 1);
    BackTo(frame);

    // R: the next turn is 益州's own. W, Tab to the first country it may attack, Enter.
    Type(Qt::Key_R);
    WaitForPlayer();
    ASSERT_EQ(W().turnCountry, 11);
    ASSERT_GE(C(11).GetProvisions(), C(11).GetSoldiers()) << "益州 can go to war";
    ASSERT_GE(C(11).GetFunds(), 1000);
    const std::int32_t funds = C(11).GetFunds();
    BackTo(frame);
    Type(Qt::Key_W);
    ASSERT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    BackTo(frame);
    Type(Qt::Key_Tab);
    const int target = view->KeyChoice();
    ASSERT_NE(target, -1);
    EXPECT_NE(C(target).GetRuler(), 1);
    windows.entries.clear();
    Type(Qt::Key_Return);
    EXPECT_EQ(windows.entries.value(0), QStringLiteral("[battle]"));
    const bool won = C(target).GetRuler() == 1;
    EXPECT_EQ(view->statusText, QString::fromStdString(AttackResultWords(W(), target, won).Text()));
    EXPECT_EQ(C(11).GetFunds(), funds - 1000);
    EXPECT_EQ(EnabledButtons(), 1);
    BackTo(frame);

    // Ctrl+S, the file's name typed, Enter; Enter closes the report.
    QStringList boxes;
    ModalScript saving;
    saving
        .Then<QFileDialog>([&](QFileDialog*) {
            TypeText(QString::fromStdString(save));
            Type(Qt::Key_Return);
        })
        .Then<QMessageBox>([&](QMessageBox* box) {
            boxes << box->text();
            Type(Qt::Key_Return);
        });
    saving.Start();
    Type(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(saving.Done());
    EXPECT_EQ(boxes, QStringList{QStringLiteral("セーブが完了しました")});
    EXPECT_EQ(FileLine(save, 2), "11") << "after the war the cursor is stored as it stands";
    EXPECT_EQ(FileLine(save, 5 + 12 * 11 + 6), std::to_string(C(11).GetSoldiers())) << "益州's soldiers";
    BackTo(frame);

    // F1 shows the keys; Ctrl+Q ends the program without a question.
    bool keysShown = false;
    ModalScript help;
    help.Then<KeysDialog>([&](KeysDialog*) {
        keysShown = true;
        Type(Qt::Key_Escape);
    });
    help.Start();
    Type(Qt::Key_F1);
    EXPECT_TRUE(keysShown);
    BackTo(frame);
    Type(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(EndToEnd, TheMenuAcceleratorsActOnlyWhenTheirCommandsDo)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    // No game: Ctrl+S is greyed with its item and opens nothing.
    bool opened = false;
    OnModal([&](QWidget* w) {
        opened = true;
        w->close();
    }, 300);
    Type(Qt::Key_S, Qt::ControlModifier);
    QTest::qWait(400);
    EXPECT_FALSE(opened);

    // Ctrl+O opens the load dialog; Escape leaves it.
    ModalScript load;
    load.Then<QFileDialog>([](QFileDialog*) { Type(Qt::Key_Escape); });
    load.Start();
    Type(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(load.Done());
    EXPECT_EQ(view->mode, ViewMode::NoGame);
}
