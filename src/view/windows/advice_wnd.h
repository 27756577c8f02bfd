// SPDX-License-Identifier: GPL-3.0-or-later
// The advice window (助言): the commands the player may give in the country whose turn
// it is, ranked by the advisor, best first, with their scores and, beneath each, why it
// ranks there. Not modal: the advisor thinks on worker threads and the window reads its
// ranking on a timer, so the list refines while it is shown and the game stays in the
// player's hands. The best command is marked on its button (bold, its reason in the
// tooltip) until the turn ends. Escape closes the window and ends the work.
#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

#include "foresight/advisor.h"

class CKivView;
class QAction;
class QLabel;
class QMenu;
class QTreeWidget;

class AdviceWindow : public QWidget {
    Q_OBJECT

public:
    // Trials of each command the window asks for: it refines for a few seconds.
    static constexpr int kWindowRollouts = 4 * foresight::kDefaultRollouts;
    static constexpr int kPollMs = 150;
    // 命令 (with its reason on a line beneath), 評価, 試行.
    static constexpr int kColumns = 3;

    explicit AdviceWindow(CKivView& view, QWidget* parent = nullptr);
    ~AdviceWindow() override;

    // Starts the advice for the country whose turn it is and shows the window. Nothing
    // is asked outside the player's turn.
    void Ask();
    // The advice for the turn now, asked again in the window as it stands (not raised).
    void Follow();
    // Ends the work; the list keeps the last ranking.
    void Stop();
    bool Working() const { return m_advisor && !m_advisor->Finished(); }
    // The ranking the list shows.
    const std::vector<foresight::AdvisedCommand>& Ranking() const { return m_ranking; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Poll();
    void Fill();
    void Retranslate();
    // The header's tooltip: how the score is reckoned, with the penalty of the advice shown.
    void ShowRule();
    // The months the advice looks ahead.
    int Horizon() const;
    // The turn the advice was asked for is over: the work ends.
    void OnCommandState();

    CKivView& m_view;
    std::unique_ptr<foresight::Advisor> m_advisor;
    int m_country = -1; // the country whose turn the advice is for
    std::vector<foresight::AdvisedCommand> m_ranking;
    int m_trials = 0;
    QLabel* m_heading;
    QTreeWidget* m_list;
    QLabel* m_scale; // how a score reads, and why no war is advised
    QTimer m_timer;
};

// Adds 助言 (key A) to menu: it opens the advice window, made on first use as a tool
// window of parent, for the country whose turn it is; enabled at the player's turn.
QAction* AddAdviceCommand(QMenu& menu, CKivView& view, QWidget& parent);
