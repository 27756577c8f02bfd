// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/events.h"

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

std::string_view CommandName(DomesticCommand command) { return NamesOf(command).event; }

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
