// SPDX-License-Identifier: GPL-3.0-or-later
// The events in the game's words, for the chronicle and the turn report: every text
// the chronicle shows is made here.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

#include "rules/events.h"

namespace chronicle {

// "190 年 3 月"
QString MonthHeading(int year, int month);

// One line for an event: "袁紹 が 冀州 から 青州 に攻め込み、占領しました",
// "孫権 は滅亡しました". Empty for the kinds the list does not show (month, capture:
// a capture is told by the battle that made it).
// A new game's start names the seed of the 乱世 it was begun on, when it was one.
QString EventText(const GameState& world, const GameEvent& event, std::optional<std::uint32_t> seed = std::nullopt);

// "曹操 は 青州 を占領しました": a capture told on its own.
QString CaptureText(const GameState& world, const GameEvent& capture);

// The lines of the turn report for the events that are report items.
QStringList ReportLines(const QStringList& texts);

// Captions of the chronicle window.
struct Captions {
    static QString Window();        // 戦況記録
    static QString RecordTab();     // 記録
    static QString ChartTab();      // 推移
    static QString StandingsTab();  // 勢力
    static QString FilterAll();
    static QString FilterWar();
    static QString FilterMine();
    static QString ReportTitle();   // 戦況報告
    static QString ReportHeading(); // what the report is about
    static QString ReportShowNext();
    static QString SaveChart();
    static QString ChartSaveTitle();
    static QString ChartSaveFailed();
    static QString ChronicleSaveFailed();
    // Status line: a chronicle beside a save was not taken (%1 the reason); the
    // oldest events were cut (%1 how many went, %2 the most kept).
    static QString ChronicleSetAside();
    static QString ChronicleCut();
    static QStringList StandingsColumns();
    static QString PlayerMark();
    static QString ChartAxisYear();
    static QString ChartAxisCountries();
};

} // namespace chronicle
