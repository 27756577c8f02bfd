// SPDX-License-Identifier: GPL-3.0-or-later
// The second step of a new game: the rulers the scenario offers, each a portrait with
// a name button beneath it; the player picks the ruler to play.
#pragma once

#include <QPixmap>

#include <array>
#include <optional>

#include "model/game_state.h"
#include "model/scenario_file.h"
#include "dialogs/seats_dialog.h"
#include "platform/template_dialog.h"

class QButtonGroup;
class QLabel;
class QPushButton;

class CRulerDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    explicit CRulerDlg(QWidget* owner = nullptr);

    std::array<QPixmap, kRulerSlotCount> m_portraits;
    int m_nScenario = 0;                             // 0..2, set by the caller
    std::array<RulerId, kRulerSlotCount> m_rulerIds{}; // the ruler of each filled slot
    QString m_strDataDir;                            // set by the caller
    int m_nRuler = -1;                               // the checked slot, -1 = none

    // How many slots the scenario file filled.
    int SlotCount() const { return m_slotCount; }
    // The name of the ruler a slot offers, as its button shows it.
    QString RulerName(RulerId ruler) const;

    // The computers' level a new game starts at (the 難易度 menu's), set by the caller.
    Difficulty level = Difficulty::Normal;
    // A networked game: 対戦設定 offers ﾈｯﾄﾜｰｸ seats and is where OK leads.
    bool networked = false;
    // Who plays, when the game was started from 対戦設定; none when one person plays the
    // ruler checked (選択).
    const std::optional<SeatChoice>& SeatsChosen() const { return m_seats; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void DoDataExchange(bool saveAndValidate);
    // 対戦設定: the seats of every ruler offered; the game starts when they are chosen.
    void ChooseSeats();

    std::array<QLabel*, kRulerSlotCount> m_portraitControls{};
    std::array<QPushButton*, kRulerSlotCount> m_nameButtons{};
    QButtonGroup* m_group;
    int m_slotCount = 0;
    std::optional<SeatChoice> m_seats;
};
