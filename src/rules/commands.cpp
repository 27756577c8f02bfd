// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/commands.h"

#include "model/game_state.h"
#include "rules/battle.h"
#include "rules/event_report.h"
#include "rules/names.h"

using platform::Message;

namespace {

Message Name(const GameState& world, int country) { return CountryWords(world, country); }

std::vector<int> Neighbours(const GameState& world, int source, int (Country::*test)(const Country&) const)
{
    std::vector<int> targets;
    if (!GameState::IsCountryIndex(source))
        return targets;
    const Country& s = world.countries[source];
    for (int i = 0; i < kCountryCount; ++i)
        if ((s.*test)(world.countries[i]))
            targets.push_back(i);
    return targets;
}

} // namespace

Message RefusalWords(CommandBlock block)
{
    switch (block) {
    case CommandBlock::None:
    case CommandBlock::Amounts:
        return {};
    case CommandBlock::Funds:
        return VELCOR_TEXT("Message", "資金が不足しています");
    case CommandBlock::Provisions:
        return VELCOR_TEXT("Message", "兵糧が不足しています");
    case CommandBlock::TrainingFull:
        return VELCOR_TEXT("Message", "これ以上訓練できません");
    case CommandBlock::NoMoveTarget:
        return VELCOR_TEXT("Message", "移動できる国がありません");
    case CommandBlock::NoAttackTarget:
        return VELCOR_TEXT("Message", "攻め込める国がありません");
    }
    return {};
}

Message RefusalWords(const GameState& world, CommandBlock block, int from, std::optional<int> target)
{
    if (block == CommandBlock::Amounts)
        return TurnStatusWords(world, from);
    if (target && block == CommandBlock::NoMoveTarget)
        return MoveRefusedWords(world, *target);
    if (target && block == CommandBlock::NoAttackTarget)
        return AttackRefusedWords(world, *target);
    return RefusalWords(block);
}

CommandBlock DomesticBlock(const GameState& world, DomesticCommand command, int country)
{
    if (!GameState::IsCountryIndex(country))
        return CommandBlock::Funds;
    const Country& c = world.countries[country];
    if (command == DomesticCommand::Train)
        return c.CanTrain() ? CommandBlock::None : CommandBlock::TrainingFull;
    return c.CanPayAction() ? CommandBlock::None : CommandBlock::Funds;
}

CommandBlock MoveBlock(const GameState& world, int from, std::optional<int> to, const MoveAmounts& amounts)
{
    if (!to)
        return MoveTargets(world, from).empty() ? CommandBlock::NoMoveTarget : CommandBlock::None;
    if (!GameState::IsCountryIndex(from) || !GameState::IsCountryIndex(*to) ||
        !world.countries[from].IsFriendlyNeighbour(world.countries[*to]))
        return CommandBlock::NoMoveTarget;
    return MoveAmountsAllowed(world, from, amounts) ? CommandBlock::None : CommandBlock::Amounts;
}

CommandBlock WarBlock(const GameState& world, int from, std::optional<int> target)
{
    if (!GameState::IsCountryIndex(from))
        return CommandBlock::Funds;
    const Country& c = world.countries[from];
    if (c.GetProvisions() < c.GetSoldiers())
        return CommandBlock::Provisions;
    if (c.GetFunds() < kWarCostFunds)
        return CommandBlock::Funds;
    if (!target)
        return AttackTargets(world, from).empty() ? CommandBlock::NoAttackTarget : CommandBlock::None;
    if (!GameState::IsCountryIndex(*target) || !c.IsHostileNeighbour(world.countries[*target]))
        return CommandBlock::NoAttackTarget;
    return CommandBlock::None;
}

std::vector<int> MoveTargets(const GameState& world, int source) { return Neighbours(world, source, &Country::IsFriendlyNeighbour); }
std::vector<int> AttackTargets(const GameState& world, int source) { return Neighbours(world, source, &Country::IsHostileNeighbour); }

void ReportCommand(const GameState& world, EventSink& events, DomesticCommand command, const Country& country)
{
    if (EventReport e{world, events, EventKind::Command}) {
        e->country = static_cast<std::int8_t>(country.id);
        e->ruler = static_cast<std::int8_t>(country.GetRuler());
        e->byPlayer = world.IsPlayer(e->ruler);
        switch (command) {
        case DomesticCommand::DevelopLand:
            e->SetCommand(command, country.GetCultivation());
            break;
        case DomesticCommand::DevelopCommerce:
            e->SetCommand(command, country.GetCommerce());
            break;
        case DomesticCommand::Conscript:
            e->SetCommand(command, country.GetSoldiers());
            break;
        case DomesticCommand::Train:
            e->SetCommand(command, country.GetTraining());
            break;
        }
    }
}

CommandOutcome RunDomesticCommand(GameState& world, EventSink& events, DomesticCommand command, int country)
{
    CommandOutcome outcome;
    if (!GameState::IsCountryIndex(country))
        return outcome;
    Country& c = world.countries[country];
    outcome.done = CarryOut(world, events, command, c, world.commandRandom);
    const Message noFunds = RefusalWords(CommandBlock::Funds);
    switch (command) {
    case DomesticCommand::DevelopLand:
        outcome.words = outcome.done ? Message(VELCOR_TEXT("Message", "開墾が %1 になりました"),
                                               {Message::Number(c.GetCultivation())})
                                     : noFunds;
        break;
    case DomesticCommand::DevelopCommerce:
        outcome.words = outcome.done ? Message(VELCOR_TEXT("Message", "商業が %1 になりました"),
                                               {Message::Number(c.GetCommerce())})
                                     : noFunds;
        break;
    case DomesticCommand::Conscript:
        outcome.words = outcome.done ? Message(VELCOR_TEXT("Message", "兵士が %1 になりました"),
                                               {Message::Number(c.GetSoldiers())})
                                     : noFunds;
        break;
    case DomesticCommand::Train:
        outcome.words = outcome.done ? Message(VELCOR_TEXT("Message", "訓練が %1 になりました"),
                                               {Message::Number(c.GetTraining())})
                                     : RefusalWords(CommandBlock::TrainingFull);
        break;
    }
    return outcome;
}

Message TurnStatusWords(const GameState& world, int country)
{
    return Message(VELCOR_TEXT("Message", "%1 %2 の番です"), {Message::Number(country), Name(world, country)});
}

bool MoveAmountsAllowed(const GameState& world, int source, const MoveAmounts& amounts)
{
    if (!GameState::IsCountryIndex(source))
        return false;
    const Country& s = world.countries[source];
    return amounts.soldiers >= 0 && amounts.soldiers <= s.GetSoldiers() && amounts.provisions >= 0 &&
           amounts.provisions <= s.GetProvisions() && amounts.funds >= 0 && amounts.funds <= s.GetFunds();
}

void ApplyMove(GameState& world, EventSink& events, int source, int destination, const MoveAmounts& amounts)
{
    Country& s = world.countries[source];
    Country& d = world.countries[destination];
    // The new training is worked out before anything moves.
    const std::int64_t soldiers = std::int64_t{d.GetSoldiers()} + amounts.soldiers;
    std::int32_t training = 0;
    if (soldiers != 0)
        training = static_cast<std::int32_t>(
            (std::int64_t{d.GetSoldiers()} * d.GetTraining() + std::int64_t{s.GetTraining()} * amounts.soldiers) /
            soldiers);
    s.AddProvisions(-amounts.provisions);
    s.AddFunds(-amounts.funds);
    s.AddSoldiers(-amounts.soldiers);
    d.AddProvisions(amounts.provisions);
    d.AddFunds(amounts.funds);
    d.AddSoldiers(amounts.soldiers);
    d.SetTraining(training);
    if (EventReport e{world, events, EventKind::Move}) {
        e->country = static_cast<std::int8_t>(source);
        e->target = static_cast<std::int8_t>(destination);
        e->ruler = static_cast<std::int8_t>(s.GetRuler());
        e->byPlayer = world.IsPlayer(e->ruler);
        e->SetMoved(amounts.soldiers, amounts.provisions, amounts.funds);
    }
}

Message MoveRefusedWords(const GameState& world, int destination)
{
    return Message(VELCOR_TEXT("Message", "%1 には移動できません"), {Name(world, destination)});
}
Message MoveDoneWords(const GameState& world, int destination)
{
    return Message(VELCOR_TEXT("Message", "%1 に物資を移動しました"), {Name(world, destination)});
}
Message MoveTitleWords(const GameState& world, int source, int destination)
{
    return Message(VELCOR_TEXT("Message", "%1 から %2 へ移動"), {Name(world, source), Name(world, destination)});
}
Message AttackRefusedWords(const GameState& world, int target)
{
    return Message(VELCOR_TEXT("Message", "%1 には攻撃できません"), {Name(world, target)});
}
Message AttackResultWords(const GameState& world, int target, bool won)
{
    return Message(won ? VELCOR_TEXT("Message", "%1 の攻略は成功です") : VELCOR_TEXT("Message", "%1 の攻略は失敗です"),
                   {Name(world, target)});
}
