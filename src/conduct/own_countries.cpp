// SPDX-License-Identifier: GPL-3.0-or-later
#include "conduct/own_countries.h"

RulerId ListedPerson(const GameState& world, RulerId atTurn, RulerId before)
{
    if (world.IsPlayer(atTurn))
        return atTurn;
    if (world.IsPlayer(before))
        return before;
    return static_cast<RulerId>(world.playerRuler.Get());
}

std::vector<OwnCountryRow> OwnCountryRows(const GameState& world, RulerId person, const TurnDescription& turn,
                                          bool atPlayersTurn)
{
    std::vector<OwnCountryRow> rows;
    if (!turn.InGame())
        return rows;
    // At the player's turn after his command, that country has nothing left to do.
    const bool spent = atPlayersTurn && turn.commandGiven;
    for (int i = 0; i < kCountryCount; ++i) {
        if (world.countries[static_cast<std::size_t>(i)].GetRuler() != person)
            continue;
        OwnCountryRow row;
        row.country = i;
        row.hasTurn = i == world.turnCountry.Get();
        row.spent = row.hasTurn && spent;
        row.reasons = CommandReasons(world, i);
        rows.push_back(std::move(row));
    }
    return rows;
}
