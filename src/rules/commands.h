// SPDX-License-Identifier: GPL-3.0-or-later
// The player's commands as plain logic: what each does to the turn country and the
// line the status bar then shows. The view adds the buttons, the clicks, the message
// windows and the dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/country.h"
#include "model/game_state.h"
#include "platform/message.h"
#include "rules/domestic_command.h"
#include "rules/events.h"

// Reports a domestic command that took effect (events.h), with the figure it changed.
void ReportCommand(const GameState& world, EventSink& events, DomesticCommand command, const Country& country);

// Runs a domestic action on a country of the world, for the player or a computer ruler
// alike, drawing from rng. True when it took effect; that is reported as a Command
// event with the figure it changed. Inline: the computer's turns call it a dozen times
// a month.
inline bool CarryOut(const GameState& world, EventSink& events, DomesticCommand command, Country& country,
                     platform::Random& rng)
{
    int done = 0;
    switch (command) {
    case DomesticCommand::DevelopLand:
        done = country.DevelopLand(rng);
        break;
    case DomesticCommand::DevelopCommerce:
        done = country.DevelopCommerce(rng);
        break;
    case DomesticCommand::Conscript:
        done = country.Conscript(rng);
        break;
    case DomesticCommand::Train:
        done = country.Train(rng);
        break;
    }
    if (done && events.Observed())
        ReportCommand(world, events, command, country);
    return done != 0;
}

struct MoveAmounts {
    std::int32_t soldiers = 0;
    std::int32_t provisions = 0;
    std::int32_t funds = 0;
};

// Why a command of a country cannot be carried out as the world stands (whose turn it
// is aside). Each command has one test, which the session's Check, the command buttons
// and their tooltips and the advisor all ask, and each refusal one wording
// (RefusalWords).
enum class CommandBlock {
    None,
    Funds,          // fewer funds than the command needs
    Provisions,     // war: fewer provisions than soldiers
    TrainingFull,   // training is already at its top
    NoMoveTarget,   // the destination is no neighbour of the same ruler (none is, when none was named)
    NoAttackTarget, // the target is no neighbour of another ruler or of none (none is, when none was named)
    Amounts,        // a move of more than the country holds, or of less than nothing
};

// What the country itself lacks (funds, provisions, room to train), as opposed to
// where its command may go. The war button refuses by these alone: the target is
// chosen after it.
constexpr bool IsShortage(CommandBlock block)
{
    return block == CommandBlock::Funds || block == CommandBlock::Provisions || block == CommandBlock::TrainingFull;
}

// A domestic command: Country::CanPayAction or Country::CanTrain, which the country's
// action itself calls and refuses by.
CommandBlock DomesticBlock(const GameState& world, DomesticCommand command, int country);
// A move from from: to a friendly neighbour (with no destination named, whether there
// is one), of amounts within what from holds.
CommandBlock MoveBlock(const GameState& world, int from, std::optional<int> to = std::nullopt,
                       const MoveAmounts& amounts = {});
// A war by from: provisions for its soldiers first, then the funds, then the target a
// hostile neighbour (with no target named, whether there is one).
CommandBlock WarBlock(const GameState& world, int from, std::optional<int> target = std::nullopt);

// The words of a refusal with no target named ("資金が不足しています", "兵糧が不足して
// います", "これ以上訓練できません", "移動できる国がありません", ...).
platform::Message RefusalWords(CommandBlock block);
// The same for a command of from on target: a refused destination or target is named
// ("%1 には移動できません", "%1 には攻撃できません"), refused amounts give the turn line.
platform::Message RefusalWords(const GameState& world, CommandBlock block, int from, std::optional<int> target);

// The countries a move from source or an attack by it may go to, in index order: its
// friendly or hostile neighbours, by the very tests the move and the attack make.
std::vector<int> MoveTargets(const GameState& world, int source);
std::vector<int> AttackTargets(const GameState& world, int source);

struct CommandOutcome {
    bool done = false;       // false: refused, nothing changed
    platform::Message words; // the report or the refusal
};

// Runs a domestic action on country, drawing from the world's command generator, and
// words the outcome ("開墾が %d になりました", "資金が不足しています", ...).
CommandOutcome RunDomesticCommand(GameState& world, EventSink& events, DomesticCommand command, int country);

// "%d %s の番です" for a country.
platform::Message TurnStatusWords(const GameState& world, int country);

// True when amounts lie within what source holds (0 up to each stock).
bool MoveAmountsAllowed(const GameState& world, int source, const MoveAmounts& amounts);

// Moves soldiers, provisions and funds from source to destination. The destination's
// training becomes the soldier-weighted average of both armies (0 when it ends with
// no soldiers); the source's training stays.
void ApplyMove(GameState& world, EventSink& events, int source, int destination, const MoveAmounts& amounts);

// The words of the move and war commands.
platform::Message MoveRefusedWords(const GameState& world, int destination);  // "%s には移動できません"
platform::Message MoveDoneWords(const GameState& world, int destination);     // "%s に物資を移動しました"
platform::Message MoveTitleWords(const GameState& world, int source, int destination); // "%s から %s へ移動"
platform::Message AttackRefusedWords(const GameState& world, int target);     // "%s には攻撃できません"
platform::Message AttackResultWords(const GameState& world, int target, bool won); // "%s の攻略は成功です" / "… 失敗です"

inline constexpr const char* kChooseMoveTarget = VELCOR_TEXT("Message", "移動先を選択してください");
inline constexpr const char* kChooseAttackTarget = VELCOR_TEXT("Message", "攻撃先を選択してください");
inline constexpr const char* kUnified = VELCOR_TEXT("Message", "中国全土を統一しました");
inline constexpr const char* kGameOverMessage = VELCOR_TEXT("Message", "ゲームオーバーです");
inline constexpr int kResultMessageMs = 1500;
inline constexpr int kPromptMessageMs = 1000;
