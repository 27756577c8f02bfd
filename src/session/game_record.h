// SPDX-License-Identifier: GPL-3.0-or-later
// The record of a game: the world it started from, every reading of the clock its
// generators were seeded from, and every command of the player in the order given.
// The engine is deterministic given these, so a record plays the game again exactly
// (session/game_replay.h). Kept as a file beside each save (NAME.record) and written
// by --record; the format is in docs/replay-format.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/game_state.h"
#include "platform/clock.h"
#include "platform/message.h"
#include "session/game_session.h"
#include "session/player_command.h"

// Where a game began: a new game on a starting world (its country file as the game's
// writer gives it back, and the ruler chosen), or a saved game loaded (the save's
// bytes). The generators' states, the difficulty and the seats are the world's at that
// moment; readingIndex is the first of the record's readings this beginning's play
// takes.
struct RecordStart {
    bool loaded = false;
    std::string world;
    RulerId ruler = 0;
    // Who played each ruler, when more than ruler alone did or a computer had a level of
    // its own (none: ruler the one player, SeatPlayer).
    std::optional<Seats> seats;
    Difficulty difficulty = Difficulty::Normal;
    std::uint32_t random = 1;
    std::uint32_t commandRandom = 1;
    std::size_t readingIndex = 0;

    bool operator==(const RecordStart&) const = default;
};

// One step of a record: a beginning (the first step always; later ones where a save
// with its record was loaded), a command of the player whose turn it was (the ruler
// of the command's country; a rest ends the turn of whoever's it was), or a seat
// changing hands where the game stood still.
using RecordStep = std::variant<RecordStart, PlayerCommand, SeatChange>;

// The save a record was written beside: its bytes' CRC-32 and size, and the turn
// cursor it stored.
struct RecordTie {
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    std::int32_t cursor = 0;

    bool operator==(const RecordTie&) const = default;
};

struct RecordedGame {
    std::vector<std::int64_t> readings;
    std::vector<RecordStep> steps;
    std::optional<RecordTie> tie;

    bool Empty() const { return steps.empty(); }
    bool operator==(const RecordedGame&) const;
};

// The turns of the player a record reaches: one after each start and each rest.
std::size_t PlayerTurnsOf(const RecordedGame& record);

// CRC-32 (the polynomial of zlib and PNG) of bytes.
std::uint32_t Crc32(std::string_view bytes);

// The record as its file holds it.
std::string RecordText(const RecordedGame& record);
// The record a file's text holds; nullopt, with the reason for the player, when the text
// is not a whole record of this version with its checksum right.
std::optional<RecordedGame> ParseRecord(const std::string& text, platform::Message* why);

// The line of the record's file at which its step of this index begins (1 the first
// line), and the words refusing a record damaged there.
int RecordStepLine(const RecordedGame& record, std::size_t step);
platform::Message RecordDamagedAt(int line);

// NAME -> NAME.record, the record kept beside a saved game.
std::string RecordFileName(const std::string& savePath);

// The tie to the save whose bytes are saveBytes, stored with cursor.
RecordTie TieTo(const std::string& saveBytes, std::int32_t cursor);

// Writes the record atomically; false with the reason on failure.
bool WriteRecordFile(const std::string& path, const RecordedGame& record, std::string* error);
// Reads a record file: nullopt with the reason (the file could not be read, or is no
// whole record). When saveBytes is given, a record not tied to exactly that save is
// refused too: it belongs to another game.
std::optional<RecordedGame> ReadRecordFile(const std::string& path, platform::Message* why,
                                         const std::string* saveBytes = nullptr);

// Records a game as a session plays it: hears the session's beginnings and the player's
// commands (a SessionObserver) and the readings of the world's clock (on whichever
// thread reads it). Thread-safe; copies of the record are taken while it records.
class GameRecorder final : public SessionObserver, public platform::ClockListener {
public:
    GameRecorder() = default;
    GameRecorder(const GameRecorder&) = delete;
    GameRecorder& operator=(const GameRecorder&) = delete;
    ~GameRecorder() = default;

    // Hears the session and its world's clock from now on.
    void Attach(GameSession& session)
    {
        session.SetObserver(this);
        session.world.clock.Listen(this);
    }

    // A game begins on world (before its start is reported). A new game, or a save loaded
    // without a record to go on from, begins a record of its own; after ContinueFrom the
    // next beginning is added to the record given.
    void GameBegun(const GameState& world, bool loaded) override;
    void ContinueFrom(RecordedGame record);
    void CommandGiven(const PlayerCommand& command) override;
    void SeatChanged(const SeatChange& change) override;
    void ClockRead(std::int64_t seconds) override;

    // The record so far (without a tie).
    RecordedGame Record() const;
    // PlayerTurnsOf the record so far, without copying it.
    std::size_t PlayerTurns() const;
    // Replaces the record (a branch: its later part dropped).
    void Replace(RecordedGame record);

private:
    mutable std::mutex m_mutex;
    RecordedGame m_record;
    bool m_continue = false;
};
