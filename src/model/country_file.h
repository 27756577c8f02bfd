// SPDX-License-Identifier: GPL-3.0-or-later
// The country data file: the whole world of a game as text, four header lines and
// twelve lines for each of the fourteen countries. Starting worlds and saved games
// share the format.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/game_state.h"
#include "platform/message.h"

namespace platform {
class TextFileReader;
}

constexpr int kHeaderLines = 4;
constexpr int kLinesPerCountry = 12;
constexpr int kCountryFileLines = kHeaderLines + kLinesPerCountry * kCountryCount; // 172
// More neighbour entries than this cannot describe a map of fourteen countries.
constexpr int kMaxNeighbourEntries = 256;

// One country as the file holds it.
struct CountryRecord {
    std::string name; // the file's bytes
    std::vector<std::uint32_t> neighbours;
    std::int32_t ruler = 0;
    std::int32_t population = 0;
    std::int32_t cultivation = 0;
    std::int32_t commerce = 0;
    std::int32_t soldiers = 0;
    std::int32_t training = 0;
    std::int32_t provisions = 0;
    std::int32_t funds = 0;
    std::int32_t mapX = 0;
    std::int32_t mapY = 0;

    bool operator==(const CountryRecord&) const = default;
};

// A world as a file holds it: the figures a save keeps, or a snapshot of a GameState.
struct WorldRecord {
    std::int32_t playerRuler = 0;
    std::int32_t turnCountry = 0;
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::array<CountryRecord, kCountryCount> countries;

    bool operator==(const WorldRecord&) const = default;
};

// Where and why a file was refused, in words for the player.
struct FileProblem {
    int line = 0; // 1-based; 0 when the problem is not a line's
    platform::Message words;
};

// What a country file is loaded as. A new game sets the player's ruler and the cursor
// itself, so a starting world's header may name no player (ruler 0); a saved game
// plays the ruler on its first line, which must be one.
enum class CountryFileUse { StartingWorld, SavedGame };

// Reads a country file's lines into world. Returns false with the first line whose
// value lies outside what the game can hold, or when the file ends before its last
// line (a last line without its line end counts); world is then unspecified. Lines
// after the last are not read.
bool ParseCountryFile(platform::TextFileReader& reader, WorldRecord& world, FileProblem* problem,
                      CountryFileUse use);

enum class LoadStatus { Loaded, NotFound, Refused };

struct LoadOutcome {
    LoadStatus status = LoadStatus::NotFound;
    platform::Message words; // for the player; empty when loaded
};

// Replaces the world's countries, player, cursor and date with a country file's
// contents. The file is read and checked in full first: on any failure the world is
// left exactly as it was. A file that cannot be read is NotFound, with the path and
// the reason after the first line.
LoadOutcome LoadCountryFile(GameState& world, const std::string& path, CountryFileUse use = CountryFileUse::SavedGame);

// Reads and checks a country file as LoadCountryFile does, into record alone; record
// is unspecified unless Loaded.
LoadOutcome ReadCountryRecord(const std::string& path, WorldRecord& record, CountryFileUse use);

// The same for a file's contents already in memory; name stands for the file in the
// message. Never NotFound.
LoadOutcome LoadCountryText(GameState& world, std::string text, const std::string& name,
                            CountryFileUse use = CountryFileUse::SavedGame);

// Writes the world to path with turnCursor as the stored cursor. The previous file
// stays intact unless the new one has been written completely.
bool SaveCountryFile(const GameState& world, const std::string& path, std::int32_t turnCursor, std::string* error);

// "1,3,12": the list as the file stores it; an empty list gives an empty text.
std::string JoinNeighbourIds(const std::vector<std::uint32_t>& ids);

WorldRecord CaptureWorld(const GameState& world, std::int32_t turnCursor);
// The record's figures into the world, its player ruler seated as the one player
// (SeatPlayer): what a file says of who plays.
void ApplyWorld(GameState& world, const WorldRecord& record);
std::vector<std::string> FormatCountryFile(const WorldRecord& world);
bool WriteCountryFile(const std::string& path, const WorldRecord& world, std::string* error);

// "<directory>/country<n>.txt" and "<directory>/scenario<n>.txt", n = 1..3.
std::string CountryFilePath(const std::string& directory, int number);
std::string ScenarioFilePath(const std::string& directory, int number);

// The first line of the message for a file that cannot be opened.
inline constexpr const char* kDataFileNotFound = VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが見つかりません");
