// SPDX-License-Identifier: GPL-3.0-or-later
// The seven commands of the main view in one table: caption, command id, key, the
// button's place, the handler, what the command does, costs and needs, and the command
// of the turn's description that says whether it acts now and why not. The view makes its buttons and answers its keys
// from it, the buttons' tooltips are worded from it, and the keyboard help window
// lists it, so that none of them can drift from another.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <array>
#include <vector>

#include "dialogs/key_help.h"
#include "conduct/turn_description.h"
#include "view/map/view_mode.h"

class CKivView;
class QPushButton;

struct CommandEntry {
    enum Group { Action, Rest }; // Rest is left alone when the actions are disabled

    const char* caption; // the button's caption (UTF-8)
    int id;              // command id
    Qt::Key key;         // the key that presses the button
    int x;               // the button's left edge; all lie on one row
    Group group;
    QPushButton* CKivView::*button;
    void (CKivView::*handler)();
    // What the command does, costs and needs, in the game's words, with the figures
    // taken from the rules' constants.
    QString (*describe)();
    // The command as the turn's description names it (whether it acts, and why not).
    TurnCommand command;
};

// A menu command's accelerator.
struct MenuKey {
    int id;            // the menu command's id
    QKeySequence keys;
    const char* label; // the command as the help window names it (UTF-8)
};

class CommandTable {
public:
    // Command ids of the menu.
    static constexpr int ID_FILE_NEW_GAME = 32771;
    static constexpr int ID_FILE_SAVE_GAME = 32776;
    static constexpr int ID_FILE_LOAD_GAME = 32777;
    static constexpr int ID_APP_EXIT = 57665;
    static constexpr int ID_APP_ABOUT = 57664;
    static constexpr int ID_HELP_KEYS = 32800; // 操作方法: the keyboard help window

    // Command ids of the main view's buttons.
    static constexpr int ID_CMD_REST = 59394;
    static constexpr int ID_CMD_TRAIN = 59395;
    static constexpr int ID_CMD_CONSCRIPT = 59396;
    static constexpr int ID_CMD_MOVE = 59397;
    static constexpr int ID_CMD_WAR = 59398;
    static constexpr int ID_CMD_DEVELOP_LAND = 59399;
    static constexpr int ID_CMD_DEVELOP_COMMERCE = 59400;

    // The buttons' row and size.
    static constexpr int kButtonY = 390;
    static constexpr int kButtonWidth = 60;
    static constexpr int kButtonHeight = 20;

    // In the order the buttons are made, left to right.
    static const std::array<CommandEntry, 7>& Entries();
    // The command of a key (no modifiers), or nullptr.
    static const CommandEntry* ForKey(int key);
    // The button's caption in the language in use.
    static QString Caption(const CommandEntry& entry);

    // "開墾 (L)", the description, and a last line saying why the command cannot act
    // now (the turn's description says why) when it cannot.
    static QString Tooltip(const CommandEntry& entry, const QString& why);

    // The hint drawn on the map while the player chooses a target.
    static QString ChoosingHint();

    // The menu commands' accelerators (ｹﾞｰﾑ開始, ｾｰﾌﾞ, ﾛｰﾄﾞ, ｱﾌﾟﾘｹｰｼｮﾝの終了) and the
    // key of the keyboard help window.
    static const std::vector<MenuKey>& MenuKeys();
    static QKeySequence HelpKey();
    // The 表示 menu's keys: the chronicle window, the map larger and smaller (Ctrl+=
    // too: on many keyboards the plus needs Shift).
    static QKeySequence ChronicleKey();
    // 自国一覧, the window of the player's own countries.
    static QKeySequence OwnCountriesKey();
    // The advice window (助言) for the country whose turn it is.
    static QKeySequence AdviceKey();
    static QList<QKeySequence> ZoomInKeys();
    static QList<QKeySequence> ZoomOutKeys();
    // The keys of the battle window before its end: Enter and Escape.
    static QList<QKeySequence> BattleKeys();
    // A game watched or a record played back (the 観戦 and ﾘﾌﾟﾚｲ menus): pause or go
    // on, and while paused one step (a month, or a command) at a time.
    static QKeySequence PauseKey();
    static QKeySequence StepKey();
    // 残りを休養: every country left to the person whose turn it is this month rests.
    static QKeySequence RestRemainingKey();
    // The keys on the map's list of countries, from any window; the last line told to a
    // screen reader once more.
    static QKeySequence CountryListKey();
    static QKeySequence RepeatKey();
    static QKeySequence RoundsKey();

    // Every key of the game for the help window: the commands first, then the keys of
    // the target choice, the dialogs, the menus and the battle window.
    static std::vector<KeyHelp> AllKeys();
};
