#include "rules/commands.h"

#include "model/game_state.h"
#include "rules/battle.h"
#include "rules/event_report.h"

namespace {

Country& At(int country) { return GameState::countries[static_cast<std::size_t>(country)]; }

std::string Name(int country) { return CountryNameUtf8(country); }

// The status line's words for a refused war.
std::string WarRefusalText(CommandBlock block)
{
    return block == CommandBlock::Provisions ? "兵糧が不足しています" : "資金が不足しています";
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
    switch (command) {
    case DomesticCommand::DevelopLand:
        outcome.status = outcome.done ? "開墾が " + std::to_string(c.GetCultivation()) + " になりました"
                                      : "資金が不足しています";
        break;
    case DomesticCommand::DevelopCommerce:
        outcome.status = outcome.done ? "商業が " + std::to_string(c.GetCommerce()) + " になりました"
                                      : "資金が不足しています";
        break;
    case DomesticCommand::Conscript:
        outcome.status = outcome.done ? "兵士が " + std::to_string(c.GetSoldiers()) + " になりました"
                                      : "資金が不足しています";
        break;
    case DomesticCommand::Train:
        outcome.status = outcome.done ? "訓練が " + std::to_string(c.GetTraining()) + " になりました"
                                      : "これ以上訓練できません";
        break;
    }
    return outcome;
}

std::string TurnStatusText(int country)
{
    return std::to_string(country) + " " + Name(country) + " の番です";
}

std::optional<std::string> WarRefusal(int country)
{
    const CommandBlock block = WarBlock(country);
    if (block == CommandBlock::None)
        return std::nullopt;
    return WarRefusalText(block);
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

std::string MoveRefusedText(int destination) { return Name(destination) + " には移動できません"; }
std::string MoveDoneText(int destination) { return Name(destination) + " に物資を移動しました"; }
std::string MoveTitleText(int source, int destination)
{
    return Name(source) + " から " + Name(destination) + " へ移動";
}
std::string AttackRefusedText(int target) { return Name(target) + " には攻撃できません"; }
std::string AttackResultText(int target, bool won)
{
    return Name(target) + (won ? " の攻略は成功です" : " の攻略は失敗です");
}
