// SPDX-License-Identifier: GPL-3.0-or-later
// What happens in a game, as the rules report it: a typed event for each month that
// begins, each command carried out, each battle, each country that changes hands, each
// ruler who falls, the harvest and the taxes, victory and the end of the game. The
// rules hand every event to the game's event sink as it happens, which passes it to
// each of its observers; the chronicle, the JSON Lines file and the turn report are
// built from the same stream. Events carry ids and
// figures, never sentences: whoever shows them words them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/game_state.h"
#include "rules/domestic_command.h"

enum class EventKind : std::uint8_t {
    Start,    // a new or loaded game begins: the player, every country's ruler
    Month,    // the calendar has moved to a new month
    Command,  // a domestic command took effect in a country
    Move,     // the player moved soldiers and supplies between two of his countries
    Battle,   // an attack was fought (or an unruled country taken without a fight)
    Capture,  // a country changed hands
    Fall,     // a ruler lost his last country
    Harvest,  // a ruler's provisions from the harvest (one event per ruler)
    Taxes,    // a ruler's funds from the new year's taxes (one event per ruler)
    Victory,  // the player holds every country
    GameOver, // the player holds no country
};

enum class BattleOutcome : std::uint8_t {
    Taken,    // the target fell
    Repelled, // the attacker's army was destroyed
    Retreat,  // both sides still stood when the fighting ended: the attacker withdrew
};

// One event. Which fields mean something depends on the kind (docs/events.md lists
// them); the others keep their defaults. A small plain record, cheap to make and to
// copy: the computer's turns report a dozen of them a month.
struct GameEvent {
    std::int32_t year = 0; // the date when it happened
    std::int8_t month = 0;
    EventKind kind = EventKind::Month;
    std::int8_t country = -1;    // Command, Move (source), Battle (attacker), Capture, Fall (last country)
    std::int8_t target = -1;     // Move (destination), Battle (target), Capture (the attacking country)
    std::int8_t ruler = -1;      // Start (player), Command, Move, Battle (attacker's), Capture (new),
                                 // Fall (the fallen), Harvest, Taxes, Victory, GameOver (player)
    std::int8_t otherRuler = -1; // Battle (target's), Capture (old), Fall (the conqueror)
    bool byPlayer = false;       // Command, Move, Battle: the player's own (Battle: fought in the
                                 // battle window, the player on either side); Start: a loaded game
    std::uint8_t detail = 0;     // Command: the DomesticCommand; Battle: the BattleOutcome
    // The figures of the kind, read and written through the functions below.
    std::array<std::int32_t, 4> figures{};

    bool operator==(const GameEvent&) const = default;

    // Command: which one and the figure after it (cultivation, commerce, soldiers or training).
    DomesticCommand Command() const { return static_cast<DomesticCommand>(detail); }
    void SetCommand(DomesticCommand command, std::int32_t value)
    {
        detail = static_cast<std::uint8_t>(command);
        figures[0] = value;
    }
    std::int32_t Value() const { return figures[0]; }

    // Battle: how it ended and the soldiers of both sides before and after.
    BattleOutcome Outcome() const { return static_cast<BattleOutcome>(detail); }
    void SetBattle(BattleOutcome outcome, std::int32_t attackerBefore, std::int32_t attackerAfter,
                   std::int32_t targetBefore, std::int32_t targetAfter)
    {
        detail = static_cast<std::uint8_t>(outcome);
        figures = {attackerBefore, attackerAfter, targetBefore, targetAfter};
    }
    std::int32_t AttackerBefore() const { return figures[0]; }
    std::int32_t AttackerAfter() const { return figures[1]; }
    std::int32_t TargetBefore() const { return figures[2]; }
    std::int32_t TargetAfter() const { return figures[3]; }

    // Move: what was moved.
    void SetMoved(std::int32_t soldiers, std::int32_t provisions, std::int32_t funds)
    {
        figures = {soldiers, provisions, funds, 0};
    }
    std::int32_t Soldiers() const { return figures[0]; }
    std::int32_t Provisions() const { return figures[1]; }
    std::int32_t Funds() const { return figures[2]; }

    // Harvest: the provisions; Taxes: the funds (totals over the ruler's countries).
    void SetAmount(std::int64_t amount)
    {
        const auto bits = static_cast<std::uint64_t>(amount);
        figures[0] = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
        figures[1] = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits >> 32));
    }
    std::int64_t Amount() const
    {
        return static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<std::uint32_t>(figures[0])) |
                                         static_cast<std::uint64_t>(static_cast<std::uint32_t>(figures[1])) << 32);
    }

    // Start: the ruler of each country (0..15, four bits each).
    void SetStartRuler(int country, RulerId r)
    {
        const int word = country / 8;
        const int shift = country % 8 * 4;
        auto bits = static_cast<std::uint32_t>(figures[static_cast<std::size_t>(word)]);
        bits = (bits & ~(0xFu << shift)) | (static_cast<std::uint32_t>(r) & 0xFu) << shift;
        figures[static_cast<std::size_t>(word)] = static_cast<std::int32_t>(bits);
    }
    RulerId StartRuler(int country) const
    {
        return static_cast<RulerId>(
            static_cast<std::uint32_t>(figures[static_cast<std::size_t>(country / 8)]) >> (country % 8 * 4) & 0xFu);
    }
};
static_assert(sizeof(GameEvent) <= 32, "a small record");

// Hears the events. Called on the thread that runs the rules at that moment: the turn
// worker for the computer's turns, the interface thread for the player's commands.
class EventObserver {
public:
    virtual ~EventObserver() = default;
    virtual void OnGameEvent(const GameEvent& event) = 0;
};

class EventLog;

// Who hears the events of one game: any number of observers, in the order added.
// Change the list only while no turn worker plays the game. Observing changes nothing
// of the game: no draw, no figure.
class EventSink {
public:
    EventSink() = default;
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;

    void Add(EventObserver* observer);
    void Remove(EventObserver* observer);
    void Clear();

    bool Observed() const { return !m_observers.empty(); }
    const std::vector<EventObserver*>& Observers() const { return m_observers; }
    // The chronicle's log when it is the only observer: events are then made in their
    // place in it, with no copy.
    EventLog* OnlyLog() const { return m_onlyLog; }

private:
    void Update();

    std::vector<EventObserver*> m_observers;
    EventLog* m_onlyLog = nullptr;
};

// The reports the rules make at fixed points; each does nothing without an observer.
void ReportStart(const GameState& world, EventSink& events, bool loaded); // every country's ruler, the player
void ReportVictory(const GameState& world, EventSink& events, RulerId winner); // he holds every country
// A capture: the Capture event, and a Fall when the old ruler (not "no ruler") holds
// nothing any more.
void ReportCapture(const GameState& world, EventSink& events, int country, int fromCountry, RulerId oldRuler,
                   RulerId newRuler);

// Names for the JSON Lines file and the documentation.
std::string_view EventKindName(EventKind kind);
std::string_view CommandName(DomesticCommand command);
std::string_view BattleOutcomeName(BattleOutcome outcome);

// Whether an event concerns a ruler: he acts in it, is attacked, loses or gains a
// country, falls, or is the player whose game starts or ends.
bool EventTouchesRuler(const GameEvent& event, RulerId ruler);
// Battles, captures and falls.
bool IsWarEvent(const GameEvent& event);
// What the player is told at his turn about the events since his last: attacks on him
// and how they ended, countries that changed hands between others, rulers who fell.
bool IsTurnReportItem(const GameEvent& event, RulerId player);
