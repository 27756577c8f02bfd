// SPDX-License-Identifier: GPL-3.0-or-later
// The chronicle beside the specified game: it hears the rules' events, keeps them in the
// chronicle window (表示 → 戦況記録, F3), reports at the player's turn what happened
// since his last, keeps the chronicle beside a saved game, and adds the map's country
// names (表示 → 国名を表示) and tooltips. It changes nothing of the game.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <array>
#include <cstddef>
#include <optional>

#include "model/game_state.h"

#include "view/windows/chronicle_wnd.h"
#include "view/windows/turn_report_wnd.h"

class CKivView;
class CMainFrame;
class MapTips;
class ChronicleLog;
class QAction;

class Chronicle : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kWindowName = "Chronicle";
    // How long the status line tells of a chronicle set aside or cut.
    static constexpr int kNoticeMs = 8000;

    Chronicle(CMainFrame& frame, CKivView& view);
    ~Chronicle() override;

    ChronicleLog& Log() { return *m_log; }
    // The chronicle window, made when first asked for.
    ChronicleWindow& Window();
    // 模様で区別: the ruler table's swatches follow the map.
    void SetRulerPatterns(bool on);
    TurnReportWindow& ReportWindow() { return *m_report; }
    MapTips& Tips() { return *m_tips; }
    QAction* ChronicleAction() const { return m_chronicleAction; }
    QAction* NamesAction() const { return m_namesAction; }
    QAction* ReportAction() const { return m_reportAction; }

    // Opens the chronicle window beside the main window (or where it was last).
    void ShowWindow();
    // Opens the window when it was open as the program last ended.
    void RestoreWindow();

    // The player's turn: the report of what happened since his last, when anything did
    // and the report is on (never in a game nobody plays). Returns the lines shown.
    QStringList ReportTurn();

signals:
    // この時点から再開 in the chronicle window (ChronicleWindow::resumeRequested).
    void resumeRequested(int year, int month, int country);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void OnWorldReplaced(const QString& savePath);
    void OnGameSaved(const QString& path);
    void RememberWindow();
    // Shows what the player should hear of the chronicle in the status line, at his turn.
    void ShowNotices();

    CMainFrame& m_frame;
    CKivView& m_view;
    QPointer<QObject> m_viewAlive; // the view (and the game it plays) still stands
    ChronicleLog* m_log;
    QPointer<ChronicleWindow> m_window;
    bool m_rulerPatterns = false;
    QPointer<TurnReportWindow> m_report;
    MapTips* m_tips;
    QAction* m_chronicleAction;
    QAction* m_namesAction;
    QAction* m_reportAction;
    bool m_remembered = false;
    QStringList m_notices; // for the status line at the player's next turn
    // When several people play: where each person's last turn report ended in the log.
    std::optional<std::array<std::size_t, kRulerCount>> m_personMarks;
};
