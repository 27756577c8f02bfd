// SPDX-License-Identifier: GPL-3.0-or-later
// 戦績: the window shown when a game ends, with how it ended, the game's figures, the
// 推移 chart of the countries each ruler held, and the score. It only shows.
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

#include "session/game_summary.h"

class QLabel;
class QFormLayout;

namespace summary {
// The words of the figures, in the language in use.
QString DifficultyName(Difficulty difficulty);
// The computers' level, or their levels when they play at several ("易しい・難しい").
QString LevelsName(Difficulty difficulty, std::uint8_t levels);
// The levels of the computer rulers who hold a country (in held when given, one count
// for each ruler; else in the world now), one bit for each (LevelBit).
std::uint8_t ComputerLevels(const GameState& world, const std::array<std::int8_t, kRulerCount>* held = nullptr);
QString EndName(GameEnd end);
// The scenario that begins in year, by its caption; the year alone for another.
QString ScenarioName(std::int32_t year);
QString YearMonth(std::int32_t year, std::int32_t month);
} // namespace summary

class GameSummaryWindow : public QDialog {
    Q_OBJECT

public:
    // rank: the game's place among its scenario's best (0 the best), -1 when it is not
    // among them. A game nobody played (watched) is told without a score, as the story
    // of the ruler summary follows.
    enum class Kind { Played, Watched };
    GameSummaryWindow(const GameSummary& summary, int rank, QWidget* parent = nullptr, Kind kind = Kind::Played);

    const GameFigures& Figures() const { return m_figures; }
    // The game was begun on the 乱世 of seed: the scenario's line names it.
    void SetRandomSeed(std::optional<std::uint32_t> seed);
    // The figures' lines as shown, label and value (tests and screenshots read them).
    QStringList Lines() const;

    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retranslate();

    GameFigures m_figures;
    std::int64_t m_score;
    int m_rank;
    std::optional<std::uint32_t> m_seed;
    Kind m_kind;
    QLabel* m_banner;
    QFormLayout* m_form;
};
