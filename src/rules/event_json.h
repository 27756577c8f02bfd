// SPDX-License-Identifier: GPL-3.0-or-later
// The events as JSON Lines: one object a line, for players and scenario authors who
// study games with their own tools (velcor --headless --events FILE) and for the
// chronicle kept beside a saved game. docs/events.md describes every kind and field.
#pragma once

#include <iosfwd>
#include <string>

#include "rules/events.h"

// One event as a JSON object on one line (without the line end). Countries and rulers
// appear by id and by their UTF-8 name as the world names them now.
std::string EventJson(const GameEvent& event);

// Writes each event it hears as a line of JSON to a stream.
class JsonLinesWriter : public EventObserver {
public:
    explicit JsonLinesWriter(std::ostream& out) : m_out(out) {}
    void OnGameEvent(const GameEvent& event) override;

private:
    std::ostream& m_out;
};
