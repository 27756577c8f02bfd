// SPDX-License-Identifier: GPL-3.0-or-later
// The story of one game in figures, gathered from its events: when it began, whom the
// player played, how long he lasted, the battles he fought and how they ended, the
// countries he took and lost, the most he held and when, the countries each ruler held
// month by month, how the game ended, and the score. It changes nothing of the game.
#pragma once

#include <cstdint>

#include "model/game_state.h"
#include "rules/events.h"
#include "rules/standings.h"

enum class GameEnd : std::uint8_t {
    Playing,  // the game goes on (or was left)
    Unified,  // the player holds every country
    Defeated, // the player holds no country
};

struct GameFigures {
    // When the game began: the scenario's first month. 0 when the beginning was not
    // heard (a saved game whose chronicle does not reach back to it).
    std::int32_t startYear = 0;
    std::int32_t startMonth = 0;
    RulerId ruler = 0;
    // The level the score is weighed at: the computers', the lowest when they play at
    // several.
    Difficulty difficulty = Difficulty::Normal;
    // The computers at several levels: one bit for each (1 << level); 0 when they all
    // played at difficulty.
    std::uint8_t levels = 0;
    int months = 0; // months the calendar moved on since the beginning
    // The player's battles: those he began, and those fought against him.
    int attacksWon = 0;
    int attacksLost = 0; // repelled, or withdrawn
    int defencesWon = 0;
    int defencesLost = 0;
    int countriesTaken = 0;
    int countriesLost = 0;
    int held = 0; // the player's countries now
    int mostHeld = 0;
    std::int32_t mostYear = 0; // when he first held that many
    std::int32_t mostMonth = 0;
    GameEnd end = GameEnd::Playing;
    std::int32_t endYear = 0; // the date of the last event heard
    std::int32_t endMonth = 0;

    bool operator==(const GameFigures&) const = default;
};

// The bit of a level in GameFigures::levels.
constexpr std::uint8_t LevelBit(Difficulty level) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(level)); }
// The lowest level of a set of them (Normal for none).
Difficulty LowestLevel(std::uint8_t levels);

// The score of a game:
//   100 for each country held at the end
// +  50 for each country at the most held
// +   1 for each month played, at most 600
// + 1000 for unifying China, and 2 more for each month under 600 it took
// then times 1 on Easy, 1.25 on Normal, 1.5 on Hard, 1.75 on Master (rounded down): the
// difficulty's, the lowest of the computers' when they played at several.
std::int64_t GameScore(const GameFigures& figures);

class GameSummary : public EventObserver {
public:
    // Forgets the game heard so far; the next events are those of a new one.
    void Clear();
    // The difficulty the game is played on (the events do not tell it).
    void SetDifficulty(Difficulty difficulty)
    {
        m_figures.difficulty = difficulty;
        m_figures.levels = 0;
    }
    // The levels the computers played at, one bit for each (LevelBit); none: the
    // difficulty as it was.
    void SetLevels(std::uint8_t levels);
    // Tells the story of ruler, one of several people playing, instead of the player
    // the game's start names: another's victory is his defeat, and his story ends with
    // the loss of his last country. 0: the start's player.
    void Follow(RulerId ruler) { m_follow = ruler; }

    void OnGameEvent(const GameEvent& event) override;

    const GameFigures& Figures() const { return m_figures; }
    std::int64_t Score() const { return GameScore(m_figures); }
    // The countries each ruler held, month by month, and a last point at the end.
    const HoldingsHistory& History() const { return m_history; }

private:
    void Count(const GameEvent& event);

    GameFigures m_figures;
    HoldingsHistory m_history;
    RulerId m_follow = 0;
};
