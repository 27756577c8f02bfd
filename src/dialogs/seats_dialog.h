// SPDX-License-Identifier: GPL-3.0-or-later
// 対戦設定, reached from the ruler dialog: who plays each ruler the scenario offers. Up
// to four people take a ruler each and play in turn at one screen; every other ruler
// is the computer, each at a level of his own (the 難易度 menu's at first, or as last
// chosen, which the settings keep). Nobody playing: the computers play the game
// through while the people watch. It opens beside the ruler dialog, clear of its
// buttons.
#pragma once

#include <QString>

#include <vector>

#include "conduct/seat_role.h"
#include "model/game_state.h"
#include "model/scenario_file.h"
#include "platform/template_dialog.h"

class QComboBox;
class QLabel;

// Who plays a new game: every ruler's seat, and the first player (the ruler a save of
// the game names; with nobody playing, the ruler chosen in the ruler dialog).
struct SeatChoice {
    Seats seats{};
    RulerId first = 0;
};

class SeatsDialog : public platform::TemplateDialog {
    Q_OBJECT

public:
    static constexpr int kMostPersons = kMostScreenPersons;
    // The rulers the scenario offers, with their names as shown.
    struct Offered {
        RulerId ruler = 0;
        QString name;
    };

    // chosen: the ruler checked in the ruler dialog (a person at first; 0 for none);
    // level: the computers' level at first.
    SeatsDialog(std::vector<Offered> rulers, RulerId chosen, Difficulty level, QWidget* owner = nullptr);
    // For a networked game: each field offers ﾈｯﾄﾜｰｸ (a person at another machine) after
    // the levels, and the fields are neither recalled from nor kept in the settings.
    void OfferRemoteSeats();

    // After OK: the seats chosen. A computer at the level given keeps no level of his
    // own, so that the game's difficulty stays his.
    SeatChoice Choice() const;
    // How many people play as the fields stand.
    int Persons() const;
    // The field of the ruler in place i of the list (a person, then the four levels).
    QComboBox* Field(int i) const { return m_fields[static_cast<std::size_t>(i)]; }
    // The field's place of a person, and of the computer at level.
    static int PersonPlace() { return 0; }
    static int LevelPlace(Difficulty level) { return 1 + static_cast<int>(level); }
    static int RemotePlace() { return 1 + kDifficultyLevels; }
    // Who plays ruler in world, as the fields name it ("ﾌﾟﾚｲﾔｰ", "COM 難しい").
    static QString SeatName(const GameState& world, RulerId ruler);
    // A seat so named, a computer without a level of his own at difficulty's.
    static QString SeatName(const Seat& seat, Difficulty difficulty);

protected:
    void OnOK() override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowCount();
    // The fields as the seats were last chosen (the settings), where that choice
    // names a ruler offered; and the choice kept for the next time.
    void Recall();
    void Remember() const;

    std::vector<Offered> m_rulers;
    std::vector<QComboBox*> m_fields;
    RulerId m_chosen;
    Difficulty m_level;
    QLabel* m_count;
    bool m_remote = false;
};
