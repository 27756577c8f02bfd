// SPDX-License-Identifier: GPL-3.0-or-later
// The turn described once: where the game stands (its stage), who acts and who sits at
// the game, and for each of the seven commands whether it may act now, with the one
// reason why not as the rules or the conductor word it (a Message: each front end words
// it in its own language). The conductor makes it on the thread that owns the session
// and publishes it whole; the windows, the page and the headless runner read it and
// none works it out again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/game_state.h"
#include "platform/message.h"

// The seven commands, in the order of the command buttons, left to right.
enum class TurnCommand : std::uint8_t { Move, War, DevelopLand, DevelopCommerce, Conscript, Train, Rest };
inline constexpr std::size_t kTurnCommandCount = 7;
inline constexpr std::array<TurnCommand, kTurnCommandCount> kTurnCommands = {
    TurnCommand::Move,      TurnCommand::War,  TurnCommand::DevelopLand, TurnCommand::DevelopCommerce,
    TurnCommand::Conscript, TurnCommand::Train, TurnCommand::Rest};

enum class TurnStage : std::uint8_t {
    NoGame,        // no game in play (or the end of the last one has been put away)
    ComputerTurns, // the computer rulers play
    Command,       // a person's country waits for his command (or, given, for the rest)
    ChoosingMove,  // he chooses where his move goes
    ChoosingWar,   // he chooses whom his war attacks
    Battle,        // a battle is being shown
    HandingOver,   // the turn passes from one person to another at the one screen
    Watching,      // nobody plays: a month has been played and the next waits
    Replaying,     // a record plays the persons' side
    Won,           // the game is won (watched: one ruler holds every country)
    Lost,          // no person holds a country any more
};

// One command as the turn stands.
struct CommandState {
    // Given now, the session would carry it out (a move or a war: to one of the targets).
    bool allowed = false;
    // The front ends offer it now (its button may be pressed): every command at a
    // person's turn before his command, the rest after it. A command offered but not
    // allowed is refused, with its reason, when it is given. (A watched game's rest is
    // allowed, and plays the next month, but not offered: the watch has its own controls.)
    bool offered = false;
    // Why it may not act now; empty when it may.
    platform::Message why;
};

struct TurnDescription {
    // Counts the descriptions one conductor has published: a newer one has a larger number.
    std::uint64_t sequence = 0;
    TurnStage stage = TurnStage::NoGame;
    // The country whose turn it is, -1 when none is a person's.
    int country = -1;
    // The person (or the advisor) whose turn it is; 0 at no person's turn.
    RulerId acting = 0;
    // The person whose turn came before, when the turn has passed from him to another
    // at the one screen (HandingOver and the turn after it); 0 otherwise.
    RulerId previous = 0;
    // The rulers seated as persons, in the ruler table's order.
    std::vector<RulerId> persons;
    // The turn's command has been given: only the rest is left.
    bool commandGiven = false;
    // The game is played from a record (each step at the record's pace).
    bool replaying = false;
    // The game is played with other machines (hosted or joined): its record is theirs
    // too, so nobody goes back in it and no save takes its place.
    bool networked = false;
    // Who won (Won).
    RulerId winner = 0;
    // The turn's line for the status bar ("%1 %2 の番です", "ゲームオーバーです", ...).
    platform::Message status;
    std::array<CommandState, kTurnCommandCount> commands{};
    // Where a move or a war of the turn country may go, in index order.
    std::vector<int> moveTargets;
    std::vector<int> warTargets;

    const CommandState& Of(TurnCommand command) const { return commands[static_cast<std::size_t>(command)]; }
    bool Allowed(TurnCommand command) const { return Of(command).allowed; }
    bool Offered(TurnCommand command) const { return Of(command).offered; }
    // A person's turn is on the screen: his command, a target being chosen, or his battle.
    bool AtPersonsTurn() const
    {
        return stage == TurnStage::Command || stage == TurnStage::ChoosingMove || stage == TurnStage::ChoosingWar;
    }
    bool Choosing() const { return stage == TurnStage::ChoosingMove || stage == TurnStage::ChoosingWar; }
    bool Ended() const { return stage == TurnStage::Won || stage == TurnStage::Lost; }
    // A game is in play or its end is shown.
    bool InGame() const { return stage != TurnStage::NoGame; }
};

// The stage's name as the page and the tests spell it ("command", "choosingMove", ...).
const char* StageName(TurnStage stage);
// The command's key, as the command table and the page name it (M, W, L, C, S, T, R).
char TurnCommandKey(TurnCommand command);
inline std::size_t IndexOf(TurnCommand command) { return static_cast<std::size_t>(command); }

// Why each command of a country would not act at its turn, by the rules alone, whatever
// the stage (empty where it would): the description's reasons for the turn country, and
// what a window listing a person's countries says of each.
std::array<platform::Message, kTurnCommandCount> CommandReasons(const GameState& world, int country);
