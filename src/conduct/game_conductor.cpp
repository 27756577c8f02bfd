// SPDX-License-Identifier: GPL-3.0-or-later
#include "conduct/game_conductor.h"

#include <filesystem>
#include <type_traits>
#include <utility>
#include <variant>

#include "foresight/look_ahead_ruler.h"
#include "model/country_file.h"
#include "platform/text_file.h"
#include "rules/commands.h"
#include "rules/names.h"
#include "session/save_companions.h"

namespace {

// The message window of the game's end, which waits as the prompts do.
constexpr int kEndMessageMs = 1000;

constexpr const char* kNoGame = VELCOR_TEXT("Message", "ゲームが始まっていません");
constexpr const char* kOthersTurn = VELCOR_TEXT("Message", "ほかの国の番です");
// A remote seat's turn: its player gives it at another machine.
constexpr const char* kRemoteTurn = VELCOR_TEXT("Message", "%1 (ﾈｯﾄﾜｰｸ)");
constexpr const char* kChoosingMove = VELCOR_TEXT("Message", "移動先を選択中です (右クリックまたは Esc で取り消し)");
constexpr const char* kChoosingWar = VELCOR_TEXT("Message", "攻撃先を選択中です (右クリックまたは Esc で取り消し)");
constexpr const char* kGameOver = VELCOR_TEXT("Message", "ゲームは終わりました");
constexpr const char* kActed = VELCOR_TEXT("Message", "この番の行動は済みました (休養で番を終えます)");
constexpr const char* kRested = VELCOR_TEXT("Message", "この番の行動は済みました");
constexpr const char* kReplaying = VELCOR_TEXT("Message", "記録の再生中です");
constexpr const char* kNoTurnBack = VELCOR_TEXT("Message", "戻れる手番がありません");
constexpr const char* kOnlyAtTurn = VELCOR_TEXT("Message", "ﾌﾟﾚｲﾔｰの手番にだけ戻れます");
constexpr const char* kNetworked = VELCOR_TEXT("Message", "ﾈｯﾄﾜｰｸ対戦では戻れません");
constexpr const char* kNotInRecord = VELCOR_TEXT("Message", "その手番は記録にありません");
constexpr const char* kWaitForComputer = VELCOR_TEXT("Message", "ｺﾝﾋﾟｭｰﾀｰの手番が終わるまでお待ちください");
constexpr const char* kNoStart = VELCOR_TEXT("Message", "記録に始まりがありません");
constexpr const char* kNotScreensTurn = VELCOR_TEXT("Message", "この画面でﾌﾟﾚｲする君主の番ではありません");
constexpr const char* kNotYourTurn = VELCOR_TEXT("Message", "%1 の番ではありません");

// Between two looks whether a seat has chosen its command, and from its command to its
// rest (long enough to read what it did).
constexpr int kSeatPollMs = 100;
constexpr int kSeatRestMs = 600;

// The domestic command of a turn command, if it is one.
std::optional<DomesticCommand> DomesticOf(TurnCommand command)
{
    switch (command) {
    case TurnCommand::DevelopLand:
        return DomesticCommand::DevelopLand;
    case TurnCommand::DevelopCommerce:
        return DomesticCommand::DevelopCommerce;
    case TurnCommand::Conscript:
        return DomesticCommand::Conscript;
    case TurnCommand::Train:
        return DomesticCommand::Train;
    default:
        return std::nullopt;
    }
}

} // namespace

GameConductor::GameConductor(ComputerPlay play, bool recording) : m_session(*this, play)
{
    if (recording)
        m_recorder.emplace().Attach(m_session);
    planner = &foresight::DefaultPlanner(); // for the computer rulers who look ahead (達人)
    m_published = std::make_shared<const TurnDescription>();
}

GameConductor::~GameConductor()
{
    EndWorker();
    m_session.SetObserver(nullptr);
    m_session.world.clock.Listen(nullptr);
}

void GameConductor::EndWorker()
{
    if (m_session.Worker().Running()) {
        RequestStop();
        m_session.Worker().Join();
    }
}

// ---- The turn described ----

TurnStage GameConductor::Stage() const
{
    const TurnPhase phase = m_session.Phase();
    if (phase == TurnPhase::NoGame || m_endPutAway)
        return TurnStage::NoGame;
    if (m_battle)
        return TurnStage::Battle;
    if (WorkerActive() && !m_reaching)
        return TurnStage::ComputerTurns;
    if (phase == TurnPhase::Won)
        return TurnStage::Won;
    if (phase == TurnPhase::Lost)
        return TurnStage::Lost;
    if (!m_atTurn)
        return TurnStage::ComputerTurns;
    if (m_handingOver)
        return TurnStage::HandingOver;
    if (m_replay && !JoinedTurn())
        return TurnStage::Replaying;
    if (phase == TurnPhase::Watching)
        return TurnStage::Watching;
    return m_choosing;
}

platform::Message GameConductor::StageReason(TurnStage stage, TurnCommand command, bool commandGiven)
{
    switch (stage) {
    case TurnStage::NoGame:
        return platform::Message(kNoGame);
    case TurnStage::ChoosingMove:
        return platform::Message(kChoosingMove);
    case TurnStage::ChoosingWar:
        return platform::Message(kChoosingWar);
    case TurnStage::Won:
    case TurnStage::Lost:
        return platform::Message(kGameOver);
    case TurnStage::Replaying:
        return platform::Message(kReplaying);
    case TurnStage::Command:
        if (commandGiven)
            return platform::Message(command == TurnCommand::Rest ? kRested : kActed);
        return {};
    default:
        return platform::Message(kOthersTurn);
    }
}

TurnDescription GameConductor::Make() const
{
    const GameState& world = m_session.world;
    TurnDescription d;
    d.stage = Stage();
    d.commandGiven = m_session.Phase() == TurnPhase::CommandGiven;
    d.replaying = m_replay.has_value();
    d.networked = m_networked;
    d.winner = m_session.Winner();
    d.previous = m_previous;
    d.status = m_status;
    d.persons = ScreenPersons(world.seats);
    const bool personsTurn = d.stage == TurnStage::Command || d.Choosing() || d.stage == TurnStage::HandingOver ||
                             d.stage == TurnStage::Replaying || (d.stage == TurnStage::Battle && m_atTurn);
    if (personsTurn) {
        d.acting = m_session.TurnRuler();
        d.country = d.acting != 0 ? world.turnCountry.Get() : -1;
    }
    if (d.country >= 0) {
        d.moveTargets = MoveTargets(world, d.country);
        d.warTargets = AttackTargets(world, d.country);
    }
    // A turn whose commands are not this screen's (the advisor's, another machine's)
    // offers none here.
    const bool elsewhere = d.acting != 0 && !AtThisScreen(d.acting);
    const bool open = (d.stage == TurnStage::Command && !elsewhere) || d.stage == TurnStage::Watching;
    const int from = world.turnCountry;
    std::array<platform::Message, kTurnCommandCount> reasons;
    if (d.stage == TurnStage::Command && !d.commandGiven)
        reasons = CommandReasons(world, from);
    for (const TurnCommand command : kTurnCommands) {
        CommandState& state = d.commands[static_cast<std::size_t>(command)];
        if (!open || (d.stage == TurnStage::Watching && command != TurnCommand::Rest)) {
            state.why = (elsewhere && d.stage == TurnStage::Command) || (m_joinedSeat != 0 && d.stage == TurnStage::Replaying)
                            ? platform::Message(kNotScreensTurn)
                            : StageReason(d.stage, command, d.commandGiven);
            continue;
        }
        // A watched game is stepped by its own controls, not by the rest's button.
        state.offered = d.stage == TurnStage::Command && (command == TurnCommand::Rest || !d.commandGiven);
        if (d.commandGiven && command != TurnCommand::Rest) {
            state.why = StageReason(d.stage, command, true);
            continue;
        }
        // The session's own test: a move or a war may act when it may go to a target.
        const platform::Message& why = reasons[IndexOf(command)];
        if (command == TurnCommand::Move || command == TurnCommand::War) {
            const bool move = command == TurnCommand::Move;
            for (const int target : move ? d.moveTargets : d.warTargets) {
                const PlayerCommand given = CommandOf(command, target);
                if (m_session.Check(given).refusal == CommandRefusal::None) {
                    state.allowed = true;
                    break;
                }
            }
        } else {
            state.allowed = m_session.Check(CommandOf(command)).refusal == CommandRefusal::None;
        }
        if (!state.allowed)
            state.why = why.empty() ? StageReason(TurnStage::ComputerTurns, command, false) : why;
    }
    return d;
}

const TurnDescription& GameConductor::Describe()
{
    if (m_describedAt != m_changes) {
        const std::uint64_t sequence = m_description.sequence + 1;
        m_description = Make();
        m_description.sequence = sequence;
        m_describedAt = m_changes;
        auto published = std::make_shared<const TurnDescription>(m_description);
        std::lock_guard lock(m_publishedMutex);
        m_published = std::move(published);
    }
    return m_description;
}

std::shared_ptr<const TurnDescription> GameConductor::Published() const
{
    std::lock_guard lock(m_publishedMutex);
    return m_published;
}

void GameConductor::Changed()
{
    ++m_changes;
    if (m_describing)
        m_listener->Described(Describe());
}

PlayerCommand GameConductor::CommandOf(TurnCommand command, int target, const MoveAmounts& amounts) const
{
    const int from = m_session.world.turnCountry;
    if (const std::optional<DomesticCommand> what = DomesticOf(command))
        return command::Domestic{*what, from};
    switch (command) {
    case TurnCommand::Move:
        return command::Move{from, target, amounts.soldiers, amounts.provisions, amounts.funds};
    case TurnCommand::War:
        return command::War{from, target};
    default:
        return command::Rest{};
    }
}

// ---- Words ----

void GameConductor::SetStatus(const platform::Message& words)
{
    m_status = words;
    m_listener->Status(words);
}

void GameConductor::Tell(const platform::Message& words, int milliseconds)
{
    if (StopRequested() || CatchingUp())
        return; // the program is closing, or the past is being played: nothing is shown
    m_listener->Tell(words, milliseconds);
}

void GameConductor::SayTurnStatus() { SetStatus(TurnStatusWords(World(), World().turnCountry)); }

// ---- The worker's host ----

void GameConductor::TurnBegin(int country)
{
    // At every computer country's turn: on the worker's own thread a plain call.
    if (!m_marshalling)
        m_listener->TurnBegan(country);
    else
        Marshalled([this, country] { m_listener->TurnBegan(country); });
}

void GameConductor::MarkBattle(int attacker, int target) { m_listener->BattleMarked(attacker, target); }

void GameConductor::PlayerTurn(int country)
{
    AsOwner([&] {
        m_reaching = true;
        Reached(country);
        m_reaching = false;
        // The worker's last call: from here it only returns, so a new game may join it.
        m_workerHandedOver = true;
        Changed();
    });
}

void GameConductor::ShowMessage(const platform::Message& words, int milliseconds)
{
    AsOwner([&] {
        // The computer's announcements replace the player's last result.
        SetStatus(words);
        if (!StopRequested() && !CatchingUp())
            m_listener->Say(words, milliseconds);
    });
}

bool GameConductor::Present(BattleScript& script)
{
    bool fought = true;
    bool quiet = false;
    if (!AsOwner([&] {
            // The past being played fights its battles at once, off screen.
            if ((quiet = CatchingUp()))
                return;
            m_battle = true;
            Changed();
            fought = m_listener->ShowBattle(script);
            m_battle = false;
            Changed();
        }))
        return false;
    if (quiet) {
        script.Start();
        script.Finish();
    }
    return fought && !StopRequested();
}

void GameConductor::NoteFallen()
{
    for (RulerId r = 1; r < kRulerCount; ++r)
        m_fallen[static_cast<std::size_t>(r)] = RoleOf(World(), r).HandedOver() && !HoldsACountry(World(), r);
}

void GameConductor::TellFallen()
{
    if (!SeveralAtScreen() || m_session.Ended())
        return; // one person's fall, or the last one's, ends the game
    for (RulerId r = 1; r < kRulerCount; ++r) {
        bool& told = m_fallen[static_cast<std::size_t>(r)];
        if (!told && RoleOf(World(), r).HandedOver() && !HoldsACountry(World(), r)) {
            told = true;
            m_listener->PersonFell(r);
        }
    }
}

void GameConductor::Reached(int country)
{
    MakeWaitingChanges();
    const TurnPhase phase = m_session.Phase();
    m_atTurn = phase != TurnPhase::Lost;
    m_choosing = TurnStage::Command;
    if (m_describing)
        TellFallen();
    // The turn is handed over only between persons at this screen: a seat that plays
    // itself between two of them hands nothing over.
    const RulerId turnRuler = m_session.TurnRuler();
    const RulerId person = RoleOf(World(), turnRuler).HandedOver() ? turnRuler : 0;
    if (person != 0 && person != m_lastPerson) {
        m_previous = 0;
        if (m_lastPerson != 0 && SeveralAtScreen() && m_joinedSeat == 0) {
            m_previous = m_lastPerson;
            m_handingOver = true;
            Changed();
            m_listener->HandingOver(person);
            m_handingOver = false;
        }
        m_lastPerson = person;
    }
    // The turn's line (a game without a description to tell has no status line).
    if (m_describing && (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::Won)) {
        const RulerId ruler = m_session.TurnRuler();
        const bool remote = phase == TurnPhase::AwaitingCommand && GameState::IsRulerId(ruler) && ruler != 0 &&
                            ruler != m_joinedSeat && World().seats[static_cast<std::size_t>(ruler)] == Seat::Remote();
        SetStatus(remote ? platform::Message(kRemoteTurn, {TurnStatusWords(World(), country)})
                         : TurnStatusWords(World(), country));
    }
    else if (phase == TurnPhase::Lost)
        SetStatus(platform::Message(kGameOverMessage));
    Changed();
    m_listener->TurnReached(country);
    if (m_restingFor != 0) {
        // The rests go on while the turn is the same person's in the same month; the
        // next is given once the worker has handed the turn back (a joined seat's, once
        // the record followed has caught up).
        const RulerId here = AtThisScreen(turnRuler) ? turnRuler : 0;
        if (phase == TurnPhase::AwaitingCommand && here == m_restingFor &&
            World().year * 12 + World().month == m_restingMonth)
            m_listener->StepDue(0);
        else
            m_restingFor = 0;
    }
    if (phase == TurnPhase::Watching && !m_watchPaused && !m_replay)
        m_listener->StepDue(m_watchMs);
    if (phase == TurnPhase::Lost) {
        Tell(platform::Message(kGameOverMessage), kEndMessageMs);
        m_listener->GameEnded();
    } else if (phase == TurnPhase::Won) {
        EndIfWon(); // a game loaded already won
    }
    if (m_replay && !m_replayBeginning)
        m_listener->StepDue(ReplayPace());
    PlaySeat();
    m_listener->TurnSettled();
}

void GameConductor::EndIfWon()
{
    if (m_session.Phase() != TurnPhase::Won)
        return;
    m_atTurn = false;
    // The picture and the buttons of the end are in place under the message.
    SetStatus(platform::Message(kUnified));
    Changed();
    m_listener->GameWon();
    Tell(m_status, kResultMessageMs);
    m_listener->GameEnded();
}

void GameConductor::PutEndAway()
{
    if (Stage() != TurnStage::Won && Stage() != TurnStage::Lost)
        return;
    m_endPutAway = true;
    Changed();
}

// ---- The players' commands ----

bool GameConductor::Rest()
{
    if (m_joinedSeat == 0 || !m_following)
        return RestHere();
    if (!JoinedTurn())
        return false;
    m_joinedSentAt = m_replay->steps.size();
    Changed();
    m_sendJoined(command::Rest{});
    return true;
}

bool GameConductor::RestHere()
{
    // Joining a worker that still waits on this thread would never return.
    if (WorkerActive())
        return false;
    m_session.Worker().Join(); // the last worker has handed over; it ends at once
    m_seatChoice.reset(); // whatever a seat was choosing was for the turn that ends
    m_seatGave = false;
    // At a player's turn the rest is his command; a new or loaded game hands over to the
    // computer at once.
    const bool atTurn = m_session.Phase() != TurnPhase::ComputerTurns;
    const bool personsRest = m_session.Phase() == TurnPhase::AwaitingCommand || m_session.Phase() == TurnPhase::CommandGiven;
    const bool wasAtTurn = std::exchange(m_atTurn, false);
    m_choosing = TurnStage::Command;
    m_workerHandedOver = false;
    // On this thread the computer's turns run to their end before Apply returns,
    // handing the turn back (Reached) before it does.
    const bool background = m_session.GetComputerPlay() == ComputerPlay::Background;
    const std::uint64_t before = m_changes;
    const CommandResult rest = atTurn ? m_session.Apply(command::Rest{}) : CommandResult{};
    const bool started = atTurn ? rest.refusal == CommandRefusal::None : m_session.StartComputerTurns();
    if (!started) {
        // No thread for the computer: the game waits where it is, for another try.
        m_atTurn = wasAtTurn;
        m_workerHandedOver = true;
        Changed();
        if (!atTurn || !rest.words.empty())
            m_listener->Trouble(GameSession::NoWorkerWords());
        return false;
    }
    m_tiedCursor = -2;
    m_unsaved = m_unsaved || (personsRest && !m_replay);
    if (!background) {
        m_workerHandedOver = true;
        if (m_changes == before)
            Changed();
        return true;
    }
    Changed();
    m_listener->ComputerTurnsStarted();
    return true;
}

bool GameConductor::CanRestRemaining() const
{
    if (m_joinedSeat != 0 && m_following)
        return JoinedTurn();
    const TurnPhase phase = m_session.Phase();
    return m_atTurn && !m_replay && !WorkerActive() && (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::CommandGiven);
}

bool GameConductor::RestRemaining()
{
    if (!CanRestRemaining())
        return false;
    m_restingFor = m_session.TurnRuler();
    m_restingMonth = World().year * 12 + World().month;
    if (!Rest()) {
        m_restingFor = 0;
        return false;
    }
    return true;
}

void GameConductor::Step()
{
    if (m_replay) {
        StepReplay();
    } else if (m_seatChoice) {
        StepSeat();
    } else if (m_restingFor != 0) {
        if (!CanRestRemaining() || m_session.TurnRuler() != m_restingFor || !Rest())
            m_restingFor = 0;
    } else {
        StepWatch();
    }
}

// ---- Seats ----

void GameConductor::PlaySeat()
{
    m_seatChoice.reset();
    m_seatGave = false;
    const TurnPhase phase = m_session.Phase();
    // (At the turn reached the worker is handing over: its steps come after.)
    if (!m_playsSeats || m_replay || (WorkerActive() && !m_reaching) ||
        (phase != TurnPhase::AwaitingCommand && phase != TurnPhase::CommandGiven))
        return;
    const RulerId ruler = m_session.TurnRuler();
    const SeatRole& role = RoleOf(World(), ruler);
    if (role.GivenFromOutside())
        return;
    // After its command only the rest is left (a seat handed over then).
    m_seatGave = phase == TurnPhase::CommandGiven;
    SeatDecisionOptions options;
    options.advice = m_seatAdvice;
    options.background = m_session.GetComputerPlay() == ComputerPlay::Background;
    m_seatChoice = role.Choose(World(), options);
    if (m_seatChoice)
        m_listener->StepDue(m_seatChoice->Ready() ? 0 : kSeatPollMs);
}

void GameConductor::StepSeat()
{
    if (!m_seatChoice->Ready()) {
        m_listener->StepDue(kSeatPollMs);
        return;
    }
    if (!m_seatGave) {
        m_seatGave = true;
        if (const std::optional<PlayerCommand> command = m_seatChoice->Command();
            command && !std::holds_alternative<command::Rest>(*command)) {
            // Shown as a person's command is; the rest follows once it has been seen.
            const CommandResult result = GiveHere(*command);
            if (m_seatChoice && m_session.Phase() == TurnPhase::CommandGiven && !result.abandoned)
                m_listener->StepDue(kSeatRestMs);
            return;
        }
    }
    m_seatChoice.reset();
    Rest();
}

void GameConductor::MakeWaitingChanges()
{
    std::vector<SeatChange> changes = std::move(m_waitingChanges);
    m_waitingChanges.clear();
    for (const SeatChange& change : changes)
        m_session.ChangeSeat(change);
}

Seat GameConductor::SeatOf(RulerId ruler) const
{
    Seat seat = World().seats[static_cast<std::size_t>(GameState::IsRulerId(ruler) ? ruler : 0)];
    for (const SeatChange& change : m_waitingChanges)
        if (change.ruler == ruler)
            seat = change.seat;
    return seat;
}

bool GameConductor::ChangeSeat(RulerId ruler, const Seat& seat)
{
    if (ruler <= 0 || !GameState::IsRulerId(ruler) || m_replay || !CanSave() ||
        SimplestSeat(SeatOf(ruler), World().difficulty) == SimplestSeat(seat, World().difficulty))
        return false;
    if (WorkerActive()) {
        // Made at the next stop, before its turn is handed to anyone.
        std::erase_if(m_waitingChanges, [ruler](const SeatChange& c) { return c.ruler == ruler; });
        if (SimplestSeat(World().seats[static_cast<std::size_t>(ruler)], World().difficulty) !=
            SimplestSeat(seat, World().difficulty))
            m_waitingChanges.push_back({ruler, seat});
        return true;
    }
    const bool watched = Players(World()).empty();
    if (!m_session.ChangeSeat({ruler, seat}))
        return false;
    m_unsaved = true;
    m_tiedCursor = -2;
    NoteFallen();
    // The turn of a person taken back is his at this screen; one handed to a seat that
    // plays itself is played by it.
    const RulerId turnRuler = m_session.TurnRuler();
    if (turnRuler != 0 && RoleOf(World(), turnRuler).HandedOver())
        m_lastPerson = turnRuler;
    Changed();
    if (ruler == turnRuler)
        PlaySeat();
    else if (watched && !Players(World()).empty() && m_session.Phase() == TurnPhase::Watching)
        m_listener->StepDue(0); // a watched game taken back goes on to his turn
    return true;
}

platform::Message GameConductor::SeatRefusal(RulerId from) const
{
    // At no player's turn the session says why (NotNow).
    const RulerId acting = m_session.TurnRuler();
    if (acting == 0)
        return {};
    if (from == kThisScreen)
        return AtThisScreen(acting) ? platform::Message() : platform::Message(kNotScreensTurn);
    if (from == acting && RoleOf(World(), acting).GivenFromOutside())
        return {};
    if (!GameState::IsRulerId(from))
        return platform::Message(kNotYourTurn, {platform::Message::Number(from)});
    return platform::Message(kNotYourTurn, {RulerWords(World(), from)});
}

CommandResult GameConductor::Give(const PlayerCommand& command, RulerId from)
{
    if (platform::Message why = SeatRefusal(from); !why.empty()) {
        CommandResult refused;
        refused.refusal = CommandRefusal::NotYourTurn;
        refused.words = std::move(why);
        SetStatus(refused.words);
        return refused;
    }
    if (m_joinedSeat == 0 || !m_following || from != kThisScreen)
        return GiveHere(command);
    // The joined seat's command goes to the game's host, once the rules here take it.
    CommandResult result = JoinedTurn() ? m_session.Check(command) : CommandResult{};
    if (!JoinedTurn()) {
        result.refusal = CommandRefusal::NotNow;
        result.words = StageReason(Stage(), TurnCommand::Rest, false);
    }
    if (result.refusal != CommandRefusal::None) {
        SetStatus(result.words);
        Changed();
        return result;
    }
    m_choosing = TurnStage::Command;
    m_joinedSentAt = m_replay->steps.size();
    Changed();
    m_sendJoined(command);
    return result;
}

bool GameConductor::AtThisScreen(RulerId ruler) const
{
    if (m_joinedSeat != 0 && m_following)
        return ruler == m_joinedSeat;
    return RoleOf(World(), ruler).HandedOver();
}

void GameConductor::SetJoinedSeat(RulerId seat, std::function<void(const PlayerCommand&)> send)
{
    m_joinedSeat = GameState::IsRulerId(seat) ? seat : 0;
    m_sendJoined = std::move(send);
    m_joinedSentAt.reset();
    Changed();
}

bool GameConductor::JoinedTurn() const
{
    const TurnPhase phase = m_session.Phase();
    return m_joinedSeat != 0 && m_following && m_nextStep >= m_replay->steps.size() && m_atTurn && !m_battle && !WorkerActive() &&
           m_session.TurnRuler() == m_joinedSeat && World().seats[static_cast<std::size_t>(m_joinedSeat)] == Seat::Remote() &&
           (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::CommandGiven) &&
           m_joinedSentAt != m_replay->steps.size();
}

RulerId GameConductor::RemoteTurnAwaited() const
{
    if (JoinedTurn())
        return m_joinedSeat;
    const TurnPhase phase = m_session.Phase();
    const RulerId ruler = m_session.TurnRuler();
    const bool awaited = m_following && m_nextStep >= m_replay->steps.size() && m_atTurn && !m_battle &&
                         !WorkerActive() && GameState::IsRulerId(ruler) &&
                         World().seats[static_cast<std::size_t>(ruler)] == Seat::Remote() &&
                         (phase == TurnPhase::AwaitingCommand || phase == TurnPhase::CommandGiven);
    return awaited ? ruler : 0;
}

void GameConductor::JoinedRefused(const platform::Message& words)
{
    m_joinedSentAt.reset();
    m_restingFor = 0; // the turn waits for him again
    SetStatus(words);
    Changed();
}

CommandResult GameConductor::GiveHere(const PlayerCommand& command)
{
    m_choosing = TurnStage::Command;
    m_tiedCursor = -2;
    const CommandResult result = m_session.Apply(command);
    if (result.abandoned)
        return result; // the battle window was closed because the program is ending
    m_unsaved = m_unsaved || (result.done && !m_replay);
    const bool domestic = std::holds_alternative<command::Domestic>(command);
    const bool war = std::holds_alternative<command::War>(command);
    if (!domestic || (result.refusal != CommandRefusal::NotNow && result.refusal != CommandRefusal::NotTurnCountry))
        SetStatus(result.words);
    Changed();
    m_listener->CommandGiven(command, result);
    if (war || (std::holds_alternative<command::Move>(command) && result.done))
        Tell(m_status, kResultMessageMs);
    if (war && !StopRequested())
        EndIfWon();
    if (war && result.done && !StopRequested())
        TellFallen(); // his last country taken by another person
    if (m_oneKeyTurn && !m_replay && result.done && m_session.Phase() == TurnPhase::CommandGiven && !StopRequested())
        Rest();
    return result;
}

bool GameConductor::BeginChoice(TurnCommand command)
{
    const TurnDescription& d = Describe();
    if (d.stage != TurnStage::Command || d.commandGiven ||
        (command != TurnCommand::Move && command != TurnCommand::War))
        return false;
    // What the country lacks refuses the war here; the target is chosen next.
    if (command == TurnCommand::War) {
        if (const CommandBlock block = WarBlock(World(), World().turnCountry); IsShortage(block)) {
            SetStatus(RefusalWords(block));
            return false;
        }
    }
    m_choosing = command == TurnCommand::Move ? TurnStage::ChoosingMove : TurnStage::ChoosingWar;
    Changed();
    Tell(platform::Message(command == TurnCommand::Move ? kChooseMoveTarget : kChooseAttackTarget), kPromptMessageMs);
    SetStatus(platform::Message(command == TurnCommand::Move ? kChooseMoveTarget : kChooseAttackTarget));
    return true;
}

void GameConductor::CancelChoice()
{
    if (m_choosing == TurnStage::Command)
        return;
    m_choosing = TurnStage::Command;
    SayTurnStatus();
    Changed();
}

void GameConductor::EndChoice()
{
    if (m_choosing == TurnStage::Command)
        return;
    m_choosing = TurnStage::Command;
    Changed();
}

// ---- Watching ----

void GameConductor::SetWatchPaused(bool paused)
{
    const bool changed = paused != m_watchPaused;
    m_watchPaused = paused;
    if (changed)
        m_listener->WatchPaused(paused);
    if (paused)
        m_listener->StepDue(-1);
    else if (Stage() == TurnStage::Watching)
        m_listener->StepDue(m_watchMs);
}

void GameConductor::StepWatch()
{
    if (Stage() == TurnStage::Watching)
        Rest();
}

// ---- New game, save and load ----

void GameConductor::ForgetSeatPlay()
{
    m_seatChoice.reset();
    m_seatGave = false;
    m_waitingChanges.clear();
}

void GameConductor::Begin()
{
    m_listener->StepDue(-1);
    ForgetSeatPlay();
    m_atTurn = false;
    m_restingFor = 0;
    m_lastPerson = 0;
    m_previous = 0;
    m_endPutAway = false;
    m_choosing = TurnStage::Command;
    m_unsaved = false;
    NoteFallen();
    m_status = {};
    Changed();
    m_listener->GameBegun();
    m_listener->Status(m_status);
    RestHere();
}

void GameConductor::BeginGame(bool loaded, bool play)
{
    m_tiedCursor = -2;
    m_session.BeginGame(loaded);
    if (play) {
        Begin();
        return;
    }
    ForgetSeatPlay();
    m_atTurn = false;
    m_lastPerson = 0;
    m_previous = 0;
    m_endPutAway = false;
    m_choosing = TurnStage::Command;
    Changed();
}

bool GameConductor::NewGame(const std::string& countryFile, const Seats& seats, RulerId first, platform::Message* why)
{
    if (!CanStartGame())
        return false;
    const LoadOutcome loaded = m_session.ReadWorld(countryFile, CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        if (why)
            *why = loaded.words;
        return false;
    }
    if (m_replay && !m_replayBeginning)
        EndReplay({});
    m_session.world.difficulty = m_newGameDifficulty;
    m_listener->WorldReplaced({});
    m_session.world.playerRuler = first;
    m_session.world.seats = seats;
    BeginGame(false);
    return true;
}

bool GameConductor::LoadGame(const std::string& path, platform::Message* why, std::vector<platform::Message>* notices)
{
    if (!CanStartGame())
        return false;
    const LoadOutcome loaded = m_session.ReadWorld(path, CountryFileUse::SavedGame);
    if (loaded.status != LoadStatus::Loaded) {
        if (why)
            *why = loaded.words;
        return false;
    }
    if (m_replay)
        EndReplay({});
    if (notices && !m_session.SetAside().empty())
        notices->push_back(m_session.SetAside());
    m_listener->WorldReplaced(path);
    // A save's record takes the story up from where it was saved; another game's is set
    // aside and the loaded game begins a record of its own.
    const std::string recordPath = RecordFileName(path);
    std::string saveBytes;
    std::error_code ignored;
    if (m_recorder && std::filesystem::exists(recordPath, ignored) && platform::ReadWholeFile(path, saveBytes, nullptr, nullptr)) {
        platform::Message unused;
        if (std::optional<RecordedGame> record = ReadRecordFile(recordPath, &unused, &saveBytes))
            m_recorder->ContinueFrom(std::move(*record));
        else if (notices)
            notices->push_back(platform::Message(VELCOR_TEXT("Message", "記録を使えません: %1"), {unused}));
    }
    BeginGame(true);
    return true;
}

bool GameConductor::CanSave() const
{
    const TurnPhase phase = m_session.Phase();
    return phase != TurnPhase::NoGame && phase != TurnPhase::Won && phase != TurnPhase::Lost;
}

std::int32_t GameConductor::SaveCursor() const
{
    return m_tiedCursor != -2 ? m_tiedCursor : m_session.SaveCursor();
}

RecordedGame GameConductor::RecordTiedTo(const std::string& saveBytes, std::int32_t cursor) const
{
    RecordedGame record = m_recorder ? m_recorder->Record() : RecordedGame{};
    record.tie = TieTo(saveBytes, cursor);
    return record;
}

bool GameConductor::SaveGame(const std::string& path, platform::Message* why, bool withRecord)
{
    if (!CanSave())
        return false;
    const std::int32_t cursor = SaveCursor();
    std::string error;
    if (!m_session.SaveGame(path, cursor, &error)) {
        if (why)
            *why = platform::Message(error.c_str());
        return false;
    }
    m_unsaved = false;
    if (!withRecord || !m_recorder)
        return true;
    std::string saveBytes;
    bool written = platform::ReadWholeFile(path, saveBytes, nullptr, &error);
    if (written)
        written = WriteRecordFile(RecordFileName(path), RecordTiedTo(saveBytes, cursor), &error);
    if (!written && why)
        *why = platform::Message(VELCOR_TEXT("Message", "記録を保存できませんでした\n%1\n%2"),
                                 {platform::Message::Plain(RecordFileName(path)), platform::Message(error.c_str())});
    return written;
}

// ---- Going back ----

std::size_t GameConductor::RecordedTurns() const { return m_recorder ? m_recorder->PlayerTurns() : 0; }

int GameConductor::CurrentTurn() const
{
    if (!m_atTurn)
        return -1;
    return static_cast<int>(RecordedTurns()) - 1;
}

int GameConductor::PersonsLastTurn()
{
    const int current = CurrentTurn();
    if (current < 1 || !m_recorder)
        return -1;
    const RulerId person = m_session.TurnRuler();
    if (!SeveralAtScreen() || person == 0)
        return current - 1; // every turn of the record is his
    // Whose each earlier turn was, from the record played again off screen.
    QuietGame replay;
    replay.Session().Host().planner = planner;
    int last = -1;
    int turn = 0;
    ReplayStop stop;
    stop.wanted = [&](const GameState& at) {
        if (turn >= current)
            return true;
        const int c = at.turnCountry;
        if (GameState::IsCountryIndex(c) && at.countries[static_cast<std::size_t>(c)].GetRuler() == person)
            last = turn;
        ++turn;
        return false;
    };
    const ReplayOutcome outcome = ReplayRecord(replay.Session(), m_recorder->Record(), stop);
    return outcome.played ? last : -1;
}

void GameConductor::SetNetworked(bool networked)
{
    if (std::exchange(m_networked, networked) != networked)
        Changed();
}

bool GameConductor::GoBackOneTurn(platform::Message* why)
{
    if (m_networked) {
        if (why)
            *why = platform::Message(kNetworked);
        return false;
    }
    const int turn = m_replay ? -1 : PersonsLastTurn();
    if (turn < 0) {
        if (why)
            *why = platform::Message(kNoTurnBack);
        return false;
    }
    ReplayStop stop;
    stop.playerTurn = static_cast<std::size_t>(turn);
    return GoBack(stop, why);
}

bool GameConductor::ResumeFrom(std::int32_t year, std::int32_t month, int country, platform::Message* why)
{
    if (m_replay)
        return false;
    ReplayStop stop;
    stop.wanted = [year, month, country](const GameState& world) {
        return world.year == year && world.month == month && world.turnCountry == country;
    };
    return GoBack(stop, why);
}

bool GameConductor::GoBack(const ReplayStop& stop, platform::Message* why)
{
    auto refuse = [why](const char* reason) {
        if (why)
            *why = platform::Message(reason);
        return false;
    };
    if (m_networked)
        return refuse(kNetworked);
    if (CurrentTurn() < 0 || !CanStartGame() || !m_recorder)
        return refuse(kOnlyAtTurn);
    const RecordedGame record = m_recorder->Record();
    if (stop.playerTurn && *stop.playerTurn >= PlayerTurnsOf(record))
        return refuse(kNotInRecord);

    // The game again from its start on a world of its own, its events told to whoever
    // hears this game's (the chronicle begins again).
    m_listener->WorldReplaced({});
    QuietGame replay;
    replay.Session().Host().planner = planner; // a game at 達人 looks ahead as it did
    for (EventObserver* observer : m_session.events.Observers())
        replay.Session().events.Add(observer);
    // Each turn passed over is told, as it would be when played.
    ReplayStop passing = stop;
    passing.wanted = [this, &stop](const GameState& at) {
        if (stop.wanted && stop.wanted(at))
            return true;
        m_listener->PlayerTurnPassed();
        return false;
    };
    const ReplayOutcome outcome = ReplayRecord(replay.Session(), record, passing);
    replay.Session().events.Clear();
    if (!outcome.played) {
        if (why)
            *why = outcome.words;
        return false;
    }
    if (!outcome.stopped) // the record's end: the game as it stands
        return refuse(kNotInRecord);

    // From here the game goes on as it went then: the clock after the last reading taken,
    // the record without what followed.
    GameState& world = replay.Session().world;
    world.clock.EndFeed();
    m_session.world = world;
    m_session.Resume();
    m_recorder->Replace(RecordUpTo(record, outcome.at));
    m_workerHandedOver = true;
    m_lastPerson = 0;
    m_restingFor = 0;
    m_previous = 0;
    m_tiedCursor = -2;
    ForgetSeatPlay();
    NoteFallen();
    m_listener->GameBegun();
    m_listener->TurnTakenBack();
    Reached(World().turnCountry);
    return true;
}

// ---- A record played back ----

bool GameConductor::StartReplay(RecordedGame record, platform::Message* why)
{
    if (record.Empty() || !std::holds_alternative<RecordStart>(record.steps.front())) {
        if (why)
            *why = platform::Message(kNoStart);
        return false;
    }
    if (!CanStartGame()) {
        if (why)
            *why = platform::Message(kWaitForComputer);
        return false;
    }
    // Played through off screen first: a record whose step the rules refuse is refused
    // whole, before any of it is shown.
    {
        QuietGame trial;
        trial.Session().Host().planner = planner;
        const ReplayOutcome tried = ReplayRecord(trial.Session(), record, ReplayStop{});
        if (!tried.played) {
            if (why)
                *why = tried.words;
            return false;
        }
    }
    m_readings = std::make_shared<const std::vector<std::int64_t>>(record.readings);
    m_replay = std::move(record);
    m_nextStep = 0;
    StepReplay();
    return m_replay.has_value();
}

void GameConductor::SetReplayPaused(bool paused)
{
    if (m_following && paused)
        return; // a record followed is played as it comes
    m_replayPaused = paused;
    if (paused)
        m_listener->StepDue(-1);
    else if (m_replay && m_atTurn && CanStartGame())
        m_listener->StepDue(ReplayPace());
}

void GameConductor::StepReplay()
{
    if (!m_replay || !CanStartGame())
        return;
    if (m_following && m_nextStep >= m_replay->steps.size()) {
        // The next step has not come yet: Follow goes on when it does.
        if (!std::exchange(m_followWaiting, true))
            Changed();
        // The joined seat's turn, caught up: the rest his command called for (one key a
        // turn) or 残りを休養 goes on, as at one screen.
        const bool commandGiven = m_session.Phase() == TurnPhase::CommandGiven;
        if (JoinedTurn() && ((commandGiven && m_oneKeyTurn) || m_restingFor == m_joinedSeat))
            Rest();
        return;
    }
    if (m_nextStep >= m_replay->steps.size()) {
        // Played to its end: a save made now is the save the record is tied to, as when
        // the record is played through at once.
        if (m_replay->tie && !m_following)
            m_tiedCursor = m_replay->tie->cursor;
        EndReplay({});
        return;
    }
    m_followWaiting = false;
    const RecordStep& step = m_replay->steps[m_nextStep++];
    if (const auto* start = std::get_if<RecordStart>(&step)) {
        // A later start is a save loaded with its record: the story goes on.
        if (m_nextStep > 1 && m_recorder)
            m_recorder->ContinueFrom(m_recorder->Record());
        m_replayBeginning = true;
        m_listener->WorldReplaced({});
        platform::Message words;
        const bool begun = BeginRecordedStart(m_session, *start, m_readings, &words);
        if (begun) {
            m_tiedCursor = -2;
            Begin();
        }
        m_replayBeginning = false;
        if (!begun)
            EndReplay(words);
        else if (m_atTurn)
            m_listener->StepDue(ReplayPace());
        return; // on at the player's turn
    }
    // A game that has ended has nothing more to play; a command the rules refuse is not
    // played (the record was checked whole, but the windows play it their own way).
    if (m_session.Ended()) {
        EndReplay({});
        return;
    }
    if (const auto* change = std::get_if<SeatChange>(&step)) {
        if (!m_session.ChangeSeat(*change)) {
            EndReplay(RecordDamagedAt(RecordStepLine(*m_replay, m_nextStep - 1)));
            return;
        }
        NoteFallen();
        Changed();
        m_listener->StepDue(ReplayPace());
        return;
    }
    const PlayerCommand& command = std::get<PlayerCommand>(step);
    if (m_session.Check(command).refusal != CommandRefusal::None) {
        EndReplay(RecordDamagedAt(RecordStepLine(*m_replay, m_nextStep - 1)));
        return;
    }
    if (std::holds_alternative<command::Rest>(command)) {
        RestHere();
        return;
    }
    GiveHere(command);
    if (m_replay)
        m_listener->StepDue(ReplayPace());
}

void GameConductor::EndReplay(const platform::Message& words)
{
    m_listener->StepDue(-1);
    m_replayEndWords = words;
    m_following = false;
    m_followWaiting = false;
    m_joinedSeat = 0;
    m_sendJoined = nullptr;
    m_replay.reset();
    m_readings.reset();
    // From here the clock is the game's own again, not the record's.
    if (CanStartGame())
        m_session.world.clock.EndFeed();
    Changed();
    m_listener->ReplayEnded(words);
}

bool GameConductor::Follow(const RecordedGame& part, std::size_t firstReading, std::size_t firstStep, bool fresh,
                          platform::Message* why)
{
    const auto refuse = [&](const char* words) {
        if (why)
            *why = platform::Message(words);
        return false;
    };
    if (fresh || !m_following) {
        if (!fresh || firstReading != 0 || firstStep != 0)
            return refuse(kNoStart);
        if (!CanStartGame())
            return refuse(kWaitForComputer);
        if (m_replay)
            EndReplay({});
        m_replay.emplace();
        m_following = true;
        m_followWaiting = true;
        m_replayPaused = false; // the record is played as it comes
        m_nextStep = 0;
        m_readings.reset();
    }
    RecordedGame& held = *m_replay;
    // A record begun anew past its start is the past (a start alone is the present).
    const bool catchUp = fresh && firstStep + part.steps.size() > 1;
    if (firstReading > held.readings.size() || firstStep > held.steps.size() || firstStep < m_nextStep)
        return refuse(kNoStart);
    held.readings.resize(firstReading);
    held.readings.insert(held.readings.end(), part.readings.begin(), part.readings.end());
    held.steps.resize(firstStep);
    held.steps.insert(held.steps.end(), part.steps.begin(), part.steps.end());
    if (!held.steps.empty() && !std::holds_alternative<RecordStart>(held.steps.front()))
        return refuse(kNoStart);
    // The clock goes on with the readings as they now stand, from where it is.
    m_readings = std::make_shared<const std::vector<std::int64_t>>(held.readings);
    if (m_session.world.clock.Feeding())
        m_session.world.clock.Feed(m_readings, m_session.world.clock.FedIndex());
    if (catchUp)
        CatchUp();
    // Waiting at the end of what was held: the game goes on with the next step.
    if (m_followWaiting && m_nextStep < held.steps.size())
        m_listener->StepDue(m_replayPaused ? -1 : 0);
    return true;
}

void GameConductor::CatchUp()
{
    if (m_following && m_replay)
        m_catchUpTo = m_replay->steps.size();
}

int GameConductor::ReplayPace() const
{
    if (m_replayPaused)
        return -1;
    return CatchingUp() ? 0 : m_replayMs;
}

bool GameConductor::CatchingUp() const { return m_following && m_replay && m_nextStep < m_catchUpTo; }

bool GameConductor::FollowStep(platform::Message* why)
{
    if (!m_following || !m_replay || m_nextStep >= m_replay->steps.size() || !CanStartGame())
        return false;
    const std::size_t before = m_nextStep;
    StepReplay();
    if (!m_following) {
        if (why)
            *why = m_replayEndWords;
        return false;
    }
    return m_nextStep > before;
}

ReplayOutcome GameConductor::PlayRecordThrough(const RecordedGame& record, const ReplayStop& stop,
                                               const std::function<void()>& atLastStep)
{
    ReplayOutcome outcome = ReplayRecord(m_session, record, stop, atLastStep);
    m_workerHandedOver = true;
    m_atTurn = m_session.Phase() != TurnPhase::ComputerTurns && m_session.Phase() != TurnPhase::NoGame;
    m_lastPerson = m_session.TurnRuler();
    m_previous = 0;
    m_choosing = TurnStage::Command;
    m_endPutAway = false;
    m_tiedCursor = outcome.played && !outcome.stopped && record.tie ? record.tie->cursor : -2;
    Changed();
    return outcome;
}

// ---- Without windows ----

foresight::PlayOnOutcome GameConductor::PlayOn(const foresight::PlayOnOptions& options)
{
    foresight::PlayOnOptions played = options;
    if (!played.seatCommand)
        played.seatCommand = SeatCommands(PersonSeats::Resting);
    const foresight::PlayOnOutcome outcome = foresight::PlayOn(m_session, played);
    m_workerHandedOver = true;
    return outcome;
}
