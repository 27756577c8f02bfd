// SPDX-License-Identifier: GPL-3.0-or-later
// What a seat does in a game, one class for each kind of seat behind one interface:
// whether the turn waits for it, whether it plays at this screen (the turn handed over
// to it), whether its game is ranked at the end, and how its command is chosen. A seat
// itself stays a value of the world (Seat in model/game_state.h: look-ahead copies
// worlds); the conductor and the front ends ask the class of a ruler's seat (RoleOf,
// the one place a kind of seat maps to its class). A new kind of seat is a class here.
//
// The seating the front ends share lives here too: who takes turns at one screen, and
// the seats the command line names.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foresight/advisor.h"
#include "foresight/resting_game.h"
#include "model/game_state.h"
#include "session/player_command.h"

// A command being chosen for a seat at its turn, on a copy of the world: ready at
// once, or thought over on threads of its own (the advisor's in the windows).
class SeatDecision {
public:
    virtual ~SeatDecision() = default;
    // The command has been chosen; asked on the owner's thread.
    virtual bool Ready() const = 0;
    // The command chosen, once ready; none: he rests.
    virtual std::optional<PlayerCommand> Command() = 0;
};

struct SeatDecisionOptions {
    foresight::AdviceOptions advice;
    // The thinking goes on on threads of its own while the caller waits for Ready (the
    // windows); otherwise it is done before Choose returns.
    bool background = false;
};

class SeatRole {
public:
    virtual ~SeatRole() = default;
    // The turn stops at his countries (what the rules read of the seat: Seat::Plays).
    virtual bool WaitsForTurn() const = 0;
    // He plays at this screen: his turn is handed over to him there from another
    // person's, and the commands given there are his.
    virtual bool HandedOver() const = 0;
    // His game is his own: ranked among the best games at its end.
    virtual bool Ranked() const = 0;
    // His commands come from outside the conductor (the screen, the page, another
    // machine), given with his ruler; otherwise the seat chooses them itself (Choose).
    virtual bool GivenFromOutside() const = 0;
    // His command for the turn country of world (a seat that chooses itself; nullptr
    // for one whose commands are given from outside).
    virtual std::unique_ptr<SeatDecision> Choose(const GameState& world, const SeatDecisionOptions& options) const = 0;
};

// Where the persons of a game sit: at the front end's screen, or nowhere (a game
// played on without windows, in which each person rests).
enum class PersonSeats : std::uint8_t { AtScreen, Resting };

// The class of a seat.
const SeatRole& RoleOf(const Seat& seat, PersonSeats persons = PersonSeats::AtScreen);
inline const SeatRole& RoleOf(const GameState& world, RulerId ruler, PersonSeats persons = PersonSeats::AtScreen)
{
    return RoleOf(world.seats[static_cast<std::size_t>(GameState::IsRulerId(ruler) ? ruler : 0)], persons);
}

// Each player's command as his seat chooses it, in a game played on without windows
// (the loop of foresight::PlayOn).
foresight::SeatCommand SeatCommands(PersonSeats persons = PersonSeats::Resting);

// The most persons who take turns at one screen.
constexpr int kMostScreenPersons = 4;

// The persons at the one screen, in the ruler table's order: those the turn is handed
// over between.
std::vector<RulerId> ScreenPersons(const Seats& seats);
// Two or more persons take turns at the one screen.
bool SeveralPersons(const Seats& seats);
// The person whose turn it is when several take turns at the one screen (his name and
// portrait on the panel); 0 at any other turn or game.
RulerId TurnPerson(const GameState& world, RulerId turnRuler);

// A seat as the command line names it: person (or rest: nobody is at a headless
// game's screen, so he rests), advisor, remote (a person at another machine),
// computer (the game's difficulty),
// computer:LEVEL or a level alone (easy, normal, hard, master). None for another word.
std::optional<Seat> SeatOfWord(std::string_view word);
// The word of a seat: person, advisor, remote, computer or computer:LEVEL.
std::string SeatWord(const Seat& seat);
