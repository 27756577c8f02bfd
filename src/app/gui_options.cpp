// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/gui_options.h"

#include <QApplication>
#include <QBuffer>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>

#include <ctime>

#include <algorithm>
#include <charconv>
#include <iostream>

#include "app/bundle_files.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/message_box.h"
#include "platform/output_files.h"
#include "platform/path_bytes.h"
#include "platform/text_file.h"
#include "session/save_bundle.h"
#include "platform/window_scale.h"
#include "view/map/kiv_view.h"

const char* const kGuiUsage =
    "usage: velcor [--data DIR] [--zoom 1|1.5|2|3] [--screenshot FILE.png [--load FILE | --scenario N --ruler R] [--clock SECONDS]]\n"
    "       velcor [--data DIR] [--zoom 1|1.5|2|3] --replay FILE   (plays a game's record back in the window)\n"
    "       velcor --first-paint     (prints when the window was first painted, in ns since the epoch, and ends)\n"
    "       velcor --headless --help\n";

namespace {

// Qt's own options that the application object reads, and whether each takes a value.
struct QtOption {
    const char* name;
    bool valued;
};
constexpr QtOption kQtOptions[] = {
    {"-platform", true}, {"-platformpluginpath", true}, {"-platformtheme", true}, {"-plugin", true},
    {"-qwindowgeometry", true}, {"-qwindowicon", true}, {"-qwindowtitle", true}, {"-display", true},
    {"-style", true}, {"-stylesheet", true}, {"-session", true}, {"-reverse", false},
    {"-nograb", false}, {"-dograb", false}, {"-widgetcount", false},
};

} // namespace

bool ParseGuiOptions(const std::vector<std::string>& args, GuiOptions& options, std::string& error)
{
    options = GuiOptions{};
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        auto path = [&](QString& out) {
            std::string bytes;
            if (!value(bytes))
                return false;
            if (bytes.empty()) {
                error = arg + " needs a value";
                return false;
            }
            out = platform::PathFromBytes(bytes);
            return true;
        };
        auto number = [&](long long min, long long max, long long& out) {
            std::string text;
            if (!value(text))
                return false;
            const char* end = text.data() + text.size();
            auto [ptr, ec] = std::from_chars(text.data(), end, out);
            if (text.empty() || ec != std::errc() || ptr != end || out < min || out > max) {
                error = arg + ": " + text + " is not a number from " + std::to_string(min) + " to " +
                        std::to_string(max);
                return false;
            }
            return true;
        };
        long long n = 0;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            return true;
        } else if (arg == "--data") {
            if (!path(options.dataDir))
                return false;
        } else if (arg == "--screenshot") {
            if (!path(options.screenshot))
                return false;
        } else if (arg == "--load") {
            if (!path(options.loadFile))
                return false;
        } else if (arg == "--replay") {
            if (!path(options.replayFile))
                return false;
        } else if (arg == "--scenario") {
            if (!number(1, 3, n))
                return false;
            options.scenario = static_cast<int>(n);
        } else if (arg == "--ruler") {
            if (!number(0, 15, n))
                return false;
            options.ruler = static_cast<int>(n);
        } else if (arg == "--zoom") {
            std::string text;
            if (!value(text))
                return false;
            const auto offered = std::find_if(platform::kWindowScales.begin(), platform::kWindowScales.end(),
                                              [&](qreal step) { return text == QString::number(step).toStdString(); });
            if (offered == platform::kWindowScales.end()) {
                error = arg + ": " + text + " is not one of 1, 1.5, 2, 3";
                return false;
            }
            options.zoom = *offered;
        } else if (arg == "--first-paint") {
            options.firstPaint = true;
        } else if (arg == "--clock") {
            if (!number(0, 1LL << 40, n))
                return false;
            options.clockStart = n;
        } else {
            // Qt reads "--style" as "-style".
            const std::string qtName = arg.rfind("--", 0) == 0 ? arg.substr(1) : arg;
            const QtOption* qt = nullptr;
            for (const QtOption& o : kQtOptions)
                if (qtName == o.name)
                    qt = &o;
            if (!qt) {
                error = "unknown option " + arg;
                return false;
            }
            options.qtArguments.push_back(arg);
            if (qt->valued) {
                std::string v;
                if (!value(v))
                    return false;
                options.qtArguments.push_back(v);
            }
        }
    }
    if (!options.replayFile.isEmpty() && (!options.screenshot.isEmpty() || options.clockStart)) {
        error = "--replay plays its record's own game: not with --screenshot or --clock";
        return false;
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

namespace {

// Waits for the view's first paint; the report follows once that paint has reached
// the screen.
class FirstPaintWatch : public QObject {
public:
    explicit FirstPaintWatch(QObject* parent) : QObject(parent) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen && qobject_cast<CKivView*>(watched)) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::cout << static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec << '\n';
                QCoreApplication::exit(platform::FlushPrinted(std::cout, std::cerr) ? 0 : 1);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

void ReportFirstPaint()
{
    qApp->installEventFilter(new FirstPaintWatch(qApp));
}

std::string ScreenshotFilesRefusal(const GuiOptions& options, const QString& dataDir)
{
    std::vector<platform::NamedFile> files;
    if (!options.loadFile.isEmpty())
        files.push_back({"--load", platform::PathToBytes(options.loadFile), false});
    if (options.scenario != 0 && !dataDir.isEmpty()) {
        const std::string data = platform::PathToBytes(dataDir);
        for (const std::string& path : {ScenarioFilePath(data, options.scenario), CountryFilePath(data, options.scenario)})
            files.push_back({"--data", path, false});
    }
    files.push_back({"--screenshot", platform::PathToBytes(options.screenshot), true});
    return platform::OutputFilesRefusal(files);
}

int TakeScreenshot(CKivApp& app, const GuiOptions& options)
{
    if (const std::string refusal = ScreenshotFilesRefusal(options, app.View()->dataDirectory); !refusal.empty()) {
        std::cerr << "velcor: " << refusal << "\n";
        return 2;
    }
    CKivView* view = app.View();
    // Windows that would wait for the player close at once; a refusal goes to the
    // terminal, since nobody is there to press its OK.
    view->SetWindowTimes(1, 1);
    bool refused = false;
    platform::SetMessageBoxSink([&refused](const QString& text) {
        std::cerr << "velcor: " << text.toStdString() << "\n";
        refused = true;
    });
    struct SinkReset {
        ~SinkReset() { platform::SetMessageBoxSink({}); }
    } sinkReset;

    if (options.scenario != 0) {
        // The ruler must be one the scenario offers, as the ruler dialog would have it.
        std::string message;
        const std::string scenarioPath =
            ScenarioFilePath(platform::PathToBytes(view->dataDirectory), options.scenario);
        if (!ScenarioOffersRuler(scenarioPath, options.ruler, message)) {
            std::cerr << "velcor: " << message << "\n";
            return 2;
        }
    }
    QEventLoop loop;
    QObject::connect(&app.Game(), &GameController::playerTurnReached, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    bool started = false;
    if (!options.loadFile.isEmpty()) {
        // The same call as the window's ﾛｰﾄﾞ.
        QString why;
        if (bundle::FileLooksLikeBundle(platform::PathToBytes(options.loadFile)))
            started = app.Bundles()->Import(options.loadFile, &why);
        else
            started = app.Game().LoadGame(options.loadFile, &why);
        if (!started && !why.isEmpty())
            platform::ShowMessageBox(view, why);
    }
    else if (options.scenario != 0)
        started = view->Files().NewGame(options.scenario - 1, options.ruler);
    if (refused || ((!options.loadFile.isEmpty() || options.scenario != 0) && !started))
        return 2;
    if (started)
        loop.exec();
    QApplication::processEvents();
    const QPixmap picture = app.MainFrame()->grab();
    // Written by its bytes, so that a name that is not UTF-8 stays as it was given.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const std::string outPath = platform::PathToBytes(options.screenshot);
    // As a save is written: the previous picture stays whole when the write fails.
    std::string error;
    if (!picture.save(&buffer, "PNG") ||
        !platform::WriteTextAtomically(outPath, std::string(png.constData(), static_cast<std::size_t>(png.size())),
                                       &error)) {
        std::cerr << "velcor: cannot write " << outPath << (error.empty() ? "" : ": " + error) << "\n";
        return 1;
    }
    app.MainFrame()->close();
    return 0;
}
