// SPDX-License-Identifier: GPL-3.0-or-later
// The world of one game as a value, and the fixed tables beside it: ruler names, ruler
// colours and the map's key colours. A copy of a world is a fork of the game: played on
// with the same clock readings, it goes exactly where the original goes.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "model/country.h"
#include "model/shared_int.h"
#include "platform/clock.h"
#include "platform/random.h"

constexpr int kCountryCount = 14;
constexpr int kRulerCount = 16; // including 0, no ruler

// Index 0..15 into the ruler tables; 0 is no ruler.
using RulerId = std::int32_t;

// How strongly the computer rulers play. They never cheat: the same figures, the same
// knowledge; only their choices differ. Normal is the game as it has always been;
// Master looks ahead (rules/difficulty.h).
enum class Difficulty : std::uint8_t { Easy, Normal, Hard, Master };
// How many there are: the levels are 0 up to one below it.
inline constexpr int kDifficultyLevels = 4;

// Who plays a ruler: the computer (at the game's difficulty or a level of his own), a
// person at the screen (several take turns at one screen), the advisor, which gives its
// best command at his turns, or a person playing from another machine. What each kind
// does at a turn is its seat class's (conduct/seat_role.h); the rules ask a seat only
// whether the turn stops at its ruler's countries (Plays).
enum class SeatKind : std::uint8_t { Computer, Person, Advisor, Remote };

struct Seat {
    SeatKind kind = SeatKind::Computer;
    // A computer's own level; none: the game's difficulty. (Kept for any seat, used
    // only while the computer plays it.)
    std::optional<Difficulty> level;

    static constexpr Seat Computer(std::optional<Difficulty> level = std::nullopt) { return {SeatKind::Computer, level}; }
    static constexpr Seat Person() { return {SeatKind::Person, std::nullopt}; }
    static constexpr Seat Advisor() { return {SeatKind::Advisor, std::nullopt}; }
    static constexpr Seat Remote() { return {SeatKind::Remote, std::nullopt}; }

    // The turn stops at his countries for a command from outside the rules: every seat
    // but the computer's.
    constexpr bool Plays() const { return kind != SeatKind::Computer; }

    bool operator==(const Seat&) const = default;
};

// A seat for each ruler, by RulerId (0, no ruler, has none that counts).
using Seats = std::array<Seat, 16>;

// A colour as 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue)
{
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) | (static_cast<Colour>(blue) << 16);
}
constexpr int ColourRed(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int ColourGreen(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int ColourBlue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// Personal names of the rulers (UTF-8); index 0 is "no ruler".
extern const std::array<std::string_view, kRulerCount> kRulerNames;

// The colour each ruler's countries take on the map. Father and son share a colour.
constexpr std::array<Colour, kRulerCount> kRulerColours = {
    0x00FFFFFF, 0x0000FF00, 0x00FF8080, 0x000000FF, 0x0000FFFF, 0x00FFC0C0, 0x00FFFF00, 0x00A0A0FF,
    0x0000C000, 0x00FF00FF, 0x00A0A000, 0x00C000C0, 0x0000C0C0, 0x00C0C0C0, 0x00A0A000, 0x000000FF,
};

// The colour in which the map picture paints the area of each country.
constexpr std::array<Colour, kCountryCount> kRegionKeyColours = {
    0x00868686, 0x00000080, 0x00008080, 0x00008000, 0x00808000, 0x00800000, 0x00800080,
    0x00339999, 0x00333300, 0x00FF9900, 0x00993300, 0x00FF0066, 0x00003399, 0x00FFFFCC,
};

class RulerInfo {
public:
    std::string GetName() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    RulerInfo() = default;
    RulerInfo(const RulerInfo& other) : m_name(other.m_name), m_colour(other.GetColour()) {}
    RulerInfo& operator=(const RulerInfo& other)
    {
        m_name = other.m_name;
        SetColour(other.GetColour());
        return *this;
    }

    Colour GetColour() const { return m_colour.load(std::memory_order_relaxed); }
    void SetColour(Colour colour) { m_colour.store(colour, std::memory_order_relaxed); }

private:
    std::string m_name; // UTF-8
    std::atomic<Colour> m_colour{0};
};

// Everything a game is. The interface thread reads the figures while the turn worker
// writes them (each figure is a relaxed atomic); copying or assigning a whole world is
// done only while no worker plays it.
struct GameState {
    std::array<Country, kCountryCount> countries;
    std::array<RulerInfo, kRulerCount> rulers;
    SharedInt playerRuler{1}; // the ruler the player plays
    SharedInt turnCountry{-1}; // turn cursor, -1 = before country 0
    SharedInt year{0};
    SharedInt month{0};
    // The game's two generators: the computer's turns and the battles they fight draw
    // from the first, the player's own commands and battles from the second. Each is
    // seeded from the clock where the game has always seeded it, so the same clock
    // readings give the same draws; two games never share a draw.
    platform::Random random;
    platform::Random commandRandom;
    // The clock the generators are seeded from.
    platform::GameClock clock;
    // Chosen when the game starts; not in the country file (kept beside a save). The
    // level of every computer ruler without a level of its own.
    Difficulty difficulty = Difficulty::Normal;
    // Who plays each ruler; not in the country file (kept beside a save when more than
    // its player ruler plays, or a computer ruler has a level of its own). Changed only
    // while no worker plays the world. playerRuler, the first player, sits as a person
    // (or the advisor) unless the game is watched, with nobody playing.
    Seats seats{};

    static bool IsCountryIndex(std::int32_t index) { return index >= 0 && index < kCountryCount; }
    static bool IsRulerId(std::int32_t id) { return id >= 0 && id < kRulerCount; }

    // Whether ruler is played from outside the rules (a person, the advisor), so that
    // the turn stops at his countries; never ruler 0.
    bool IsPlayer(RulerId ruler) const
    {
        return ruler > 0 && ruler < kRulerCount && seats[static_cast<std::size_t>(ruler)].Plays();
    }
    // The level ruler plays at while the computer plays him.
    Difficulty LevelOf(RulerId ruler) const
    {
        return IsRulerId(ruler) ? seats[static_cast<std::size_t>(ruler)].level.value_or(difficulty) : difficulty;
    }
};

static_assert(std::tuple_size_v<Seats> == kRulerCount);

// The seats of a game of one person: ruler (1..15) a person, every other ruler the
// computer at the game's difficulty. Ruler 0 seats nobody.
Seats OnePersonSeats(RulerId ruler);
// The game of one person: ruler the player ruler and the only player (OnePersonSeats).
void SeatPlayer(GameState& world, RulerId ruler);
// A game of several: players (each 1..15, none twice; the first the player ruler) sit
// as persons, every other ruler at the computer keeping his level. Empty: nobody
// plays (the game is watched; the player ruler stays as it is). False, the seats as
// they were, for a ruler out of range or named twice.
bool SeatPlayers(GameState& world, const std::vector<RulerId>& players);
// The players, the player ruler first, then by RulerId.
std::vector<RulerId> Players(const GameState& world);
// Whether the seats are those of SeatPlayer(world, world.playerRuler) with no computer
// at a level of its own: what a country file alone gives back.
bool SeatsAreOnePlayers(const GameState& world);
// The seats as one word, a character for each ruler 1..15: 'p' a person, 'a' the
// advisor, 'r' a person at another machine, '-' the computer at the game's difficulty, '0', '1', ... the computer at
// that level (a player's own level is not kept). What a save keeps beside it and a
// record of a game of several.
std::string SeatsWord(const Seats& seats);
// The seats a word gives; none for a word that is no such word.
std::optional<Seats> ParseSeatsWord(std::string_view word);
// One seat's character of the word, and the seat a character gives (none: no seat's).
char SeatLetter(const Seat& seat);
std::optional<Seat> SeatOfLetter(char letter);
// A seat said as simply as it can be: without a level the same as the game's
// difficulty, or a player's.
Seat SimplestSeat(Seat seat, Difficulty difficulty);
// The seats said as simply as they can be: when every computer ruler has a level of
// his own and all are the same, that level becomes the game's difficulty; a level the
// same as the game's difficulty, or a player's, goes. Plays the same game.
void SimplifySeats(GameState& world);

// Fills the world's ruler table with the fixed names and colours.
void BuildRulerTable(GameState& world);

// A country's name as text to show (the name is stored as Shift-JIS bytes).
std::string CountryNameUtf8(const GameState& world, int country);
