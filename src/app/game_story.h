// SPDX-License-Identifier: GPL-3.0-or-later
// The story of a game in the windows: its record (which the view makes as it is played)
// kept beside every save and autosave as NAME.record and taken up again when the save is
// loaded; ﾌｧｲﾙ → 1ﾀｰﾝ戻る and the chronicle's この時点から再開, which go back to an earlier
// turn of the player's; and a record played back in the window (velcor --replay FILE)
// at the game's speed, with a pause and one step at a time (the ﾘﾌﾟﾚｲ menu).
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "session/game_record.h"

class Chronicle;
class CKivView;
class CMainFrame;
class QAction;
class QMenu;

class GameStory : public QObject {
    Q_OBJECT

public:
    // Between two commands of a record played back, at the normal speed.
    static constexpr int kCommandMs = 800;

    // Adds 1ﾀｰﾝ戻る to ﾌｧｲﾙ (and the ﾘﾌﾟﾚｲ menu when a record is played back); owned by
    // the frame. chronicle, when given,
    // offers この時点から再開 and is told again from the start when the game goes back.
    GameStory(CMainFrame& frame, CKivView& view, Chronicle* chronicle);

    // NAME -> NAME.record, from the name's exact bytes.
    static QString RecordPath(const QString& savePath);
    // The record of the game as it stands, tied to the save just written at savePath
    // (with the cursor it stored), written beside it. False with the reason.
    bool SaveBeside(const QString& savePath, int cursor, QString* error) const;

    // Back to the start of the player's previous turn (1ﾀｰﾝ戻る).
    bool GoBackOneTurn(QString* why);

    // Plays a record file back in the window from its start. False with the reason when
    // the file is no record or no game can begin now.
    bool StartReplay(const QString& path, QString* why);
    bool Replaying() const;
    void SetPaused(bool paused);
    bool Paused() const;
    // The next command of the record (or the game's next beginning), now.
    void StepReplay();
    // The step time, for tests (0: at once).
    void SetCommandTime(int milliseconds);

    QAction* BackAction() const { return m_back; }
    QMenu* ReplayMenu() const { return m_replayMenu; } // nullptr until a replay starts

signals:
    // The record played back has come to its end: the game is the player's from here.
    void replayEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void MakeReplayMenu();
    void UpdateActions();
    void OnWorldReplaced(const QString& savePath);
    void AddNotice(const QString& text);
    void OnGameSaved(const QString& path);
    void OnPlayerTurn();
    void OnResume(int year, int month, int country);
    void OnReplayEnded(const QString& why);

    CMainFrame& m_frame;
    CKivView& m_view;
    Chronicle* m_chronicle;
    QAction* m_back = nullptr;
    QMenu* m_replayMenu = nullptr;
    QAction* m_pause = nullptr;
    QAction* m_step = nullptr;
    QString m_notice; // shown at the player's next turn
    int m_commandMs = kCommandMs;
};
