// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game_session.h"

#include <type_traits>
#include <utility>

#include "rules/battle.h"
#include "rules/commands.h"
#include "session/save_companions.h"

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
    case CommandBlock::Amounts:
        return CommandRefusal::Amounts;
    }
    return CommandRefusal::NotNow;
}

// The rules' refusal of a command of from (on target), in the session's terms.
CommandResult Blocked(const GameState& world, CommandBlock block, int from, std::optional<int> target)
{
    if (block == CommandBlock::None)
        return {};
    return Refused(RefusalOf(block), RefusalWords(world, block, from, target));
}

} // namespace

GameSession::GameSession(TurnHost& host, ComputerPlay play) : m_host(host), m_play(play)
{
    BuildRulerTable(world);
}

LoadOutcome GameSession::ReadWorld(const std::string& path, CountryFileUse use)
{
    LoadOutcome loaded = LoadCountryFile(world, path, use);
    if (loaded.status == LoadStatus::Loaded) {
        BuildRulerTable(world);
        m_setAside = {};
        m_setAsideFiles.clear();
        world.difficulty = Difficulty::Normal;
        if (use == CountryFileUse::SavedGame) {
            platform::Message difficultyWhy;
            platform::Message seatsWhy;
            world.difficulty = DifficultyBeside(path, &difficultyWhy);
            SeatsBeside(path, world, &seatsWhy);
            for (const auto& [file, why] : {std::pair{DifficultyFileName(path), &difficultyWhy},
                                            std::pair{SeatsFileName(path), &seatsWhy}}) {
                if (!why->empty()) {
                    m_setAside = *why;
                    m_setAsideFiles.push_back({file, *why});
                }
            }
        }
    }
    return loaded;
}

LoadOutcome GameSession::StartNewGame(const std::string& countryFile, RulerId player)
{
    return StartNewGame(countryFile, OnePersonSeats(player), player);
}

LoadOutcome GameSession::StartNewGame(const std::string& countryFile, const Seats& seats, RulerId first,
                                      Difficulty difficulty)
{
    LoadOutcome loaded = ReadWorld(countryFile, CountryFileUse::StartingWorld);
    if (loaded.status == LoadStatus::Loaded) {
        world.playerRuler = first;
        world.seats = seats;
        world.difficulty = difficulty;
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
    SimplifySeats(world);
    m_winner = 0;
    // The computer's turns come first: whatever turn the last game was at, a rest now
    // would be no command of a player's.
    SetPhase(TurnPhase::ComputerTurns);
    if (m_observer)
        m_observer->GameBegun(world, loaded);
    if (loaded)
        BeginLoadedGame(world, events);
    else
        BeginNewGame(world, events);
}

bool GameSession::SaveGame(const std::string& path, std::int32_t turnCursor, std::string* error) const
{
    return SaveCountryFile(world, path, turnCursor, error) && ReplaceCompanions(path, world, error);
}

std::int32_t GameSession::SaveCursor() const
{
    return Phase() == TurnPhase::AwaitingCommand ? world.turnCountry - 1 : world.turnCountry.Get();
}

RulerId GameSession::TurnRuler() const
{
    const TurnPhase phase = Phase();
    const int c = world.turnCountry;
    if ((phase != TurnPhase::AwaitingCommand && phase != TurnPhase::CommandGiven) || !GameState::IsCountryIndex(c))
        return 0;
    return world.countries[static_cast<std::size_t>(c)].GetRuler();
}

void GameSession::Resume()
{
    const int c = world.turnCountry;
    const RulerId atTurn = GameState::IsCountryIndex(c) ? world.countries[static_cast<std::size_t>(c)].GetRuler() : 0;
    RulerId winner = 0;
    TurnPhase phase = TurnPhase::ComputerTurns;
    if (Players(world).empty()) {
        winner = UnifyingRuler(world);
        phase = winner != 0 ? TurnPhase::Won : TurnPhase::Watching;
    } else if (!PlayersHoldACountry(world)) {
        phase = TurnPhase::Lost;
    } else if (world.IsPlayer(atTurn)) {
        winner = HoldsEveryCountry(world, atTurn) ? atTurn : 0;
        phase = winner != 0 ? TurnPhase::Won : TurnPhase::AwaitingCommand;
    }
    m_winner = winner;
    SetPhase(phase);
}

void GameSession::HandOver(TurnStop stop)
{
    switch (stop) {
    case TurnStop::Asked:
        break;
    case TurnStop::PlayerTurn: {
        // A player who already holds every country (a game loaded so) has won.
        const RulerId ruler = world.countries[static_cast<std::size_t>(world.turnCountry.Get())].GetRuler();
        if (HoldsEveryCountry(world, ruler))
            Win(ruler);
        else
            SetPhase(TurnPhase::AwaitingCommand);
        break;
    }
    case TurnStop::NoPlayer:
        SetPhase(TurnPhase::Lost);
        break;
    case TurnStop::MonthEnd:
        SetPhase(TurnPhase::Watching);
        break;
    case TurnStop::Unified:
        Win(UnifyingRuler(world));
        break;
    }
}

void GameSession::Win(RulerId ruler)
{
    // Told once: a game won and played on is still won.
    if (m_winner != ruler)
        ReportVictory(world, events, ruler);
    m_winner = ruler;
    SetPhase(TurnPhase::Won);
}

void GameSession::WinIfUnified(RulerId ruler)
{
    if (world.IsPlayer(ruler) && HoldsEveryCountry(world, ruler))
        Win(ruler);
}

bool GameSession::StartComputerTurns()
{
    if (Phase() != TurnPhase::ComputerTurns || m_worker.Running())
        return false;
    return RunComputerTurns(false);
}

bool GameSession::RunComputerTurns(bool rest)
{
    const TurnPhase before = Phase();
    SetPhase(TurnPhase::ComputerTurns);
    if (m_play != ComputerPlay::Here && m_worker.Start(m_host)) {
        if (rest && m_observer)
            m_observer->CommandGiven(command::Rest{});
        if (m_play == ComputerPlay::Joined)
            m_worker.Join();
        return true;
    }
    if (m_play == ComputerPlay::Background) {
        SetPhase(before);
        return false;
    }
    // Here, or joined with no thread to be had: the same turns on the calling thread.
    if (rest && m_observer)
        m_observer->CommandGiven(command::Rest{});
    TurnWorkerProc(world, events, m_host, [this](TurnStop stop) { HandOver(stop); });
    return true;
}

CommandRefusal GameSession::MayAct(int country) const
{
    if (Phase() != TurnPhase::AwaitingCommand)
        return CommandRefusal::NotNow;
    if (!GameState::IsCountryIndex(country) || country != world.turnCountry ||
        !world.IsPlayer(world.countries[static_cast<std::size_t>(country)].GetRuler()))
        return CommandRefusal::NotTurnCountry;
    return CommandRefusal::None;
}

bool GameSession::MayChangeSeat() const
{
    // The worker moves the phase on from ComputerTurns as its last change of the world.
    const TurnPhase phase = Phase();
    return phase == TurnPhase::AwaitingCommand || phase == TurnPhase::CommandGiven || phase == TurnPhase::Watching;
}

bool GameSession::ChangeSeat(SeatChange change)
{
    if (!MayChangeSeat() || change.ruler <= 0 || !GameState::IsRulerId(change.ruler))
        return false;
    change.seat = SimplestSeat(change.seat, world.difficulty);
    const Seat& seat = change.seat;
    Seat& now = world.seats[static_cast<std::size_t>(change.ruler)];
    if (now == seat)
        return false;
    now = seat;
    if (!world.IsPlayer(world.playerRuler)) {
        const std::vector<RulerId> players = Players(world);
        if (!players.empty())
            world.playerRuler = players.front();
    }
    if (m_observer)
        m_observer->SeatChanged(change);
    return true;
}

CommandResult GameSession::Check(const PlayerCommand& command) const
{
    return std::visit([this](const auto& order) { return Refusal(order); }, command);
}

CommandResult GameSession::Apply(const PlayerCommand& command)
{
    return std::visit(
        [this](const auto& order) {
            using Order = std::decay_t<decltype(order)>;
            CommandResult refused = Refusal(order);
            if constexpr (std::is_same_v<Order, command::War>) {
                // Unification is tested after a war whose target is refused too, as
                // after one fought: a player who holds every country has won.
                if (refused.refusal == CommandRefusal::NotNeighbour)
                    WinIfUnified(world.countries[static_cast<std::size_t>(order.from)].GetRuler());
            }
            if (refused.refusal != CommandRefusal::None)
                return refused;
            CommandResult result = Do(order);
            // A rest is heard as its computer's turns start (RunComputerTurns).
            if constexpr (!std::is_same_v<Order, command::Rest>) {
                if (m_observer && result.refusal == CommandRefusal::None)
                    m_observer->CommandGiven(order);
            }
            return result;
        },
        command);
}

CommandResult GameSession::Refusal(const command::Domestic& order) const
{
    if (const CommandRefusal why = MayAct(order.country); why != CommandRefusal::None)
        return Refused(why);
    return Blocked(world, DomesticBlock(world, order.what, order.country), order.country, std::nullopt);
}

CommandResult GameSession::Refusal(const command::Move& order) const
{
    if (const CommandRefusal why = MayAct(order.from); why != CommandRefusal::None)
        return Refused(why);
    const MoveAmounts amounts{order.soldiers, order.provisions, order.funds};
    return Blocked(world, MoveBlock(world, order.from, order.to, amounts), order.from, order.to);
}

CommandResult GameSession::Refusal(const command::War& order) const
{
    if (const CommandRefusal why = MayAct(order.from); why != CommandRefusal::None)
        return Refused(why);
    return Blocked(world, WarBlock(world, order.from, order.target), order.from, order.target);
}

CommandResult GameSession::Refusal(const command::Rest&) const
{
    const TurnPhase phase = Phase();
    // After a victory the computer may still play on (a record may end so); a game
    // lost has nothing left to play.
    return phase == TurnPhase::AwaitingCommand || phase == TurnPhase::CommandGiven ||
                   phase == TurnPhase::Watching || phase == TurnPhase::Won
               ? CommandResult{}
               : Refused(CommandRefusal::NotNow);
}

CommandResult GameSession::Do(const command::Domestic& order)
{
    const CommandOutcome outcome = RunDomesticCommand(world, events, order.what, order.country);
    CommandResult result;
    result.done = outcome.done;
    result.words = outcome.words;
    if (outcome.done)
        SetPhase(TurnPhase::CommandGiven);
    return result;
}

CommandResult GameSession::Do(const command::Move& order)
{
    ApplyMove(world, events, order.from, order.to, MoveAmounts{order.soldiers, order.provisions, order.funds});
    SetPhase(TurnPhase::CommandGiven);
    CommandResult result;
    result.done = true;
    result.words = MoveDoneWords(world, order.to);
    return result;
}

CommandResult GameSession::Do(const command::War& order)
{
    const RulerId ruler = world.countries[static_cast<std::size_t>(order.from)].GetRuler();
    CommandResult result;
    result.done = true;
    result.taken = ResolvePlayerBattle(world, events, order.from, order.target, m_host, world.commandRandom);
    SetPhase(TurnPhase::CommandGiven);
    if (m_host.StopRequested()) {
        result.abandoned = true; // the battle window was closed because the program is ending
        return result;
    }
    result.words = AttackResultWords(world, order.target, result.taken);
    WinIfUnified(ruler);
    return result;
}

CommandResult GameSession::Do(const command::Rest&)
{
    if (!RunComputerTurns(true))
        return Refused(CommandRefusal::NotNow, NoWorkerWords());
    CommandResult result;
    result.done = true;
    return result;
}

platform::Message GameSession::NoWorkerWords()
{
    return platform::Message(VELCOR_TEXT("Message", "ｺﾝﾋﾟｭｰﾀｰの手番を始められません (ｽﾚｯﾄﾞが足りません)"));
}
