// SPDX-License-Identifier: GPL-3.0-or-later
#include "conduct/turn_description.h"

#include "rules/commands.h"

const char* StageName(TurnStage stage)
{
    switch (stage) {
    case TurnStage::NoGame:
        return "noGame";
    case TurnStage::ComputerTurns:
        return "computerTurns";
    case TurnStage::Command:
        return "command";
    case TurnStage::ChoosingMove:
        return "choosingMove";
    case TurnStage::ChoosingWar:
        return "choosingWar";
    case TurnStage::Battle:
        return "battle";
    case TurnStage::HandingOver:
        return "handingOver";
    case TurnStage::Watching:
        return "watching";
    case TurnStage::Replaying:
        return "replaying";
    case TurnStage::Won:
        return "won";
    case TurnStage::Lost:
        return "lost";
    }
    return "noGame";
}

char TurnCommandKey(TurnCommand command)
{
    static constexpr char kKeys[] = {'M', 'W', 'L', 'C', 'S', 'T', 'R'};
    return kKeys[static_cast<std::size_t>(command)];
}

std::array<platform::Message, kTurnCommandCount> CommandReasons(const GameState& world, int country)
{
    std::array<platform::Message, kTurnCommandCount> why;
    why[IndexOf(TurnCommand::Move)] = RefusalWords(MoveBlock(world, country));
    why[IndexOf(TurnCommand::War)] = RefusalWords(WarBlock(world, country));
    why[IndexOf(TurnCommand::DevelopLand)] = RefusalWords(DomesticBlock(world, DomesticCommand::DevelopLand, country));
    why[IndexOf(TurnCommand::DevelopCommerce)] =
        RefusalWords(DomesticBlock(world, DomesticCommand::DevelopCommerce, country));
    why[IndexOf(TurnCommand::Conscript)] = RefusalWords(DomesticBlock(world, DomesticCommand::Conscript, country));
    why[IndexOf(TurnCommand::Train)] = RefusalWords(DomesticBlock(world, DomesticCommand::Train, country));
    return why; // the rest is never refused at a person's turn
}
