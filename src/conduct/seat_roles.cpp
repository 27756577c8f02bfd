// SPDX-License-Identifier: GPL-3.0-or-later
// The seat classes, and the one place a kind of seat maps to its class.
#include <algorithm>

#include "conduct/seat_role.h"
#include "rules/difficulty.h"

namespace {

// A choice made at once.
class MadeDecision final : public SeatDecision {
public:
    explicit MadeDecision(std::optional<PlayerCommand> command) : m_command(std::move(command)) {}
    bool Ready() const override { return true; }
    std::optional<PlayerCommand> Command() override { return m_command; }

private:
    std::optional<PlayerCommand> m_command;
};

// The advisor's best command, tried on its own copy of the world; on threads of its
// own in the background (cancelled and waited for when the choice is let go).
class AdvisedDecision final : public SeatDecision {
public:
    AdvisedDecision(const GameState& world, const foresight::AdviceOptions& advice) : m_advisor(world, advice)
    {
        m_advisor.Start();
    }
    bool Ready() const override { return m_advisor.Finished(); }
    std::optional<PlayerCommand> Command() override { return foresight::BestOf(m_advisor.Snapshot()); }

private:
    foresight::Advisor m_advisor;
};

// What a kind of seat is, fixed for the kind; its class says how it chooses.
struct SeatTraits {
    bool waits = true;
    bool handedOver = false;
    bool ranked = false;
    bool fromOutside = false;
};

class FixedSeat : public SeatRole {
public:
    explicit constexpr FixedSeat(SeatTraits traits) : m_traits(traits) {}
    bool WaitsForTurn() const final { return m_traits.waits; }
    bool HandedOver() const final { return m_traits.handedOver; }
    bool Ranked() const final { return m_traits.ranked; }
    bool GivenFromOutside() const final { return m_traits.fromOutside; }

private:
    SeatTraits m_traits;
};

// A person at this screen: the turn waits for his commands, handed over to him from
// another person's.
class ScreenPerson final : public FixedSeat {
public:
    constexpr ScreenPerson() : FixedSeat({.handedOver = true, .ranked = true, .fromOutside = true}) {}
    std::unique_ptr<SeatDecision> Choose(const GameState&, const SeatDecisionOptions&) const override { return nullptr; }
};

// A person with nobody at the screen (a game played on without windows): he rests.
class RestingPerson final : public FixedSeat {
public:
    constexpr RestingPerson() : FixedSeat({.ranked = true}) {}
    std::unique_ptr<SeatDecision> Choose(const GameState&, const SeatDecisionOptions&) const override
    {
        return std::make_unique<MadeDecision>(std::nullopt);
    }
};

// The computer: the rules play his countries (the turn worker). A turn of his left
// standing when his ruler was handed to him is rested.
class ComputerSeat final : public FixedSeat {
public:
    constexpr ComputerSeat() : FixedSeat({.waits = false}) {}
    std::unique_ptr<SeatDecision> Choose(const GameState&, const SeatDecisionOptions&) const override
    {
        return std::make_unique<MadeDecision>(std::nullopt);
    }
};

// The advisor: its best command at each turn, then the rest.
class AdvisorSeat final : public FixedSeat {
public:
    constexpr AdvisorSeat() : FixedSeat({}) {}
    std::unique_ptr<SeatDecision> Choose(const GameState& world, const SeatDecisionOptions& options) const override
    {
        if (!options.background)
            return std::make_unique<MadeDecision>(foresight::AdvisedCommandFor(world, options.advice));
        return std::make_unique<AdvisedDecision>(world, options.advice);
    }
};

// A person at another machine: his commands reach the conductor with his ruler (from
// the network); his own machine ranks his game.
class RemotePerson final : public FixedSeat {
public:
    constexpr RemotePerson() : FixedSeat({.fromOutside = true}) {}
    std::unique_ptr<SeatDecision> Choose(const GameState&, const SeatDecisionOptions&) const override { return nullptr; }
};

const ScreenPerson kScreenPerson;
const RestingPerson kRestingPerson;
const ComputerSeat kComputer;
const AdvisorSeat kAdvisor;
const RemotePerson kRemote;

} // namespace

const SeatRole& RoleOf(const Seat& seat, PersonSeats persons)
{
    switch (seat.kind) {
    case SeatKind::Person:
        return persons == PersonSeats::Resting ? static_cast<const SeatRole&>(kRestingPerson) : kScreenPerson;
    case SeatKind::Advisor:
        return kAdvisor;
    case SeatKind::Remote:
        return kRemote;
    case SeatKind::Computer:
        break;
    }
    return kComputer;
}

foresight::SeatCommand SeatCommands(PersonSeats persons)
{
    return [persons](const GameState& world, RulerId ruler,
                     const foresight::AdviceOptions& advice) -> std::optional<PlayerCommand> {
        SeatDecisionOptions options;
        options.advice = advice;
        const std::unique_ptr<SeatDecision> choice = RoleOf(world, ruler, persons).Choose(world, options);
        return choice ? choice->Command() : std::nullopt;
    };
}

std::vector<RulerId> ScreenPersons(const Seats& seats)
{
    std::vector<RulerId> persons;
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (RoleOf(seats[static_cast<std::size_t>(r)]).HandedOver())
            persons.push_back(r);
    return persons;
}

bool SeveralPersons(const Seats& seats) { return ScreenPersons(seats).size() >= 2; }

RulerId TurnPerson(const GameState& world, RulerId turnRuler)
{
    if (turnRuler <= 0 || !GameState::IsRulerId(turnRuler) || !RoleOf(world, turnRuler).HandedOver() ||
        !SeveralPersons(world.seats))
        return 0;
    return turnRuler;
}

std::string SeatWord(const Seat& seat)
{
    switch (seat.kind) {
    case SeatKind::Person:
        return "person";
    case SeatKind::Advisor:
        return "advisor";
    case SeatKind::Remote:
        return "remote";
    case SeatKind::Computer:
        break;
    }
    return seat.level ? "computer:" + std::string(DifficultyName(*seat.level)) : "computer";
}

std::optional<Seat> SeatOfWord(std::string_view word)
{
    if (word == "person" || word == "rest")
        return Seat::Person();
    if (word == "advisor")
        return Seat::Advisor();
    if (word == "remote")
        return Seat::Remote();
    if (word == "computer")
        return Seat::Computer();
    constexpr std::string_view kComputerAt = "computer:";
    if (word.starts_with(kComputerAt))
        word.remove_prefix(kComputerAt.size());
    Difficulty level = Difficulty::Normal;
    if (!ParseDifficulty(word, level))
        return std::nullopt;
    return Seat::Computer(level);
}
