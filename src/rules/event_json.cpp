// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/event_json.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <utility>
#include <vector>

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

// One value of a line: the chronicle's lines hold numbers, texts, flags and one list
// of numbers, never an object within an object.
struct Value {
    enum class Kind { Number, Text, Flag, Numbers, Null } kind = Kind::Null;
    double number = 0;
    std::string text;
    bool flag = false;
    std::vector<double> numbers;
};

// A line's fields in the order written; a key given twice counts by its last value.
using FieldList = std::vector<std::pair<std::string, Value>>;

class LineParser {
public:
    explicit LineParser(std::string_view line) : m_s(line) {}

    // The line as one object of plain values; false when it is anything else.
    bool Object(FieldList& fields)
    {
        Space();
        if (!Take('{'))
            return false;
        Space();
        if (Take('}'))
            return End();
        for (;;) {
            std::string key;
            Value value;
            Space();
            if (!Text(key))
                return false;
            Space();
            if (!Take(':') || !Plain(value))
                return false;
            fields.emplace_back(std::move(key), std::move(value));
            Space();
            if (Take('}'))
                return End();
            if (!Take(','))
                return false;
        }
    }

private:
    bool End()
    {
        Space();
        return m_at == m_s.size();
    }
    void Space()
    {
        while (m_at < m_s.size() && (m_s[m_at] == ' ' || m_s[m_at] == '\t' || m_s[m_at] == '\r' || m_s[m_at] == '\n'))
            ++m_at;
    }
    bool Take(char c)
    {
        if (m_at < m_s.size() && m_s[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word)
    {
        if (m_s.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }
    bool Plain(Value& value)
    {
        Space();
        if (m_at >= m_s.size())
            return false;
        const char c = m_s[m_at];
        if (c == '"') {
            value.kind = Value::Kind::Text;
            return Text(value.text);
        }
        if (c == '[') {
            value.kind = Value::Kind::Numbers;
            ++m_at;
            Space();
            if (Take(']'))
                return true;
            for (;;) {
                double n = 0;
                Space();
                if (!Number(n))
                    return false;
                value.numbers.push_back(n);
                Space();
                if (Take(']'))
                    return true;
                if (!Take(','))
                    return false;
            }
        }
        if (Word("true") || Word("false")) {
            value.kind = Value::Kind::Flag;
            value.flag = c == 't';
            return true;
        }
        if (Word("null"))
            return true;
        value.kind = Value::Kind::Number;
        return Number(value.number);
    }
    bool Number(double& n)
    {
        // JSON's number: -?digits(.digits)?([eE][+-]?digits)?
        const std::size_t start = m_at;
        Take('-');
        auto digits = [&] {
            const std::size_t from = m_at;
            while (m_at < m_s.size() && m_s[m_at] >= '0' && m_s[m_at] <= '9')
                ++m_at;
            return m_at > from;
        };
        if (!digits())
            return false;
        if (Take('.') && !digits())
            return false;
        if (Take('e') || Take('E')) {
            if (!Take('+'))
                Take('-');
            if (!digits())
                return false;
        }
        const std::string text(m_s.substr(start, m_at - start));
        n = std::strtod(text.c_str(), nullptr);
        return std::isfinite(n);
    }
    bool Text(std::string& out)
    {
        if (!Take('"'))
            return false;
        while (m_at < m_s.size()) {
            const char c = m_s[m_at++];
            if (c == '"')
                return true;
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_s.size())
                return false;
            const char e = m_s[m_at++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                out += e;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                if (m_at + 4 > m_s.size())
                    return false;
                unsigned code = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = m_s[m_at++];
                    code <<= 4;
                    if (h >= '0' && h <= '9')
                        code |= static_cast<unsigned>(h - '0');
                    else if (h >= 'a' && h <= 'f')
                        code |= static_cast<unsigned>(h - 'a' + 10);
                    else if (h >= 'A' && h <= 'F')
                        code |= static_cast<unsigned>(h - 'A' + 10);
                    else
                        return false;
                }
                // Only the names the rules write are compared; any other text is kept
                // close enough (a surrogate stays a code unit of its own).
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else if (code < 0x800) {
                    out += static_cast<char>(0xC0 | code >> 6);
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | code >> 12);
                    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                }
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    std::string_view m_s;
    std::size_t m_at = 0;
};

// Every amount the rules can total, kept exact by a JSON number.
constexpr double kLargestAmount = 9007199254740992.0; // 2^53

// The fields of one line, each read for its type and range: a field that is missing,
// of another type or out of range fails the whole line.
class Fields {
public:
    explicit Fields(const FieldList& fields) : m_fields(fields) {}
    bool Ok() const { return m_ok; }

    double Whole(std::string_view key, double min, double max)
    {
        const Value* v = Find(key);
        return v && v->kind == Value::Kind::Number ? WholeOf(v->number, min, max) : Fail(min);
    }
    double WholeOf(double n, double min, double max)
    {
        return n == std::trunc(n) && n >= min && n <= max ? n : Fail(min);
    }
    std::int32_t Figure(std::string_view key)
    {
        return static_cast<std::int32_t>(
            Whole(key, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    }
    std::int8_t Country(std::string_view key) { return static_cast<std::int8_t>(Whole(key, 0, kCountryCount - 1)); }
    std::int8_t Ruler(std::string_view key) { return static_cast<std::int8_t>(Whole(key, 0, kRulerCount - 1)); }
    bool Flag(std::string_view key)
    {
        const Value* v = Find(key);
        return v && v->kind == Value::Kind::Flag ? v->flag : Fail(false);
    }
    // The kinds, commands and outcomes by the names the rules give them.
    template <class E, class Name>
    E Named(std::string_view key, E last, Name name)
    {
        const Value* v = Find(key);
        for (int i = 0; v && v->kind == Value::Kind::Text && i <= static_cast<int>(last); ++i)
            if (v->text == name(static_cast<E>(i)))
                return static_cast<E>(i);
        return Fail(E{});
    }
    const std::vector<double>* Numbers(std::string_view key)
    {
        const Value* v = Find(key);
        return v && v->kind == Value::Kind::Numbers ? &v->numbers : Fail<const std::vector<double>*>(nullptr);
    }

private:
    const Value* Find(std::string_view key) const
    {
        for (auto it = m_fields.rbegin(); it != m_fields.rend(); ++it)
            if (it->first == key)
                return &it->second;
        return nullptr;
    }
    template <class T>
    T Fail(T value)
    {
        m_ok = false;
        return value;
    }

    const FieldList& m_fields;
    bool m_ok = true;
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

bool EventFromJson(std::string_view line, GameEvent& e)
{
    FieldList fields;
    if (!LineParser(line).Object(fields))
        return false;
    Fields f(fields);
    e = GameEvent{};
    e.kind = f.Named("kind", EventKind::GameOver, EventKindName);
    e.year = f.Figure("year");
    e.month = static_cast<std::int8_t>(f.Whole("month", 1, 12));
    if (!f.Ok())
        return false;
    switch (e.kind) {
    case EventKind::Start: {
        e.ruler = f.Ruler("player");
        e.byPlayer = f.Flag("loaded");
        const std::vector<double>* rulers = f.Numbers("rulers");
        if (!rulers || rulers->size() != static_cast<std::size_t>(kCountryCount))
            return false;
        for (int i = 0; i < kCountryCount; ++i)
            e.SetStartRuler(i, static_cast<RulerId>(f.WholeOf((*rulers)[static_cast<std::size_t>(i)], 0, kRulerCount - 1)));
        break;
    }
    case EventKind::Month:
        break;
    case EventKind::Command: {
        const DomesticCommand command = f.Named("command", DomesticCommand::Train, CommandName);
        e.country = f.Country("country");
        e.ruler = f.Ruler("ruler");
        e.byPlayer = f.Flag("player");
        e.SetCommand(command, f.Figure("value"));
        break;
    }
    case EventKind::Move:
        e.country = f.Country("country");
        e.target = f.Country("destination");
        e.ruler = f.Ruler("ruler");
        e.byPlayer = f.Flag("player");
        e.SetMoved(f.Figure("soldiers"), f.Figure("provisions"), f.Figure("funds"));
        break;
    case EventKind::Battle: {
        const BattleOutcome outcome = f.Named("outcome", BattleOutcome::Retreat, BattleOutcomeName);
        e.country = f.Country("attacker");
        e.target = f.Country("target");
        e.ruler = f.Ruler("attacker_ruler");
        e.otherRuler = f.Ruler("target_ruler");
        e.byPlayer = f.Flag("player");
        e.SetBattle(outcome, f.Figure("attacker_before"), f.Figure("attacker_after"), f.Figure("target_before"),
                    f.Figure("target_after"));
        break;
    }
    case EventKind::Capture:
        e.country = f.Country("country");
        e.target = f.Country("from");
        e.ruler = f.Ruler("new_ruler");
        e.otherRuler = f.Ruler("old_ruler");
        break;
    case EventKind::Fall:
        e.country = f.Country("country");
        e.ruler = f.Ruler("ruler");
        e.otherRuler = f.Ruler("by");
        break;
    case EventKind::Harvest:
        e.ruler = f.Ruler("ruler");
        e.SetAmount(static_cast<std::int64_t>(f.Whole("provisions", -kLargestAmount, kLargestAmount)));
        break;
    case EventKind::Taxes:
        e.ruler = f.Ruler("ruler");
        e.SetAmount(static_cast<std::int64_t>(f.Whole("funds", -kLargestAmount, kLargestAmount)));
        break;
    case EventKind::Victory:
    case EventKind::GameOver:
        e.ruler = f.Ruler("ruler");
        break;
    }
    return f.Ok();
}

bool IsSavedWorldJson(std::string_view line)
{
    FieldList fields;
    if (!LineParser(line).Object(fields))
        return false;
    for (const auto& [key, value] : fields)
        if (key == "kind")
            return value.kind == Value::Kind::Text && value.text == "saved";
    return false;
}
