// SPDX-License-Identifier: GPL-3.0-or-later
// The chronicle the page keeps beside each of its saves, in the very form the desktop
// keeps NAME.chronicle.jsonl beside a saved game: every event as a line of JSON, then
// the line of the world saved. Read back when the save is loaded, it gives the game its
// story again: the chronicle's window, the months and battles of its 戦績.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"
#include "rules/events.h"

namespace web {

// The story of a game as its chronicle keeps it: each event's line of JSON, oldest
// first, its newest EventLog::kKept as the desktop's chronicle keeps them.
class StoryLines {
public:
    // A line without its end.
    void Add(std::string_view line);
    void Clear();
    std::size_t Count() const { return m_ends.size(); }
    std::string_view Line(std::size_t index) const;
    // The chronicle kept beside a save of world: every line, then the line of world.
    std::string Chronicle(const GameState& world) const;

private:
    std::string m_text; // each line followed by its end
    std::vector<std::size_t> m_ends;
};

// The story of a chronicle, for world just loaded from the save it was kept beside: its
// events and their lines. False, with neither and why in the player's words, when it
// cannot be that game's: a line that is not an event with every field in range, or no
// closing line of this very world. Empty lines are passed over.
bool ReadChronicle(std::string_view text, const GameState& world, std::vector<GameEvent>& events, StoryLines& lines,
                   platform::Message& why);

} // namespace web
