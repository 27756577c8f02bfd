#include "app/gui_options.h"

#include <QApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <iostream>

#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "view/kiv_view.h"

const char* const kGuiUsage =
    "usage: velcor [--data DIR] [--screenshot FILE.png [--load FILE | --scenario N --ruler R] [--clock SECONDS]]\n"
    "       velcor --headless --help\n";

bool ParseGuiOptions(const QStringList& arguments, GuiOptions& options, std::string& error)
{
    options = GuiOptions{};
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        auto value = [&](QString& out) {
            if (i + 1 >= arguments.size()) {
                error = arg.toStdString() + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        auto number = [&](long long min, long long max, long long& out) {
            QString text;
            if (!value(text))
                return false;
            bool ok = false;
            out = text.toLongLong(&ok);
            if (!ok || out < min || out > max) {
                error = arg.toStdString() + ": " + text.toStdString() + " is not a number from " +
                        std::to_string(min) + " to " + std::to_string(max);
                return false;
            }
            return true;
        };
        long long n = 0;
        if (arg == QLatin1String("--data")) {
            if (!value(options.dataDir))
                return false;
        } else if (arg == QLatin1String("--screenshot")) {
            if (!value(options.screenshot))
                return false;
        } else if (arg == QLatin1String("--load")) {
            if (!value(options.loadFile))
                return false;
        } else if (arg == QLatin1String("--scenario")) {
            if (!number(1, 3, n))
                return false;
            options.scenario = static_cast<int>(n);
        } else if (arg == QLatin1String("--ruler")) {
            if (!number(0, 15, n))
                return false;
            options.ruler = static_cast<int>(n);
        } else if (arg == QLatin1String("--clock")) {
            if (!number(0, 1LL << 40, n))
                return false;
            options.clockStart = n;
        } else {
            error = "unknown option " + arg.toStdString();
            return false;
        }
    }
    if ((options.scenario != 0) != (options.ruler != -1)) {
        error = "--scenario and --ruler go together";
        return false;
    }
    if (options.scenario != 0 && !options.loadFile.isEmpty()) {
        error = "--load and --scenario exclude each other";
        return false;
    }
    if (options.screenshot.isEmpty() && (options.scenario != 0 || !options.loadFile.isEmpty())) {
        error = "--load and --scenario are for --screenshot (start a game from the menu otherwise)";
        return false;
    }
    return true;
}

int TakeScreenshot(CKivApp& app, const GuiOptions& options)
{
    CKivView* view = app.View();
    // Windows that would wait for the player close at once.
    view->SetWindowTimes(1, 1);
    QEventLoop loop;
    QObject::connect(view, &CKivView::playerTurnReached, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    bool started = false;
    if (!options.loadFile.isEmpty())
        started = view->LoadGame(options.loadFile);
    else if (options.scenario != 0)
        started = view->NewGame(options.scenario - 1, options.ruler);
    if ((!options.loadFile.isEmpty() || options.scenario != 0) && !started)
        return 2;
    if (started)
        loop.exec();
    QApplication::processEvents();
    const QPixmap picture = app.MainFrame()->grab();
    if (!picture.save(options.screenshot, "PNG")) {
        std::cerr << "velcor: cannot write " << options.screenshot.toStdString() << "\n";
        return 1;
    }
    app.MainFrame()->close();
    return 0;
}
