// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/commands.h"

#include "model/game_state.h"
#include "rules/battle.h"
#include "rules/event_report.h"

using platform::Message;

namespace {

Country& At(int country) { return GameState::countries[static_cast<std::size_t>(country)]; }

Message Name(int country) { return Message::Plain(CountryNameUtf8(country)); }

// The status line's words for a refused war.
Message WarRefusalText(CommandBlock block)
{
    return block == CommandBlock::Provisions ? VELCOR_TEXT("Message", "兵糧が不足しています")
                                             : VELCOR_TEXT("Message", "資金が不足しています");
}

std::vector<int> Neighbours(int source, int (Country::*test)(const Country&) const)
{
    std::vector<int> targets;
    if (!GameState::IsCountryIndex(source))
        return targets;
    const Country& s = At(source);
    for (int i = 0; i < kCountryCount; ++i)
        if ((s.*test)(At(i)))
            targets.push_back(i);
    return targets;
}

} // namespace

CommandBlock DomesticBlock(DomesticCommand command, int country)
{
    if (!GameState::IsCountryIndex(country))
        return CommandBlock::Funds;
    const Country& c = At(country);
    if (command == DomesticCommand::Train)
        return c.CanTrain() ? CommandBlock::None : CommandBlock::TrainingFull;
    return c.CanPayAction() ? CommandBlock::None : CommandBlock::Funds;
}

CommandBlock WarBlock(int country)
{
    if (!GameState::IsCountryIndex(country))
        return CommandBlock::Funds;
    const Country& c = At(country);
    if (c.GetProvisions() < c.GetSoldiers())
        return CommandBlock::Provisions;
    if (c.GetFunds() < kWarCostFunds)
        return CommandBlock::Funds;
    return CommandBlock::None;
}

std::vector<int> MoveTargets(int source) { return Neighbours(source, &Country::IsFriendlyNeighbour); }
std::vector<int> AttackTargets(int source) { return Neighbours(source, &Country::IsHostileNeighbour); }

void ReportCommand(DomesticCommand command, const Country& country)
{
    if (EventReport e{EventKind::Command}) {
        e->country = static_cast<std::int8_t>(country.id);
        e->ruler = static_cast<std::int8_t>(country.GetRuler());
        e->byPlayer = e->ruler == GameState::playerRuler;
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

CommandOutcome RunDomesticCommand(DomesticCommand command, int country)
{
    CommandOutcome outcome;
    if (!GameState::IsCountryIndex(country))
        return outcome;
    Country& c = At(country);
    outcome.done = CarryOut(command, c);
    const Message noFunds = VELCOR_TEXT("Message", "資金が不足しています");
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
                                     : Message(VELCOR_TEXT("Message", "これ以上訓練できません"));
        break;
    }
    outcome.status = outcome.words.Text();
    return outcome;
}

Message TurnStatusWords(int country)
{
    return Message(VELCOR_TEXT("Message", "%1 %2 の番です"), {Message::Number(country), Name(country)});
}
std::string TurnStatusText(int country) { return TurnStatusWords(country).Text(); }

std::optional<Message> WarRefusalWords(int country)
{
    const CommandBlock block = WarBlock(country);
    if (block == CommandBlock::None)
        return std::nullopt;
    return WarRefusalText(block);
}

std::optional<std::string> WarRefusal(int country)
{
    if (const std::optional<Message> words = WarRefusalWords(country))
        return words->Text();
    return std::nullopt;
}

bool MoveAmountsAllowed(int source, const MoveAmounts& amounts)
{
    if (!GameState::IsCountryIndex(source))
        return false;
    const Country& s = At(source);
    return amounts.soldiers >= 0 && amounts.soldiers <= s.GetSoldiers() && amounts.provisions >= 0 &&
           amounts.provisions <= s.GetProvisions() && amounts.funds >= 0 && amounts.funds <= s.GetFunds();
}

void ApplyMove(int source, int destination, const MoveAmounts& amounts)
{
    Country& s = At(source);
    Country& d = At(destination);
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
    if (EventReport e{EventKind::Move}) {
        e->country = static_cast<std::int8_t>(source);
        e->target = static_cast<std::int8_t>(destination);
        e->ruler = static_cast<std::int8_t>(s.GetRuler());
        e->byPlayer = e->ruler == GameState::playerRuler;
        e->SetMoved(amounts.soldiers, amounts.provisions, amounts.funds);
    }
}

Message MoveRefusedWords(int destination)
{
    return Message(VELCOR_TEXT("Message", "%1 には移動できません"), {Name(destination)});
}
Message MoveDoneWords(int destination)
{
    return Message(VELCOR_TEXT("Message", "%1 に物資を移動しました"), {Name(destination)});
}
Message MoveTitleWords(int source, int destination)
{
    return Message(VELCOR_TEXT("Message", "%1 から %2 へ移動"), {Name(source), Name(destination)});
}
Message AttackRefusedWords(int target)
{
    return Message(VELCOR_TEXT("Message", "%1 には攻撃できません"), {Name(target)});
}
Message AttackResultWords(int target, bool won)
{
    return Message(won ? VELCOR_TEXT("Message", "%1 の攻略は成功です") : VELCOR_TEXT("Message", "%1 の攻略は失敗です"),
                   {Name(target)});
}

std::string MoveRefusedText(int destination) { return MoveRefusedWords(destination).Text(); }
std::string MoveDoneText(int destination) { return MoveDoneWords(destination).Text(); }
std::string MoveTitleText(int source, int destination) { return MoveTitleWords(source, destination).Text(); }
std::string AttackRefusedText(int target) { return AttackRefusedWords(target).Text(); }
std::string AttackResultText(int target, bool won) { return AttackResultWords(target, won).Text(); }
