// SPDX-License-Identifier: GPL-3.0-or-later
// 記録: the best games played on this machine, one scenario at a time, with the date,
// the ruler, the difficulty, the months, how the game ended and the score. A game with
// a record can be watched again.
#pragma once

#include <QDialog>

#include "session/best_games.h"

class QComboBox;
class QPushButton;
class QTableWidget;

class BestGamesWindow : public QDialog {
    Q_OBJECT

public:
    explicit BestGamesWindow(QWidget* parent = nullptr);

    // Shows these games; the scenario chosen stays when it still has games.
    void SetGames(const BestGames& games);
    QTableWidget* Table() const { return m_table; }
    QPushButton* WatchButton() const { return m_watch; }

signals:
    // The player asks to watch a game again: its record's file name.
    void watchRequested(const QString& recordFile);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();
    void Fill();
    void UpdateWatch();

    BestGames m_games;
    QComboBox* m_scenario;
    QTableWidget* m_table;
    QPushButton* m_watch;
    std::vector<BestGame> m_shown; // the rows of the table
};
