// SPDX-License-Identifier: GPL-3.0-or-later
// 戦況記録: the chronicle window, beside the main window and not modal. Three tabs:
// 記録, the events by month with a filter; 推移, the chart of countries held; 勢力, the
// table of rulers.
#pragma once

#include <QWidget>

#include <cstddef>

#include "view/windows/chronicle_model.h"

class ChronicleLog;
class HoldingsChart;
class RulerTable;
class QComboBox;
class QListView;
class QTabWidget;

class ChronicleWindow : public QWidget {
    Q_OBJECT

public:
    explicit ChronicleWindow(ChronicleLog& log, QWidget* parent = nullptr);

    ChronicleModel& Model() { return *m_model; }
    QListView* List() const { return m_list; }
    QComboBox* FilterBox() const { return m_filter; }
    QTabWidget* Tabs() const { return m_tabs; }
    HoldingsChart* Chart() const { return m_chart; }
    RulerTable* Standings() const { return m_table; }

    // The ruler table reads the world again.
    void RefreshStandings();

    // The player's turn a row tells of (a command, a move or a war of his): its date and
    // country. False for any other row.
    bool PlayerTurnAt(int row, int& year, int& month, int& country) const;
    // The list's menu for a row: この時点から再開 on a turn of the player's.
    void ShowRowMenu(int row, const QPoint& globalPos);

signals:
    void visibilityChanged(bool visible);
    // この時点から再開: back to the start of the player's turn of that date and country.
    void resumeRequested(int year, int month, int country);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();
    void OnEventsAdded(std::size_t first, std::size_t end);
    void OnCleared();

    ChronicleLog& m_log;
    ChronicleModel* m_model;
    QTabWidget* m_tabs;
    QComboBox* m_filter;
    QListView* m_list;
    HoldingsChart* m_chart;
    RulerTable* m_table;
};
