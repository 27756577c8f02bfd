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

void SeatPlayer(GameState& world, RulerId ruler)
{
    world.seats = Seats{};
    world.playerRuler = ruler;
    if (ruler > 0 && ruler < kRulerCount)
        world.seats[static_cast<std::size_t>(ruler)].kind = SeatKind::Person;
}

bool SeatPlayers(GameState& world, const std::vector<RulerId>& players, SeatKind kind)
{
    Seats seats = world.seats;
    for (Seat& seat : seats)
        seat.kind = SeatKind::Computer;
    for (RulerId r : players) {
        if (r <= 0 || r >= kRulerCount || seats[static_cast<std::size_t>(r)].kind != SeatKind::Computer)
            return false;
        seats[static_cast<std::size_t>(r)].kind = kind == SeatKind::Computer ? SeatKind::Person : kind;
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
        const Seat one = r == world.playerRuler ? Seat{SeatKind::Person, seat.level} : Seat{};
        if (seat != one)
            return false;
    }
    return true;
}

void SimplifySeats(GameState& world)
{
    std::optional<Difficulty> shared;
    bool allOwn = true;
    bool anyComputer = false;
    for (RulerId r = 1; r < kRulerCount; ++r) {
        const Seat& seat = world.seats[static_cast<std::size_t>(r)];
        if (seat.kind != SeatKind::Computer)
            continue;
        anyComputer = true;
        if (!seat.level || (shared && *shared != *seat.level))
            allOwn = false;
        else
            shared = seat.level;
    }
    if (anyComputer && allOwn && shared)
        world.difficulty = *shared;
    for (RulerId r = 1; r < kRulerCount; ++r) {
        Seat& seat = world.seats[static_cast<std::size_t>(r)];
        if (seat.kind != SeatKind::Computer || seat.level == world.difficulty)
            seat.level.reset();
    }
    world.seats[0] = Seat{};
}

std::string SeatsWord(const Seats& seats)
{
    std::string word;
    for (std::size_t r = 1; r < seats.size(); ++r) {
        const Seat& seat = seats[r];
        if (seat.kind == SeatKind::Person)
            word += 'p';
        else if (seat.kind == SeatKind::Advisor)
            word += 'a';
        else if (seat.level)
            word += static_cast<char>('0' + static_cast<int>(*seat.level));
        else
            word += '-';
    }
    return word;
}

std::optional<Seats> ParseSeatsWord(std::string_view word)
{
    Seats seats{};
    if (word.size() != seats.size() - 1)
        return std::nullopt;
    for (std::size_t r = 1; r < seats.size(); ++r) {
        const char c = word[r - 1];
        Seat& seat = seats[r];
        if (c == 'p')
            seat.kind = SeatKind::Person;
        else if (c == 'a')
            seat.kind = SeatKind::Advisor;
        else if (c >= '0' && c < '0' + kDifficultyLevels)
            seat.level = static_cast<Difficulty>(c - '0');
        else if (c != '-')
            return std::nullopt;
    }
    return seats;
}
