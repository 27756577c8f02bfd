#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/gui_options.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "platform/clock.h"
#include "platform/data_directory.h"
#include "platform/quit_signals.h"
#include "rules/headless.h"
#include "view/kiv_view.h"

int main(int argc, char** argv)
{
    // The headless mode runs the rules alone and never starts the windows.
    if (argc >= 2 && std::string_view(argv[1]) == "--headless") {
        std::vector<std::string> args(argv + 2, argv + argc);
        // Without --data it looks for the game's files where the windows would.
        if (std::find(args.begin(), args.end(), "--data") == args.end()) {
            QCoreApplication core(argc, argv);
            args.insert(args.begin(), {"--data", platform::DataDirectory().toStdString()});
        }
        return HeadlessMain(args, std::cout, std::cerr);
    }

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--help" || arg == "-h") {
            std::cout << kGuiUsage;
            return 0;
        }
    }

    QApplication qapp(argc, argv);
    GuiOptions options;
    std::string error;
    if (!ParseGuiOptions(QApplication::arguments(), options, error)) {
        std::cerr << "velcor: " << error << "\n" << kGuiUsage;
        return 2;
    }
    if (options.clockStart)
        platform::FixClock(*options.clockStart);

    CKivApp app;
    if (!app.InitInstance())
        return 1;
    CKivView* view = app.View();
    if (!options.dataDir.isEmpty())
        view->dataDirectory = options.dataDir;
    platform::QuitOnSignals([&app] { app.MainFrame()->close(); });

    if (options.screenshot.isEmpty())
        return qapp.exec();
    return TakeScreenshot(app, options);
}
