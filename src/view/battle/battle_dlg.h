// SPDX-License-Identifier: GPL-3.0-or-later
// The battle window: the two sides face to face, their lines and soldier counts, while
// the battle script fights the battle on a timer.
#pragma once

#include <QBasicTimer>
#include <QPixmap>
#include <QStringList>

#include <array>

#include "platform/template_dialog.h"
#include "rules/battle.h"

class QLabel;

class CBattleDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    explicit CBattleDlg(BattleScript& script, QWidget* owner = nullptr);
    ~CBattleDlg() override;

    // Time between two steps of the script (tests shorten it).
    void SetStepInterval(int milliseconds) { m_stepMs = milliseconds; }
    int StepInterval() const { return m_stepMs; }

    // Closes the window without fighting on: the program is ending.
    void Abandon();
    bool Abandoned() const { return m_abandoned; }

    // The counts as the window paints them ("%6d").
    static QString CountText(int soldiers);
    // A side's training as the line under its count shows it.
    static QString TrainingText(int training);

    BattleScript& Script() { return m_script; }

    // Where a side's soldier count is painted (0 the attacker, 1 the defender).
    QRect CountRect(int side) const;

    // The battle has been fought to its end by a key and the window shows the final
    // counts until it closes.
    bool Holding() const { return m_holding; }

    // What the window showed, a line for each step that changed it: the soldiers and
    // the commanders' lines of both sides (a screen reader tells them on request).
    const QStringList& Rounds() const { return m_rounds; }

protected:
    void OnInitDialog() override;
    // Enter: the battle is fought to its end at once rather than decided unfought; the
    // final counts then stay a moment (one step, at most kBattleStepMs) before the
    // window closes, or until the next key or click.
    void OnOK() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void reject() override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void UpdateData(); // the script's members into the controls
    void FinishNow();
    int SideCount(int side) const;

    BattleScript& m_script;
    std::array<QPixmap, 2> m_portraits;
    QBasicTimer m_timer;
    int m_stepMs = BattleScript::kBattleStepMs;
    bool m_abandoned = false;
    bool m_holding = false;
    QStringList m_rounds;
    QLabel* m_attacker;
    QLabel* m_attackerName;
    QLabel* m_attackerRuler;
    QLabel* m_attackerLine;
    QLabel* m_target;
    QLabel* m_targetName;
    QLabel* m_targetRuler;
    QLabel* m_targetLine;
    std::array<QLabel*, 2> m_training; // "訓練 %d" under each side's count
    std::array<QLabel*, 2> m_pictures;
};
