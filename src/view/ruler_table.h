// 勢力: every ruler still in the game with his colour, countries, soldiers, provisions
// and funds, the player's row marked, most countries first.
#pragma once

#include <QTableWidget>

class CRulerTable : public QTableWidget {
    Q_OBJECT

public:
    explicit CRulerTable(QWidget* parent = nullptr);

    // Reads the world again.
    void Refresh();
};
