// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a whole: its command line, the screenshot mode that nobody watches,
// and the end by a signal whatever windows are open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <filesystem>

#include <sys/stat.h>

#include "app/gui_options.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/data_directory.h"
#include "platform/path_bytes.h"
#include "platform/quit_signals.h"
#include "test_support.h"
#include "view/map/kiv_view.h"

namespace {

// 表示 in Shift-JIS: its second byte is a backslash, and the bytes are no UTF-8.
const std::string kSjisName("\x95\x5C\x8E\xA6", 4);

GuiOptions Parse(const std::vector<std::string>& args, std::string* error = nullptr)
{
    GuiOptions options;
    std::string message;
    EXPECT_EQ(ParseGuiOptions(args, options, message), error == nullptr) << message;
    if (error)
        *error = message;
    return options;
}

} // namespace

TEST(CommandLine, PathsKeepTheirBytesAndQtsOwnOptionsPassThrough)
{
    const GuiOptions options = Parse({"--screenshot", kSjisName + ".png", "--load", "/tmp/" + kSjisName,
                                      "-platform", "offscreen", "--data", "d\xFF", "--style", "Fusion"});
    EXPECT_EQ(platform::PathToBytes(options.loadFile), "/tmp/" + kSjisName);
    EXPECT_EQ(platform::PathToBytes(options.screenshot), kSjisName + ".png");
    EXPECT_EQ(platform::PathToBytes(options.dataDir), "d\xFF");
    EXPECT_EQ(options.qtArguments, (std::vector<std::string>{"-platform", "offscreen", "--style", "Fusion"}));
    EXPECT_TRUE(Parse({"--data", "x", "--help"}).help);

    std::string error;
    Parse({"--screenshot", "a.png", "--scenario", "1", "--ruler", "1x"}, &error);
    EXPECT_EQ(error, "--ruler: 1x is not a number from 0 to 15");
    Parse({"--frobnicate"}, &error);
    EXPECT_EQ(error, "unknown option --frobnicate");
    Parse({"-platform"}, &error);
    EXPECT_EQ(error, "-platform needs a value");
    Parse({"--screenshot", "a.png", "--load", ""}, &error);
    EXPECT_EQ(error, "--load needs a value");
    Parse({"--load", "x.txt"}, &error);
    EXPECT_NE(error.find("are for --screenshot"), std::string::npos);
}

TEST(CommandLine, PathBytesSurviveAQStringAndUtf8ConvertsAsQtDoes)
{
    for (const std::string& bytes :
         {kSjisName, std::string("\xC0\x80"), std::string("\xED\xA0\x80"), std::string("a\xF4\x90\x80\x80z"),
          std::string("\xE8\xA1"), std::string("\x80\xFF\xFE")}) {
        EXPECT_EQ(platform::PathToBytes(platform::PathFromBytes(bytes)), bytes);
    }
    for (const char* utf8 : {"", "plain.txt", "/tmp/表示/セーブ.txt", "😀 z"}) {
        EXPECT_EQ(platform::PathFromBytes(utf8), QString::fromUtf8(utf8)) << utf8;
        EXPECT_EQ(platform::PathToBytes(QString::fromUtf8(utf8)), utf8) << utf8;
    }
}

class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::FixClock(1'700'000'000);
        app = std::make_unique<CKivApp>();
        ASSERT_TRUE(app->InitInstance());
        view = app->View();
        game = &app->Game();
        view->SetWindowTimes(1, 1);
        view->dataDirectory = QString::fromStdString(dir.Path());
    }
    void TearDown() override
    {
        app.reset();
        platform::UseRealClock();
    }

    // Copies the shipped files of a scenario into folder.
    void CopyScenario(const std::string& folder, int number)
    {
        const std::string shipped = platform::PathToBytes(platform::DataDirectory());
        for (const std::string& file : {ScenarioFilePath(shipped, number), CountryFilePath(shipped, number)})
            std::filesystem::copy_file(file, folder + "/" + std::filesystem::path(file).filename().string(),
                                       std::filesystem::copy_options::overwrite_existing);
    }

    // The screenshot mode; any window that opens is noted and closed, since nobody is
    // there to close it.
    int Screenshot(const GuiOptions& options, std::string& printed, std::vector<std::string>& windows)
    {
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&windows] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                windows.push_back(box ? box->text().toStdString() : modal->metaObject()->className());
                modal->close();
            }
        });
        watch.start(50);
        StderrCapture capture;
        const int status = TakeScreenshot(*app, options);
        printed = capture.Text();
        return status;
    }

    // The game the program's view plays.
    GameState& W() const { return game->Session().world; }

    std::unique_ptr<CKivApp> app;
    CKivView* view = nullptr;
    GameController* game = nullptr;
    TempDir dir;
};

TEST_F(WholeProgram, TheScreenshotModePrintsEveryRefusalInsteadOfWaitingForAnOk)
{
    WriteFileBytes(dir.Path("bad.txt"), "99\r\n");
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    WriteFileBytes(dir.Path("scenario1.txt"), "1\r\n2\r\n");
    WriteFileBytes(dir.Path("scenario2.txt"), "1\r\n16\r\n2\r\n");
    WriteFileBytes(dir.Path("scenario3.txt"), "1\r\n");
    const struct {
        std::vector<std::string> args;
        std::string printed;
    } cases[] = {
        {{"--load", dir.Path("bad.txt")},
         "velcor: ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n" + dir.Path("bad.txt") + "\n1 行目: プレイヤーの君主 の値 99 は範囲外です (1...15)\n"},
        {{"--load", dir.Path("missing.txt")},
         "velcor: ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + dir.Path("missing.txt") + "\nファイルがありません\n"},
        {{"--load", dir.Path("fifo")},
         "velcor: ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + dir.Path("fifo") + "\n通常のファイルではありません\n"},
        // A ruler the scenario does not offer, a scenario file that is refused, a
        // starting world that is missing.
        {{"--scenario", "1", "--ruler", "0"},
         "velcor: " + dir.Path("scenario1.txt") + " does not offer ruler 0; it offers 1 (劉備) 2 (曹操)\n"},
        {{"--scenario", "1", "--ruler", "7"},
         "velcor: " + dir.Path("scenario1.txt") + " does not offer ruler 7; it offers 1 (劉備) 2 (曹操)\n"},
        {{"--scenario", "2", "--ruler", "1"},
         "velcor: " + dir.Path("scenario2.txt") + " の 2 行目: 君主の番号 16 は範囲外です (1..15)\n"},
        {{"--scenario", "3", "--ruler", "1"},
         "velcor: ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + dir.Path("country3.txt") + "\nファイルがありません\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--screenshot", dir.Path("shot.png")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string printed;
        std::vector<std::string> windows;
        EXPECT_EQ(Screenshot(Parse(args), printed, windows), 2) << c.printed;
        EXPECT_EQ(printed, c.printed);
        EXPECT_EQ(windows, std::vector<std::string>{}) << "a window waited for an OK";
        EXPECT_FALSE(std::filesystem::exists(dir.Path("shot.png")));
        EXPECT_EQ(view->mode, ViewMode::NoGame);
    }
}

TEST_F(WholeProgram, TheScreenshotModeTakesFileNamesThatAreNotUtf8)
{
    const std::string folder = dir.Path(kSjisName);
    std::filesystem::create_directory(folder);
    CopyScenario(folder, 1);
    std::filesystem::copy_file(folder + "/country1.txt", folder + "/" + kSjisName + ".txt");

    std::string printed;
    std::vector<std::string> windows;
    const std::string shot = folder + "/" + kSjisName + ".png";
    EXPECT_EQ(Screenshot(Parse({"--screenshot", shot, "--load", folder + "/" + kSjisName + ".txt"}), printed, windows),
              0)
        << printed;
    EXPECT_EQ(windows, std::vector<std::string>{});
    EXPECT_EQ(ReadFileBytes(shot).substr(1, 3), "PNG");
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);

}

TEST_F(WholeProgram, TheScreenshotModeTakesADataFolderWhoseNameIsNotUtf8)
{
    const std::string folder = dir.Path(kSjisName);
    std::filesystem::create_directory(folder);
    CopyScenario(folder, 1);
    const GuiOptions options = Parse({"--screenshot", dir.Path("shot.png"), "--data", folder, "--scenario", "1", "--ruler", "2"});
    view->dataDirectory = options.dataDir; // as the program hands it on
    std::string printed;
    std::vector<std::string> windows;
    EXPECT_EQ(Screenshot(options, printed, windows), 0) << printed;
    EXPECT_EQ(W().playerRuler, 2);
    EXPECT_EQ(ReadFileBytes(dir.Path("shot.png")).substr(1, 3), "PNG");
}

TEST_F(WholeProgram, ASignalEndsItWhateverWindowsAreOpen)
{
    // The ruler dialog refuses the scenario in a box before it shows; the signal comes
    // while the box is up.
    WriteFileBytes(dir.Path("scenario1.txt"), "1\r\n16\r\n2\r\n");
    platform::QuitOnSignals([this] { app->OnQuitSignal(); });
    QStringList boxes;
    ModalScript script;
    script
        .Then<CScenarioDlg>([](CScenarioDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>(QStringLiteral("scenario0")), Qt::LeftButton);
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("選択"))
                    QTest::mouseClick(b, Qt::LeftButton);
        })
        .Then<QMessageBox>([&boxes](QMessageBox* box) {
            boxes << box->text();
            ::raise(SIGTERM);
        });
    script.Start();
    // Should a window stay open after the signal, it is closed after a few seconds so
    // that the test ends, and the program's loop ends with 99.
    std::vector<std::string> leftOpen;
    // Bound to the test's scope: a test that ends sooner takes the timer with it, so it
    // never closes a later test's windows.
    QObject scope;
    QTimer::singleShot(4000, &scope, [&leftOpen] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && qobject_cast<QDialog*>(w)) {
                leftOpen.push_back(w->metaObject()->className());
                qobject_cast<QDialog*>(w)->reject();
            }
        }
        QCoreApplication::exit(99);
    });
    bool commandReturned = false;
    QTimer::singleShot(0, [&] {
        view->OnNewGame();
        commandReturned = true;
    });
    QElapsedTimer elapsed;
    elapsed.start();
    // The program's own loop, as main runs it.
    const int status = QApplication::exec();
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(commandReturned);
    EXPECT_LT(elapsed.elapsed(), 4000);
    EXPECT_EQ(leftOpen, std::vector<std::string>{});
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains(QStringLiteral("16"))) << boxes[0].toStdString();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
    EXPECT_FALSE(game->Session().WorkerRunning());

    // A second signal is no longer caught: it would end the program at once.
    struct sigaction now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
    EXPECT_EQ(::sigaction(SIGINT, nullptr, &now), 0);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}
