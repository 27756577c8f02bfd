// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/chronicle_text.h"

#include "rules/event_json.h"
#include "rules/event_log.h"

namespace web {

void StoryLines::Add(std::string_view line)
{
    // The oldest go a block at a time, as the desktop's chronicle cuts them.
    if (m_ends.size() >= EventLog::kKept + EventLog::kBlockSize) {
        const std::size_t cut = m_ends[EventLog::kBlockSize - 1];
        m_text.erase(0, cut);
        m_ends.erase(m_ends.begin(), m_ends.begin() + EventLog::kBlockSize);
        for (std::size_t& end : m_ends)
            end -= cut;
    }
    m_text += line;
    m_text += '\n';
    m_ends.push_back(m_text.size());
}

void StoryLines::Clear()
{
    m_text.clear();
    m_ends.clear();
}

std::string_view StoryLines::Line(std::size_t index) const
{
    const std::size_t begin = index == 0 ? 0 : m_ends[index - 1];
    return std::string_view(m_text).substr(begin, m_ends[index] - begin - 1);
}

std::string StoryLines::Chronicle(const GameState& world) const
{
    std::string text = m_text;
    text += SavedWorldJson(world);
    text += '\n';
    return text;
}

bool ReadChronicle(std::string_view text, const GameState& world, std::vector<GameEvent>& events, StoryLines& lines,
                   platform::Message& why)
{
    events.clear();
    lines.Clear();
    const std::string closing = SavedWorldJson(world);
    bool closed = false;
    int lineNumber = 0;
    auto setAside = [&](platform::Message reason) {
        events.clear();
        lines.Clear();
        why = std::move(reason);
        return false;
    };
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        ++lineNumber;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty())
            continue;
        const auto unread = [&] {
            return setAside(platform::Message(VELCOR_TEXT("Message", "%1 行目が読めません"),
                                              {platform::Message::Number(lineNumber)}));
        };
        if (closed)
            return unread();
        if (line == closing) {
            closed = true;
            continue;
        }
        GameEvent e;
        if (!EventFromJson(line, e)) {
            // The closing line of another world: the chronicle of another game.
            if (IsSavedWorldJson(line))
                return setAside(platform::Message(VELCOR_TEXT("Message", "別のｹﾞｰﾑの記録です")));
            return unread();
        }
        events.push_back(e);
        lines.Add(line);
    }
    if (!closed)
        return setAside(platform::Message(VELCOR_TEXT("Message", "別のｹﾞｰﾑの記録です")));
    return true;
}

} // namespace web
