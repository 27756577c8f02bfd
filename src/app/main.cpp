// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QCoreApplication>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/autosave.h"
#include "app/game_story.h"
#include "app/gui_options.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "platform/clock.h"
#include "platform/data_directory.h"
#include "platform/output_files.h"
#include "platform/path_bytes.h"
#include "platform/quit_signals.h"
#include "platform/settings.h"
#include "platform/warm_up.h"
#include "cli/headless.h"
#include "netgame/network_headless.h"
#include "session/game_record.h"
#include "view/map/kiv_view.h"

namespace {

// What Qt says while the windows open, held back: when no display can be reached Qt
// explains it at length and aborts; the player gets one line and status 2 instead.
std::vector<QString> g_heldMessages;

void WhileOpening(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        std::fputs("velcor: the windowed mode needs a display, and none could be opened; "
                   "--headless or QT_QPA_PLATFORM=offscreen run without one\n",
                   stderr);
        std::fflush(stderr);
        platform::FinishWarmUp();
        std::_Exit(2);
    }
    g_heldMessages.push_back(qFormatLogMessage(type, context, text));
}

// The application object over the arguments that are Qt's. When no display can be
// reached the program ends here.
std::unique_ptr<QApplication> OpenWindows(int& argc, char** argv)
{
    const QtMessageHandler previous = qInstallMessageHandler(WhileOpening);
    auto qapp = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : g_heldMessages)
        std::cerr << message.toStdString() << "\n";
    g_heldMessages.clear();
    return qapp;
}

} // namespace

int main(int argc, char** argv)
{
    // The headless mode runs the rules alone and never starts the windows.
    if (argc >= 2 && std::string_view(argv[1]) == "--headless") {
        std::vector<std::string> args(argv + 2, argv + argc);
        // A networked game runs its connections on Qt's event loop.
        std::optional<QCoreApplication> core;
        const auto given = [&](const char* option) { return std::find(args.begin(), args.end(), option) != args.end(); };
        if (given("--host") || given("--join") || !given("--data"))
            core.emplace(argc, argv);
        // Without --data it looks for the game's files where the windows would.
        if (!given("--data"))
            args.insert(args.begin(), {"--data", platform::DataDirectory().toStdString()});
        return HeadlessMain(args, std::cout, std::cerr, netgame::PrepareHeadless);
    }

    // The options come first: help and bad options need no display.
    GuiOptions options;
    std::string error;
    if (!ParseGuiOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::cerr << "velcor: " << error << "\n" << kGuiUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kGuiUsage;
        return platform::FlushPrinted(std::cout, std::cerr) ? 0 : 1;
    }
    // The picture's file is looked at before any window opens: a pipe or a folder in its
    // place, or the saved game it shows, is refused at once.
    if (!options.screenshot.isEmpty()) {
        if (const std::string refusal = ScreenshotFilesRefusal(options, options.dataDir); !refusal.empty()) {
            std::cerr << "velcor: " << refusal << "\n";
            return 2;
        }
    }
    // A record to play back is read and checked before any window opens.
    if (!options.replayFile.isEmpty()) {
        platform::Message why;
        if (!ReadRecordFile(platform::PathToBytes(options.replayFile), &why)) {
            std::cerr << "velcor: " << platform::PathToBytes(options.replayFile) << ": " << why.Text() << "\n";
            return 2;
        }
    }
    if (options.clockStart)
        platform::FixClock(*options.clockStart);
    // A picture is made as a first start makes it, and writes nothing but the picture:
    // settings of its own for this run alone, no autosave, and Qt's test locations in
    // place of the player's for anything else.
    if (!options.screenshot.isEmpty()) {
        QStandardPaths::setTestModeEnabled(true);
        platform::settings::KeepToThisRun();
        AutosaveStore::KeepNone();
    }

    platform::StartWarmUp();
    // Whichever way the program ends from here, the warm-up's thread has ended first.
    struct WarmUpEnd {
        ~WarmUpEnd() { platform::FinishWarmUp(); }
    } warmUpEnd;
    std::vector<char*> qtArgv = {argv[0]};
    for (std::string& arg : options.qtArguments)
        qtArgv.push_back(arg.data());
    int qtArgc = static_cast<int>(qtArgv.size());
    qtArgv.push_back(nullptr);
    const std::unique_ptr<QApplication> qapp = OpenWindows(qtArgc, qtArgv.data());

    CKivApp app;
    if (options.firstPaint)
        ReportFirstPaint();
    if (!app.InitInstance(options.zoom))
        return 1;
    CKivView* view = app.View();
    if (!options.dataDir.isEmpty())
        view->dataDirectory = options.dataDir;
    platform::QuitOnSignals([&app] { app.OnQuitSignal(); });

    if (!options.replayFile.isEmpty()) {
        QString why;
        if (!app.Story()->StartReplay(options.replayFile, &why)) {
            std::cerr << "velcor: " << why.toStdString() << "\n";
            return 2;
        }
    }
    if (options.screenshot.isEmpty())
        return qapp->exec();
    return TakeScreenshot(app, options);
}
