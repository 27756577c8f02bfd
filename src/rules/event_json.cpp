// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/event_json.h"

#include <array>
#include <cstdio>
#include <ostream>

#include "rules/names.h"

namespace {

// A JSON string: quotes, backslashes and control characters escaped; the rest of the
// UTF-8 text as it is.
void AppendString(std::string& out, const std::string& text)
{
    out += '"';
    for (char ch : text) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += ch;
        }
    }
    out += '"';
}

class Object {
public:
    Object(std::string& out, const GameState& world) : m_out(out), m_world(world) { m_out += '{'; }
    ~Object() { m_out += '}'; }

    Object& Number(const char* key, std::int64_t value)
    {
        Key(key);
        m_out += std::to_string(value);
        return *this;
    }
    Object& Text(const char* key, std::string_view value)
    {
        Key(key);
        AppendString(m_out, std::string(value));
        return *this;
    }
    Object& Flag(const char* key, bool value)
    {
        Key(key);
        m_out += value ? "true" : "false";
        return *this;
    }
    // "key": id, "key_name": its name.
    Object& Country(const char* key, int country)
    {
        Number(key, country);
        Key((std::string(key) + "_name").c_str());
        AppendString(m_out, GameState::IsCountryIndex(country) ? CountryNameUtf8(m_world, country) : std::string());
        return *this;
    }
    Object& Ruler(const char* key, RulerId ruler)
    {
        Number(key, ruler);
        Key((std::string(key) + "_name").c_str());
        AppendString(m_out, RulerNameUtf8(m_world, ruler));
        return *this;
    }
    template <class Ids>
    Object& Numbers(const char* key, const Ids& ids)
    {
        Key(key);
        m_out += '[';
        bool first = true;
        for (auto id : ids) {
            if (!first)
                m_out += ',';
            first = false;
            m_out += std::to_string(static_cast<int>(id));
        }
        m_out += ']';
        return *this;
    }

private:
    void Key(const char* key)
    {
        if (m_out.back() != '{')
            m_out += ',';
        AppendString(m_out, key);
        m_out += ':';
    }
    std::string& m_out;
    const GameState& m_world;
};

} // namespace

std::string EventJson(const GameState& world, const GameEvent& e)
{
    std::string line;
    {
        Object o(line, world);
        o.Number("year", e.year).Number("month", e.month).Text("kind", EventKindName(e.kind));
        switch (e.kind) {
        case EventKind::Start:
            o.Ruler("player", e.ruler).Flag("loaded", e.byPlayer);
            {
                std::array<RulerId, kCountryCount> rulers{};
                for (int i = 0; i < kCountryCount; ++i)
                    rulers[static_cast<std::size_t>(i)] = e.StartRuler(i);
                o.Numbers("rulers", rulers);
            }
            break;
        case EventKind::Month:
            break;
        case EventKind::Command:
            o.Country("country", e.country).Ruler("ruler", e.ruler).Flag("player", e.byPlayer);
            o.Text("command", CommandName(e.Command())).Number("value", e.Value());
            break;
        case EventKind::Move:
            o.Country("country", e.country).Country("destination", e.target).Ruler("ruler", e.ruler);
            o.Flag("player", e.byPlayer).Number("soldiers", e.Soldiers()).Number("provisions", e.Provisions());
            o.Number("funds", e.Funds());
            break;
        case EventKind::Battle:
            o.Country("attacker", e.country).Country("target", e.target);
            o.Ruler("attacker_ruler", e.ruler).Ruler("target_ruler", e.otherRuler).Flag("player", e.byPlayer);
            o.Number("attacker_before", e.AttackerBefore()).Number("attacker_after", e.AttackerAfter());
            o.Number("target_before", e.TargetBefore()).Number("target_after", e.TargetAfter());
            o.Text("outcome", BattleOutcomeName(e.Outcome()));
            break;
        case EventKind::Capture:
            o.Country("country", e.country).Ruler("old_ruler", e.otherRuler).Ruler("new_ruler", e.ruler);
            o.Country("from", e.target);
            break;
        case EventKind::Fall:
            o.Ruler("ruler", e.ruler).Country("country", e.country).Ruler("by", e.otherRuler);
            break;
        case EventKind::Harvest:
            o.Ruler("ruler", e.ruler).Number("provisions", e.Amount());
            break;
        case EventKind::Taxes:
            o.Ruler("ruler", e.ruler).Number("funds", e.Amount());
            break;
        case EventKind::Victory:
        case EventKind::GameOver:
            o.Ruler("ruler", e.ruler);
            break;
        }
    }
    return line;
}

std::string ChronicleFileName(const std::string& savePath) { return savePath + ".chronicle.jsonl"; }

std::string SavedWorldJson(const GameState& world)
{
    std::string line;
    {
        Object o(line, world);
        o.Number("year", world.year).Number("month", world.month).Text("kind", "saved");
        std::array<RulerId, kCountryCount> rulers{};
        for (int i = 0; i < kCountryCount; ++i)
            rulers[static_cast<std::size_t>(i)] = world.countries[i].GetRuler();
        o.Number("player", world.playerRuler).Numbers("rulers", rulers);
    }
    return line;
}

void JsonLinesWriter::OnGameEvent(const GameEvent& event) { m_out << EventJson(m_world, event) << '\n'; }
