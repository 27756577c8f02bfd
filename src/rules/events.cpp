#include "rules/events.h"

#include <atomic>

namespace {

// Set by the interface thread (or the headless run) while no worker runs; the worker
// only reads it.
std::atomic<EventObserver*> g_observer{nullptr};

bool HoldsAny(RulerId ruler)
{
    for (const Country& c : GameState::countries) {
        if (c.GetRuler() == ruler)
            return true;
    }
    return false;
}

} // namespace

void SetEventObserver(EventObserver* observer) { g_observer.store(observer, std::memory_order_release); }

EventObserver* GetEventObserver() { return g_observer.load(std::memory_order_acquire); }

void ReportEvent(GameEvent& event)
{
    EventObserver* observer = GetEventObserver();
    if (!observer)
        return;
    event.year = GameState::year;
    event.month = static_cast<std::int8_t>(GameState::month);
    observer->OnGameEvent(event);
}

void ReportStart(bool loaded)
{
    if (!EventsObserved())
        return;
    GameEvent e;
    e.kind = EventKind::Start;
    e.ruler = static_cast<std::int8_t>(GameState::playerRuler);
    e.byPlayer = loaded;
    for (int i = 0; i < kCountryCount; ++i)
        e.SetStartRuler(i, GameState::countries[i].GetRuler());
    ReportEvent(e);
}

void ReportVictory()
{
    GameEvent e;
    e.kind = EventKind::Victory;
    e.ruler = static_cast<std::int8_t>(GameState::playerRuler);
    ReportEvent(e);
}

void ReportCapture(int country, int fromCountry, RulerId oldRuler, RulerId newRuler)
{
    if (!EventsObserved())
        return;
    GameEvent e;
    e.kind = EventKind::Capture;
    e.country = static_cast<std::int8_t>(country);
    e.target = static_cast<std::int8_t>(fromCountry);
    e.ruler = static_cast<std::int8_t>(newRuler);
    e.otherRuler = static_cast<std::int8_t>(oldRuler);
    ReportEvent(e);
    if (oldRuler == 0 || HoldsAny(oldRuler))
        return;
    GameEvent fall;
    fall.kind = EventKind::Fall;
    fall.country = static_cast<std::int8_t>(country);
    fall.ruler = static_cast<std::int8_t>(oldRuler);
    fall.otherRuler = static_cast<std::int8_t>(newRuler);
    ReportEvent(fall);
}

std::string_view EventKindName(EventKind kind)
{
    switch (kind) {
    case EventKind::Start:
        return "start";
    case EventKind::Month:
        return "month";
    case EventKind::Command:
        return "command";
    case EventKind::Move:
        return "move";
    case EventKind::Battle:
        return "battle";
    case EventKind::Capture:
        return "capture";
    case EventKind::Fall:
        return "fall";
    case EventKind::Harvest:
        return "harvest";
    case EventKind::Taxes:
        return "taxes";
    case EventKind::Victory:
        return "victory";
    case EventKind::GameOver:
        return "game_over";
    }
    return "unknown";
}

std::string_view CommandName(DomesticCommand command)
{
    switch (command) {
    case DomesticCommand::DevelopLand:
        return "develop_land";
    case DomesticCommand::DevelopCommerce:
        return "develop_commerce";
    case DomesticCommand::Conscript:
        return "conscript";
    case DomesticCommand::Train:
        return "train";
    }
    return "unknown";
}

std::string_view BattleOutcomeName(BattleOutcome outcome)
{
    switch (outcome) {
    case BattleOutcome::Taken:
        return "taken";
    case BattleOutcome::Repelled:
        return "repelled";
    case BattleOutcome::Retreat:
        return "retreat";
    }
    return "unknown";
}

bool EventTouchesRuler(const GameEvent& event, RulerId ruler)
{
    switch (event.kind) {
    case EventKind::Month:
        return false;
    case EventKind::Battle:
    case EventKind::Capture:
    case EventKind::Fall:
        return event.ruler == ruler || event.otherRuler == ruler;
    default:
        return event.ruler == ruler;
    }
}

bool IsWarEvent(const GameEvent& event)
{
    return event.kind == EventKind::Battle || event.kind == EventKind::Capture || event.kind == EventKind::Fall;
}

bool IsTurnReportItem(const GameEvent& event, RulerId player)
{
    switch (event.kind) {
    case EventKind::Capture:
        // A country taken from the player is reported as the attack that took it.
        return event.ruler != player && event.otherRuler != player;
    case EventKind::Battle:
        return event.otherRuler == player && event.ruler != player;
    case EventKind::Fall:
        return true;
    default:
        return false;
    }
}
