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
#include "platform/message.h"
#include "rules/domestic_command.h"
#include "rules/events.h"

// Reports a domestic command that took effect (events.h), with the figure it changed.
void ReportCommand(DomesticCommand command, const Country& country);

// Runs a domestic action on a country, for the player or a computer ruler alike. True
// when it took effect; that is reported as a Command event with the figure it changed.
// Inline: the computer's turns call it a dozen times a month.
inline bool CarryOut(DomesticCommand command, Country& country)
{
    int done = 0;
    switch (command) {
    case DomesticCommand::DevelopLand:
        done = country.DevelopLand();
        break;
    case DomesticCommand::DevelopCommerce:
        done = country.DevelopCommerce();
        break;
    case DomesticCommand::Conscript:
        done = country.Conscript();
        break;
    case DomesticCommand::Train:
        done = country.Train();
        break;
    }
    if (done && EventsObserved())
        ReportCommand(command, country);
    return done != 0;
}

// Why a command of the turn country cannot be carried out as things stand.
enum class CommandBlock {
    None,
    Funds,          // fewer funds than the command needs
    Provisions,     // war: fewer provisions than soldiers
    TrainingFull,   // training is already at its top
    NoMoveTarget,   // no neighbour of the same ruler
    NoAttackTarget, // no neighbour of another ruler (no ruler included)
};

// The test a domestic command makes before it acts: Country::CanPayAction or
// Country::CanTrain, which the country's action itself calls and refuses by.
CommandBlock DomesticBlock(DomesticCommand command, int country);

// The war command's test: provisions first, then funds. OnWar refuses by it.
CommandBlock WarBlock(int country);

// The countries a move from source or an attack by it may go to, in index order: its
// friendly or hostile neighbours, by the very tests the move and the attack make.
std::vector<int> MoveTargets(int source);
std::vector<int> AttackTargets(int source);

struct CommandOutcome {
    bool done = false;  // false: refused, nothing changed
    std::string status; // the report or the refusal
    platform::Message words; // the same, for the windows to translate
};

// Runs a domestic action on country and words the outcome ("開墾が %d になりました",
// "資金が不足しています", ...).
CommandOutcome RunDomesticCommand(DomesticCommand command, int country);

// "%d %s の番です" for a country.
std::string TurnStatusText(int country);
platform::Message TurnStatusWords(int country);

// Why country cannot go to war now (too few provisions for its soldiers, tested
// first, or too few funds), in the status line's words, or nothing when it can.
std::optional<std::string> WarRefusal(int country);
std::optional<platform::Message> WarRefusalWords(int country);

struct MoveAmounts {
    std::int32_t soldiers = 0;
    std::int32_t provisions = 0;
    std::int32_t funds = 0;
};

// True when amounts lie within what source holds (0 up to each stock).
bool MoveAmountsAllowed(int source, const MoveAmounts& amounts);

// Moves soldiers, provisions and funds from source to destination. The destination's
// training becomes the soldier-weighted average of both armies (0 when it ends with
// no soldiers); the source's training stays.
void ApplyMove(int source, int destination, const MoveAmounts& amounts);

// The texts of the move and war commands.
std::string MoveRefusedText(int destination);  // "%s には移動できません"
std::string MoveDoneText(int destination);     // "%s に物資を移動しました"
std::string MoveTitleText(int source, int destination); // "%s から %s へ移動"
std::string AttackRefusedText(int target);     // "%s には攻撃できません"
std::string AttackResultText(int target, bool won); // "%s の攻略は成功です" / "… 失敗です"
// The same texts, for the windows to translate.
platform::Message MoveRefusedWords(int destination);
platform::Message MoveDoneWords(int destination);
platform::Message MoveTitleWords(int source, int destination);
platform::Message AttackRefusedWords(int target);
platform::Message AttackResultWords(int target, bool won);

inline constexpr const char* kChooseMoveTarget = VELCOR_TEXT("Message", "移動先を選択してください");
inline constexpr const char* kChooseAttackTarget = VELCOR_TEXT("Message", "攻撃先を選択してください");
inline constexpr const char* kUnified = VELCOR_TEXT("Message", "中国全土を統一しました");
inline constexpr const char* kGameOverStatus = VELCOR_TEXT("Message", "ゲームオーバです");
inline constexpr const char* kGameOverMessage = VELCOR_TEXT("Message", "ゲームオーバーです");
inline constexpr int kResultMessageMs = 1500;
inline constexpr int kPromptMessageMs = 1000;
