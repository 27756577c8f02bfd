// SPDX-License-Identifier: GPL-3.0-or-later
// The ﾌｧｲﾙ menu's three flows: ｹﾞｰﾑ開始 (the scenario's dialog, then the rulers'), ｾｰﾌﾞ and
// ﾛｰﾄﾞ (the file dialogs), each ending in the controller's new game, save or load and
// telling the player what could not be done. Also the 乱世 seed of the game in play,
// noted when a game begins on one.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "control/game_controller.h"
#include "model/game_state.h"

class QWidget;

class CRulerDlg;

class GameFiles : public QObject {
    Q_OBJECT

public:
    // owner: the window the dialogs and message boxes belong to; dataDirectory: the
    // folder of the bundled scenarios, asked each time it is needed.
    GameFiles(GameController& game, QWidget& owner, std::function<QString()> dataDirectory);

    // The menu commands, their dialogs first; a dialog cancelled changes nothing.
    void ChooseNewGame();
    void ChooseSave();
    void ChooseLoad();

    // A new game's dialogs: the scenario, then rulerDlg set up for the scenario chosen
    // and shown (whoever calls sets what else it asks first). Nullopt when either is
    // cancelled.
    struct ChosenStart {
        int scenario = 0;  // index 0..2 of directory
        QString directory; // the bundled scenarios' folder, or the own scenario's
        std::optional<std::uint32_t> seed; // a 乱世's seed
    };
    std::optional<ChosenStart> ChooseStart(CRulerDlg& rulerDlg);

    // The last steps of the two commands, without their dialogs: load a country file
    // (scenario index 0..2 of directory, the data folder when none is given, or a saved
    // game) and start the computer's turns. False when the file could not be used (the
    // player has been told why).
    bool NewGame(int scenario, RulerId ruler, const QString& directory = QString());
    // The same with the seats chosen: who plays each ruler, first the ruler a save names.
    bool NewGame(int scenario, const Seats& seats, RulerId first, const QString& directory = QString());
    bool LoadGame(const QString& path);

    // Whether the game in play may be left for another (a new game, a load, a record
    // watched, the program's end): leave answers, asking the player when a command
    // would be lost; none: always.
    void SetLeaveQuestion(std::function<bool()> leave) { m_leave = std::move(leave); }
    bool MayLeaveGame() const { return !m_leave || m_leave(); }

    // The seed of the 乱世 the game in play was begun on; nullopt for any other game (or
    // one begun on a 乱世 this machine has not noted).
    std::optional<std::uint32_t> RandomSeed() const { return m_randomSeed; }

signals:
    // The game in play is known to be a 乱世 of a seed, or no longer one.
    void randomSeedChanged();

private:
    // The game just begun is the 乱世 of seed: noted by its start, for this and later runs.
    void NoteRandomSeed(std::uint32_t seed);
    // The seed of the game begun, if its start was noted.
    void FindRandomSeed();

    GameController& m_game;
    QWidget& m_owner;
    std::function<QString()> m_dataDirectory;
    std::function<bool()> m_leave;
    std::optional<std::uint32_t> m_randomSeed;
};
