// SPDX-License-Identifier: GPL-3.0-or-later
// 推移: the countries each ruler held, month by month, one line in his colour, drawn
// with Qt Charts from the chronicle's events (or a game's summary). Its context menu saves it as PNG.
#pragma once

#include <QtCharts/QChartView>

#include <array>
#include <cstddef>

#include "model/game_state.h"
#include "rules/standings.h"

class ChronicleLog;
class QLineSeries;
class QAction;
class QValueAxis;

class HoldingsChart : public QChartView {
    Q_OBJECT

public:
    explicit HoldingsChart(const ChronicleLog& log, QWidget* parent = nullptr);
    // The chart of a history that no longer grows (a game that has ended).
    explicit HoldingsChart(const HoldingsHistory& history, QWidget* parent = nullptr);

    // Follows the log.
    void OnEventsAdded(std::size_t first, std::size_t end);
    void OnCleared();

    const HoldingsHistory& History() const { return m_history; }
    // The line of a ruler; nullptr when he never held a country in the chart.
    QLineSeries* Series(RulerId ruler) const { return m_series[static_cast<std::size_t>(ruler)]; }

    // The chart as a PNG file; false when it cannot be written.
    bool SavePng(const QString& path);
    // Asks where and saves there (the context menu's item).
    void OnSaveAs();

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();
    // The chart draws its texts in fonts of its own: they take the view's, so that they
    // follow the zoom as every window's text does.
    void FollowFont();
    // Adds the points from index on to the lines.
    void Plot(std::size_t fromPoint);
    static double X(const HoldingsHistory::Point& p);
    // The year axis for points from year first to year last, and its ticks.
    void SetYearRange(double first, double last);

    static constexpr int kMaxYearTicks = 12;

    // Sets up the chart's axes and its menu.
    void SetUp();

    const ChronicleLog* m_log = nullptr; // the log it follows, if any
    HoldingsHistory m_history;
    std::size_t m_plotted = 0; // points of the history already on the lines
    std::array<QLineSeries*, kRulerCount> m_series{};
    std::array<bool, kRulerCount> m_ended{}; // his line has reached 0
    QAction* m_saveAction = nullptr;
    QValueAxis* m_x = nullptr;
    QValueAxis* m_y = nullptr;
};
