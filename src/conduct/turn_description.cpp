// SPDX-License-Identifier: GPL-3.0-or-later
#include "conduct/turn_description.h"

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
