// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game_session.h"

#include "rules/battle.h"
#include "rules/commands.h"
#include "session/save_companions.h"

GameSession::GameSession(TurnHost& host) : m_host(host)
{
    BuildRulerTable(world);
}

LoadOutcome GameSession::ReadWorld(const std::string& path, CountryFileUse use)
{
    LoadOutcome loaded = LoadCountryFile(world, path, use);
    if (loaded.status == LoadStatus::Loaded) {
        BuildRulerTable(world);
        m_setAside = {};
        world.difficulty =
            use == CountryFileUse::SavedGame ? DifficultyBeside(path, &m_setAside) : Difficulty::Normal;
    }
    return loaded;
}

LoadOutcome GameSession::StartNewGame(const std::string& countryFile, RulerId player)
{
    LoadOutcome loaded = ReadWorld(countryFile, CountryFileUse::StartingWorld);
    if (loaded.status == LoadStatus::Loaded) {
        world.playerRuler = player;
        BeginGame(false);
    }
    return loaded;
}

LoadOutcome GameSession::LoadGame(const std::string& saveFile)
{
    LoadOutcome loaded = ReadWorld(saveFile, CountryFileUse::SavedGame);
    if (loaded.status == LoadStatus::Loaded)
        BeginGame(true);
    return loaded;
}

void GameSession::BeginGame(bool loaded)
{
    m_host.marks.Reset();
    m_acted = false;
    // The computer's turns come first: whatever turn the last game was at, a rest now
    // would be no command of the player's.
    mode = ViewMode::NoGame;
    if (m_observer)
        m_observer->GameBegun(world, loaded);
    if (loaded)
        BeginLoadedGame(world, events);
    else
        BeginNewGame(world, events, world.playerRuler);
}

bool GameSession::SaveGame(const std::string& path, std::int32_t turnCursor, std::string* error) const
{
    return SaveCountryFile(world, path, turnCursor, error) && ReplaceCompanions(path, world.difficulty, error);
}

CommandRefusal GameSession::MayAct(int country) const
{
    if (mode != ViewMode::PlayerTurn || m_acted)
        return CommandRefusal::NotNow;
    if (!GameState::IsCountryIndex(country) || country != world.turnCountry ||
        world.countries[static_cast<std::size_t>(country)].GetRuler() != world.playerRuler)
        return CommandRefusal::NotTurnCountry;
    return CommandRefusal::None;
}

namespace {

CommandResult Refused(CommandRefusal why, platform::Message words = {})
{
    CommandResult result;
    result.refusal = why;
    result.words = std::move(words);
    return result;
}

CommandRefusal RefusalOf(CommandBlock block)
{
    switch (block) {
    case CommandBlock::None:
        return CommandRefusal::None;
    case CommandBlock::Funds:
        return CommandRefusal::Funds;
    case CommandBlock::Provisions:
        return CommandRefusal::Provisions;
    case CommandBlock::TrainingFull:
        return CommandRefusal::TrainingFull;
    case CommandBlock::NoMoveTarget:
    case CommandBlock::NoAttackTarget:
        return CommandRefusal::NotNeighbour;
    }
    return CommandRefusal::NotNow;
}

} // namespace

CommandResult GameSession::Check(const PlayerCommand& command) const
{
    return std::visit([this](const auto& order) { return Refusal(order); }, command);
}

CommandResult GameSession::Apply(const PlayerCommand& command)
{
    return std::visit(
        [this](const auto& order) {
            CommandResult refused = Refusal(order);
            if (refused.refusal != CommandRefusal::None)
                return refused;
            CommandResult result = Do(order);
            if (m_observer && result.refusal == CommandRefusal::None)
                m_observer->CommandGiven(order);
            return result;
        },
        command);
}

CommandResult GameSession::Refusal(const command::Domestic& order) const
{
    if (const CommandRefusal why = MayAct(order.country); why != CommandRefusal::None)
        return Refused(why);
    // The country's own test, and the words its action refuses with.
    if (const CommandBlock block = DomesticBlock(world, order.what, order.country); block != CommandBlock::None)
        return Refused(RefusalOf(block), RefusalWords(block));
    return {};
}

CommandResult GameSession::Refusal(const command::Move& order) const
{
    if (const CommandRefusal why = MayAct(order.from); why != CommandRefusal::None)
        return Refused(why);
    if (!GameState::IsCountryIndex(order.to) ||
        !world.countries[static_cast<std::size_t>(order.from)].IsFriendlyNeighbour(
            world.countries[static_cast<std::size_t>(order.to)]))
        return Refused(CommandRefusal::NotNeighbour, MoveRefusedWords(world, order.to));
    if (!MoveAmountsAllowed(world, order.from, MoveAmounts{order.soldiers, order.provisions, order.funds}))
        return Refused(CommandRefusal::Amounts, TurnStatusWords(world, order.from));
    return {};
}

CommandResult GameSession::Refusal(const command::War& order) const
{
    if (const CommandRefusal why = MayAct(order.from); why != CommandRefusal::None)
        return Refused(why);
    if (const CommandBlock block = WarBlock(world, order.from); block != CommandBlock::None)
        return Refused(RefusalOf(block), RefusalWords(block));
    if (!GameState::IsCountryIndex(order.target) ||
        !world.countries[static_cast<std::size_t>(order.from)].IsHostileNeighbour(
            world.countries[static_cast<std::size_t>(order.target)]))
        return Refused(CommandRefusal::NotNeighbour, AttackRefusedWords(world, order.target));
    return {};
}

CommandResult GameSession::Refusal(const command::Rest&) const
{
    return mode == ViewMode::PlayerTurn ? CommandResult{} : Refused(CommandRefusal::NotNow);
}

CommandResult GameSession::Do(const command::Domestic& order)
{
    const CommandOutcome outcome = RunDomesticCommand(world, events, order.what, order.country);
    CommandResult result;
    result.done = outcome.done;
    result.words = outcome.words;
    m_acted = m_acted || outcome.done;
    return result;
}

CommandResult GameSession::Do(const command::Move& order)
{
    ApplyMove(world, events, order.from, order.to, MoveAmounts{order.soldiers, order.provisions, order.funds});
    m_acted = true;
    CommandResult result;
    result.done = true;
    result.words = MoveDoneWords(world, order.to);
    return result;
}

CommandResult GameSession::Do(const command::War& order)
{
    CommandResult result;
    result.done = true;
    result.taken = ResolvePlayerBattle(world, events, order.from, order.target, m_host, world.commandRandom);
    m_acted = true;
    if (m_host.StopRequested()) {
        result.abandoned = true; // the battle window was closed because the program is ending
        return result;
    }
    result.words = AttackResultWords(world, order.target, result.taken);
    return result;
}

platform::Message GameSession::NoWorkerWords()
{
    return platform::Message(VELCOR_TEXT("Message", "ｺﾝﾋﾟｭｰﾀｰの手番を始められません (ｽﾚｯﾄﾞが足りません)"));
}

bool GameSession::CheckVictory()
{
    if (!IsUnified(world))
        return false;
    ReportVictory(world, events);
    return true;
}

CommandResult GameSession::Do(const command::Rest&)
{
    mode = ViewMode::ComputerTurns;
    if (!StartComputerTurns()) {
        mode = ViewMode::PlayerTurn;
        return Refused(CommandRefusal::NotNow, NoWorkerWords());
    }
    CommandResult result;
    result.done = true;
    return result;
}
