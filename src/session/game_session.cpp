// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game_session.h"

GameSession::GameSession(TurnHost& host) : m_host(host)
{
    BuildRulerTable(world);
}

LoadOutcome GameSession::StartNewGame(const std::string& countryFile, RulerId player)
{
    LoadOutcome loaded = LoadCountryFile(world, countryFile, CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded)
        return loaded;
    BuildRulerTable(world);
    m_host.marks.Reset();
    BeginNewGame(world, events, player);
    return loaded;
}

LoadOutcome GameSession::LoadGame(const std::string& saveFile)
{
    LoadOutcome loaded = LoadCountryFile(world, saveFile, CountryFileUse::SavedGame);
    if (loaded.status != LoadStatus::Loaded)
        return loaded;
    BuildRulerTable(world);
    BeginGame(true);
    return loaded;
}

void GameSession::BeginGame(bool loaded)
{
    m_host.marks.Reset();
    if (loaded)
        BeginLoadedGame(world, events);
    else
        BeginNewGame(world, events, world.playerRuler);
}

bool GameSession::SaveGame(const std::string& path, std::int32_t turnCursor, std::string* error) const
{
    return SaveCountryFile(world, path, turnCursor, error);
}
