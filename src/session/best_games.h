// SPDX-License-Identifier: GPL-3.0-or-later
// 記録: the best games played on this machine, the twenty highest scores of each
// scenario, kept in one small text file. The file is read whole or refused whole (a
// table cut short or garbled is never taken for a shorter one), and written whole
// beside itself and renamed over the old one, so that a write cut off at any point
// leaves the previous table as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/message.h"
#include "session/game_record.h"
#include "session/game_summary.h"

struct BestGame {
    std::int32_t scenario = 0; // the year the scenario begins (189, 200, 219)
    std::int64_t endedAt = 0;  // when the game ended, seconds since 1970 (UTC)
    RulerId ruler = 0;
    Difficulty difficulty = Difficulty::Normal;
    std::uint8_t levels = 0; // the computers' levels when several (GameFigures::levels)
    int months = 0;
    GameEnd end = GameEnd::Playing;
    std::int64_t score = 0;
    // The game's record, a file name in the table's folder; empty when there is none.
    std::string recordFile;

    bool operator==(const BestGame&) const = default;
};

// The entry a finished game makes, from its figures.
BestGame MakeBestGame(const GameFigures& figures, std::int64_t endedAt, std::string recordFile = {});

class BestGames {
public:
    static constexpr std::size_t kKeptPerScenario = 20;

    enum class ReadStatus { Read, Missing, Refused };

    // The entries, by scenario (ascending), then best first.
    const std::vector<BestGame>& Entries() const { return m_entries; }
    // The entries of one scenario, best first.
    std::vector<BestGame> OfScenario(std::int32_t scenario) const;

    // Enters a game: its place among its scenario's (0 the best), or -1 when it is not
    // among the best and is not kept. An equal score ranks below those before it.
    int Insert(const BestGame& game);

    // The table as its file holds it, and back.
    std::string Format() const;
    // Replaces the table with the text's; false, the table unchanged and the reason
    // in error, when the text is not a whole table.
    bool Parse(const std::string& text, platform::Message* error);

    // Reads the file at path: Missing (and an empty table) when there is none;
    // Refused, with the reason and the table unchanged, when it cannot be read whole.
    ReadStatus Load(const std::string& path, platform::Message* error);
    // Writes the table to path atomically; false and the reason on failure, the file
    // as it was.
    bool Save(const std::string& path, std::string* error) const;

private:
    std::vector<BestGame> m_entries;
};

// Enters a finished game in games (the table as read from tablePath) and, when it is
// kept, writes its record at recordPath, beside the table, and then the table: the
// record first, so that the table names no record that is not there, and taken back
// when the table cannot be written, so that no record is left that no table names.
// Its place (0 the best); -1 when it is not kept, or, with the reason in error, when it
// could not be written (the table as it was).
int KeepBestGame(BestGames& games, const BestGame& game, const RecordedGame& record, const std::string& tablePath,
                 const std::string& recordPath, std::string* error);
