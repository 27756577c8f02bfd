// Options of the windowed program: the data directory, and the screenshot mode that
// starts or loads a game, lets the computer play up to the player's turn, saves a
// picture of the window and exits.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

class CKivApp;

struct GuiOptions {
    QString dataDir;    // empty: the usual search
    QString screenshot; // PNG to write, empty: play normally
    QString loadFile;
    int scenario = 0;   // 1..3 with ruler: a new game
    int ruler = -1;
    std::optional<std::int64_t> clockStart;
};

extern const char* const kGuiUsage;

bool ParseGuiOptions(const QStringList& arguments, GuiOptions& options, std::string& error);

// Runs the screenshot mode; returns the exit status.
int TakeScreenshot(CKivApp& app, const GuiOptions& options);
