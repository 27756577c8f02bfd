// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/game_state.h"

#include "platform/sjis.h"

const std::array<std::string_view, kRulerCount> kRulerNames = {
    "非統治", "劉備", "曹操", "孫堅", "袁紹", "袁術", "劉表", "呂布",
    "馬騰", "董卓", "劉焉", "公孫瓚", "張魯", "陶謙", "劉璋", "孫権",
};

void BuildRulerTable(GameState& world)
{
    for (int i = 0; i < kRulerCount; ++i) {
        world.rulers[i].SetName(std::string(kRulerNames[i]));
        world.rulers[i].SetColour(kRulerColours[i]);
    }
}

std::string CountryNameUtf8(const GameState& world, int country)
{
    if (!GameState::IsCountryIndex(country))
        return {};
    return platform::SjisToUtf8(world.countries[country].GetName());
}

Seats OnePersonSeats(RulerId ruler)
{
    Seats seats{};
    if (ruler > 0 && ruler < kRulerCount)
        seats[static_cast<std::size_t>(ruler)] = Seat::Person();
    return seats;
}

void SeatPlayer(GameState& world, RulerId ruler)
{
    world.seats = OnePersonSeats(ruler);
    world.playerRuler = ruler;
}

bool SeatPlayers(GameState& world, const std::vector<RulerId>& players)
{
    Seats seats = world.seats;
    for (Seat& seat : seats)
        seat = Seat::Computer(seat.level);
    for (RulerId r : players) {
        if (r <= 0 || r >= kRulerCount || seats[static_cast<std::size_t>(r)].Plays())
            return false;
        seats[static_cast<std::size_t>(r)].kind = SeatKind::Person;
    }
    world.seats = seats;
    if (!players.empty())
        world.playerRuler = players.front();
    return true;
}

std::vector<RulerId> Players(const GameState& world)
{
    std::vector<RulerId> players;
    if (world.IsPlayer(world.playerRuler))
        players.push_back(world.playerRuler);
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (r != world.playerRuler && world.IsPlayer(r))
            players.push_back(r);
    return players;
}

bool SeatsAreOnePlayers(const GameState& world)
{
    for (RulerId r = 1; r < kRulerCount; ++r) {
        const Seat& seat = world.seats[static_cast<std::size_t>(r)];
        // The player ruler a person, every other ruler the computer at the game's level.
        const Seat one = r == world.playerRuler ? Seat{SeatKind::Person, seat.level} : Seat::Computer();
        if (seat != one)
            return false;
    }
    return true;
}

Seat SimplestSeat(Seat seat, Difficulty difficulty)
{
    if (seat.Plays() || seat.level == difficulty)
        seat.level.reset();
    return seat;
}

void SimplifySeats(GameState& world)
{
    std::optional<Difficulty> shared;
    bool allOwn = true;
    bool anyComputer = false;
    for (RulerId r = 1; r < kRulerCount; ++r) {
        const Seat& seat = world.seats[static_cast<std::size_t>(r)];
        if (seat.Plays())
            continue;
        anyComputer = true;
        if (!seat.level || (shared && *shared != *seat.level))
            allOwn = false;
        else
            shared = seat.level;
    }
    if (anyComputer && allOwn && shared)
        world.difficulty = *shared;
    for (RulerId r = 1; r < kRulerCount; ++r)
        world.seats[static_cast<std::size_t>(r)] = SimplestSeat(world.seats[static_cast<std::size_t>(r)], world.difficulty);
    world.seats[0] = Seat{};
}

char SeatLetter(const Seat& seat)
{
    switch (seat.kind) {
    case SeatKind::Person:
        return 'p';
    case SeatKind::Advisor:
        return 'a';
    case SeatKind::Remote:
        return 'r';
    case SeatKind::Computer:
        break;
    }
    return seat.level ? static_cast<char>('0' + static_cast<int>(*seat.level)) : '-';
}

std::optional<Seat> SeatOfLetter(char letter)
{
    switch (letter) {
    case 'p':
        return Seat::Person();
    case 'a':
        return Seat::Advisor();
    case 'r':
        return Seat::Remote();
    case '-':
        return Seat::Computer();
    default:
        if (letter >= '0' && letter < '0' + kDifficultyLevels)
            return Seat::Computer(static_cast<Difficulty>(letter - '0'));
        return std::nullopt;
    }
}

std::string SeatsWord(const Seats& seats)
{
    std::string word;
    for (std::size_t r = 1; r < seats.size(); ++r)
        word += SeatLetter(seats[r]);
    return word;
}

std::optional<Seats> ParseSeatsWord(std::string_view word)
{
    Seats seats{};
    if (word.size() != seats.size() - 1)
        return std::nullopt;
    for (std::size_t r = 1; r < seats.size(); ++r) {
        const std::optional<Seat> seat = SeatOfLetter(word[r - 1]);
        if (!seat)
            return std::nullopt;
        seats[r] = *seat;
    }
    return seats;
}
