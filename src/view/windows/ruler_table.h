// SPDX-License-Identifier: GPL-3.0-or-later
// 勢力: every ruler still in the game with his colour, countries, soldiers, provisions
// and funds, and who plays him (a player, or the computer at its level); the players'
// rows marked, most countries first.
#pragma once

#include <QTableWidget>

#include "model/game_state.h"

class RulerTable : public QTableWidget {
    Q_OBJECT

public:
    // The column that says who plays each ruler.
    static constexpr int kSeatColumn = 5;

    explicit RulerTable(const GameState& world, QWidget* parent = nullptr);

    // Reads the world again.
    void Refresh();

    // Each ruler's swatch with the pattern the map lays over his countries (off: his
    // colour alone).
    void SetPatterns(bool on);
    bool Patterns() const { return m_patterns; }

protected:
    void changeEvent(QEvent* event) override;

private:
    static QStringList Columns();

    const GameState& m_world;
    bool m_patterns = false;
};
