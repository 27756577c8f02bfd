// SPDX-License-Identifier: GPL-3.0-or-later
// The events as JSON Lines: one object a line, for players and scenario authors who
// study games with their own tools (velcor --headless --events FILE) and for the
// chronicle kept beside a saved game. docs/events.md describes every kind and field.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "rules/events.h"

// One event as a JSON object on one line (without the line end). Countries and rulers
// appear by id and by their UTF-8 name as the world names them now.
std::string EventJson(const GameState& world, const GameEvent& event);

// The chronicle kept beside a saved game: the save's name as the system has it (every
// byte, whatever its suffix) followed by ".chronicle.jsonl".
std::string ChronicleFileName(const std::string& savePath);

// The line that closes a chronicle kept beside a save (kind "saved"): the date, the
// player and every country's ruler of the world as it stands, which is the world saved
// beside it. A chronicle is that game's only while this line matches the loaded world.
std::string SavedWorldJson(const GameState& world);

// One line as EventJson writes it, back as an event (its names are not read: the ids
// are). False when it is not one: not one JSON object, or a field of the kind missing,
// of another type or out of range.
bool EventFromJson(std::string_view line, GameEvent& event);

// Whether a line is the closing line of a chronicle (kind "saved"), of whatever world.
bool IsSavedWorldJson(std::string_view line);

// Writes each event it hears as a line of JSON to a stream.
class JsonLinesWriter : public EventObserver {
public:
    JsonLinesWriter(std::ostream& out, const GameState& world) : m_out(out), m_world(world) {}
    void OnGameEvent(const GameEvent& event) override;

private:
    std::ostream& m_out;
    const GameState& m_world; // names the countries and rulers
};
