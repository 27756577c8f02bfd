// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game_replay.h"

#include "model/country_file.h"
#include "platform/text_file.h"

namespace {
constexpr const char* kNoStart = VELCOR_TEXT("Message", "記録に始まりがありません");
} // namespace

bool BeginRecordedStart(GameSession& session, const RecordStart& start,
                        std::shared_ptr<const std::vector<std::int64_t>> readings, platform::Message* why)
{
    GameState& world = session.world;
    const LoadOutcome loaded = LoadCountryText(world, start.world, "record",
                                               start.loaded ? CountryFileUse::SavedGame : CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        if (why)
            *why = loaded.words;
        return false;
    }
    BuildRulerTable(world);
    SeatPlayer(world, start.ruler);
    if (start.seats)
        world.seats = *start.seats;
    world.difficulty = start.difficulty;
    world.random.Seed(start.random);
    world.commandRandom.Seed(start.commandRandom);
    world.clock.Feed(std::move(readings), start.readingIndex);
    session.BeginGame(start.loaded);
    return true;
}

bool IsTiedSave(const GameState& world, const RecordTie& tie)
{
    return TieTo(platform::JoinLines(FormatCountryFile(CaptureWorld(world, tie.cursor))), tie.cursor) == tie;
}

RecordedGame RecordUpTo(const RecordedGame& record, const ReplayPoint& point)
{
    RecordedGame cut;
    cut.steps.assign(record.steps.begin(),
                     record.steps.begin() + static_cast<std::ptrdiff_t>(std::min(point.steps, record.steps.size())));
    cut.readings.assign(record.readings.begin(),
                        record.readings.begin() +
                            static_cast<std::ptrdiff_t>(std::min(point.readings, record.readings.size())));
    return cut;
}

ReplayOutcome ReplayRecord(GameSession& session, const RecordedGame& record, const ReplayStop& stop,
                           const std::function<void()>& atLastStep)
{
    ReplayOutcome outcome;
    if (record.steps.empty() || !std::holds_alternative<RecordStart>(record.steps.front())) {
        outcome.words = platform::Message(kNoStart);
        return outcome;
    }
    const auto readings = std::make_shared<const std::vector<std::int64_t>>(record.readings);
    GameState& world = session.world;
    ReplayPoint& at = outcome.at;
    std::int32_t lastMonth = world.month;
    // The computer's turns up to the players' next (played by the rest, or after a
    // start); true when the replay stops there.
    auto stretch = [&]() {
        const std::int32_t month = world.month;
        at.months += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        ++at.playerTurns;
        at.readings = world.clock.FedIndex();
        at.turnRuler = session.TurnRuler();
        // Stopped at a turn, before its commands, while steps are left.
        if (at.steps >= record.steps.size())
            return false;
        return (stop.months && at.months >= *stop.months) ||
               (stop.playerTurn && at.playerTurns == *stop.playerTurn + 1) || (stop.wanted && stop.wanted(world));
    };
    while (at.steps < record.steps.size()) {
        if (at.steps + 1 == record.steps.size() && atLastStep)
            atLastStep();
        const RecordStep& step = record.steps[at.steps++];
        bool stopHere = false;
        if (const auto* start = std::get_if<RecordStart>(&step)) {
            if (!BeginRecordedStart(session, *start, readings, &outcome.words))
                return outcome;
            lastMonth = world.month;
            session.StartComputerTurns();
            stopHere = stretch();
        } else if (const auto* change = std::get_if<SeatChange>(&step)) {
            // A seat changes hands only where the game stood still, to another seat.
            if (!session.ChangeSeat(*change)) {
                outcome.words = RecordDamagedAt(RecordStepLine(record, at.steps - 1));
                return outcome;
            }
        } else {
            // Only what the rules allow is played: a record whose step they refuse has
            // been changed, and is refused at that step's line.
            const PlayerCommand& command = std::get<PlayerCommand>(step);
            if (session.Apply(command).refusal != CommandRefusal::None) {
                outcome.words = RecordDamagedAt(RecordStepLine(record, at.steps - 1));
                return outcome;
            }
            if (std::holds_alternative<command::Rest>(command))
                stopHere = stretch();
        }
        if (stopHere) {
            outcome.stopped = true;
            break;
        }
    }
    if (at.steps >= record.steps.size())
        at.readings = world.clock.Feeding() ? world.clock.FedIndex() : record.readings.size();
    outcome.played = true;
    return outcome;
}
