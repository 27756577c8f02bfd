// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/json.h"

#include <algorithm>
#include <charconv>

namespace net {

namespace {

bool Printable(char c) { return c >= 0x20 && c <= 0x7e && c != '"' && c != '\\'; }

class Reader {
public:
    explicit Reader(std::string_view text) : m_text(text) {}

    std::optional<Json> Whole()
    {
        Json value;
        if (!Value(value, 0))
            return std::nullopt;
        Space();
        if (m_pos != m_text.size())
            return std::nullopt;
        return value;
    }

private:
    void Space()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool Take(char c)
    {
        Space();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word)
    {
        if (m_text.substr(m_pos, word.size()) != word)
            return false;
        m_pos += word.size();
        return true;
    }
    bool Text(std::string& out)
    {
        if (!Take('"'))
            return false;
        const std::size_t begin = m_pos;
        while (m_pos < m_text.size() && Printable(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size() || m_text[m_pos] != '"')
            return false;
        out.assign(m_text.substr(begin, m_pos - begin));
        ++m_pos;
        return true;
    }
    // A whole number as JSON writes it: no leading zero, no fraction or exponent.
    bool Integer(std::int64_t& out)
    {
        const std::size_t begin = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '-')
            ++m_pos;
        const std::size_t digits = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9')
            ++m_pos;
        if (m_pos == digits || (m_text[digits] == '0' && m_pos - digits > 1))
            return false;
        if (m_pos < m_text.size() && (m_text[m_pos] == '.' || m_text[m_pos] == 'e' || m_text[m_pos] == 'E'))
            return false;
        const auto [end, error] = std::from_chars(m_text.data() + begin, m_text.data() + m_pos, out);
        return error == std::errc() && end == m_text.data() + m_pos;
    }
    bool Value(Json& value, int depth)
    {
        Space();
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos];
        if (c == '{' || c == '[') {
            if (depth >= kJsonDepth)
                return false;
            ++m_pos;
            const bool object = c == '{';
            value.kind = object ? Json::Kind::Object : Json::Kind::Array;
            if (Take(object ? '}' : ']'))
                return true;
            do {
                Json item;
                if (object) {
                    std::string key;
                    if (!Text(key) || !Take(':') || !Value(item, depth + 1) || value.Field(key) ||
                        value.fields.size() == kJsonKeys)
                        return false;
                    value.fields.emplace_back(std::move(key), std::move(item));
                } else {
                    if (!Value(item, depth + 1))
                        return false;
                    value.items.push_back(std::move(item));
                }
            } while (Take(','));
            return Take(object ? '}' : ']');
        }
        if (c == '"') {
            value.kind = Json::Kind::Text;
            return Text(value.text);
        }
        if (c == 't' || c == 'f') {
            value.kind = Json::Kind::Bool;
            value.boolean = c == 't';
            return Word(value.boolean ? "true" : "false");
        }
        value.kind = Json::Kind::Integer;
        return Integer(value.integer);
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

void Write(const Json& value, std::string& out)
{
    switch (value.kind) {
    case Json::Kind::Bool:
        out += value.boolean ? "true" : "false";
        break;
    case Json::Kind::Integer:
        out += std::to_string(value.integer);
        break;
    case Json::Kind::Text:
        out += '"';
        out += value.text;
        out += '"';
        break;
    case Json::Kind::Array:
        out += '[';
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (i)
                out += ',';
            Write(value.items[i], out);
        }
        out += ']';
        break;
    case Json::Kind::Object:
        out += '{';
        for (std::size_t i = 0; i < value.fields.size(); ++i) {
            if (i)
                out += ',';
            out += '"';
            out += value.fields[i].first;
            out += "\":";
            Write(value.fields[i].second, out);
        }
        out += '}';
        break;
    }
}

} // namespace

Json Json::Bool(bool value)
{
    Json json;
    json.kind = Kind::Bool;
    json.boolean = value;
    return json;
}

Json Json::Integer(std::int64_t value)
{
    Json json;
    json.kind = Kind::Integer;
    json.integer = value;
    return json;
}

Json Json::Text(std::string value)
{
    Json json;
    json.kind = Kind::Text;
    json.text = std::move(value);
    return json;
}

Json Json::Array(std::vector<Json> items)
{
    Json json;
    json.kind = Kind::Array;
    json.items = std::move(items);
    return json;
}

Json Json::Object(std::vector<std::pair<std::string, Json>> fields)
{
    Json json;
    json.kind = Kind::Object;
    json.fields = std::move(fields);
    return json;
}

const Json* Json::Field(std::string_view key) const
{
    const auto found = std::find_if(fields.begin(), fields.end(), [&](const auto& field) { return field.first == key; });
    return found == fields.end() ? nullptr : &found->second;
}

std::optional<Json> ParseJson(std::string_view text) { return Reader(text).Whole(); }

std::string JsonText(const Json& value)
{
    std::string out;
    Write(value, out);
    return out;
}

} // namespace net
