// SPDX-License-Identifier: GPL-3.0-or-later
// 自国一覧: the player's own countries in one table beside the map, with the figures
// the status panel shows, the country whose turn it is marked, and what each could do
// at its turn as things stand (war, or why not, by the commands' own tests; the other
// commands that would act). A click on a row, or Enter, shows that country in the
// status panel. It follows the game as it goes; it changes nothing of the game.
#pragma once

#include <QWidget>

#include "model/game_state.h"

class CKivView;
class QTableWidget;
class QTimer;

class OwnCountriesWindow : public QWidget {
    Q_OBJECT

public:
    // A window of its own beside parent, listing the countries of view's player.
    OwnCountriesWindow(CKivView& view, QWidget* parent);

    // Fills the table from the world as it stands; a window shown grows to show every
    // column whole, within its screen.
    void Refresh();
    // Opens the window, sized to its table, where a tool window of the game opens.
    void Open();
    QTableWidget& Table() const { return *m_table; }
    // The country of a row, -1 for none.
    int CountryOf(int row) const;
    // The row of the country whose turn it is, -1 when none of the player's has it.
    int TurnRow() const;

signals:
    // The window was closed or opened by the player.
    void visibilityChanged(bool shown);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Retranslate();
    // The status panel shows the country of row.
    void PointAt(int row);

    CKivView& m_view;
    QTableWidget* m_table;
    QTimer* m_follow; // reads the world again while the computer plays
    RulerId m_player = 0; // whose countries are listed
    // The size that shows every column and a good many rows.
    QSize ContentsSize() const;
};
