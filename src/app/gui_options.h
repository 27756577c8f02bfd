// SPDX-License-Identifier: GPL-3.0-or-later
// Options of the windowed program: the data directory, and the screenshot mode that
// starts or loads a game, lets the computer play up to the player's turn, saves a
// picture of the window and exits.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CKivApp;

struct GuiOptions {
    // Paths keep the command line's bytes (platform::PathFromBytes).
    QString dataDir;    // empty: the usual search
    QString screenshot; // PNG to write, empty: play normally
    QString loadFile;
    QString replayFile; // a game's record played back in the window
    int scenario = 0;   // 1..3 with ruler: a new game
    int ruler = -1;
    std::optional<std::int64_t> clockStart;
    qreal zoom = 0;          // 1, 1.5, 2 or 3 for this run, not remembered; 0: as remembered
    bool firstPaint = false; // print when the window was first painted, then end
    bool help = false;
    // Qt's own options (-platform NAME, -style NAME, ...), passed on to the
    // application object as given.
    std::vector<std::string> qtArguments;
};

extern const char* const kGuiUsage;

// Reads the arguments after the program's name, as the system gives them (bytes).
// Needs no application object, so that bad options are reported without a display.
bool ParseGuiOptions(const std::vector<std::string>& args, GuiOptions& options, std::string& error);

// For --first-paint, called before the window exists: once the view's first paint
// is on the screen, prints the clock's time (nanoseconds since the epoch,
// CLOCK_REALTIME) and ends the program.
void ReportFirstPaint();

// Why the screenshot mode must not start with these options: the picture would be
// written over a file it reads (the saved game, or with dataDir given the scenario's
// files there) or over a file a save would refuse to replace. Empty when it may.
std::string ScreenshotFilesRefusal(const GuiOptions& options, const QString& dataDir);

// Runs the screenshot mode; returns the exit status. Every refusal goes to standard
// error with the text its message box would show, and the status is then 2.
int TakeScreenshot(CKivApp& app, const GuiOptions& options);
