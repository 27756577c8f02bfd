// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/events.h"

#include <atomic>

#include "rules/event_report.h"

namespace {


bool HoldsAny(RulerId ruler)
{
    for (const Country& c : GameState::countries) {
        if (c.GetRuler() == ruler)
            return true;
    }
    return false;
}

} // namespace

// Set by the interface thread (or the headless run) while no worker runs; the worker
// only reads them. The log is the observer itself when that is the chronicle's log.
std::atomic<EventObserver*> event_detail::observer{nullptr};
std::atomic<EventLog*> event_detail::log{nullptr};

void SetEventObserver(EventObserver* observer)
{
    event_detail::log.store(dynamic_cast<EventLog*>(observer), std::memory_order_relaxed);
    event_detail::observer.store(observer, std::memory_order_release);
}

void ReportStart(bool loaded)
{
    if (EventReport e{EventKind::Start}) {
        e->ruler = static_cast<std::int8_t>(GameState::playerRuler);
        e->byPlayer = loaded;
        for (int i = 0; i < kCountryCount; ++i)
            e->SetStartRuler(i, GameState::countries[i].GetRuler());
    }
}

void ReportVictory()
{
    if (EventReport e{EventKind::Victory})
        e->ruler = static_cast<std::int8_t>(GameState::playerRuler);
}

void ReportCapture(int country, int fromCountry, RulerId oldRuler, RulerId newRuler)
{
    if (EventReport e{EventKind::Capture}) {
        e->country = static_cast<std::int8_t>(country);
        e->target = static_cast<std::int8_t>(fromCountry);
        e->ruler = static_cast<std::int8_t>(newRuler);
        e->otherRuler = static_cast<std::int8_t>(oldRuler);
    } else {
        return;
    }
    if (oldRuler == 0 || HoldsAny(oldRuler))
        return;
    if (EventReport fall{EventKind::Fall}) {
        fall->country = static_cast<std::int8_t>(country);
        fall->ruler = static_cast<std::int8_t>(oldRuler);
        fall->otherRuler = static_cast<std::int8_t>(newRuler);
    }
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
