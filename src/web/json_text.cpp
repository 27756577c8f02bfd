// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/json_text.h"

#include <cmath>
#include <cstdio>

namespace web {

void JsonText::Separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first)
        m_out += ',';
    m_first = false;
}

JsonText& JsonText::Open(char c)
{
    Separate();
    m_out += c;
    m_first = true;
    return *this;
}

JsonText& JsonText::Close(char c)
{
    m_out += c;
    m_first = false;
    return *this;
}

JsonText& JsonText::Key(std::string_view key)
{
    Separate();
    Quoted(key, false);
    m_out += ':';
    m_afterKey = true;
    return *this;
}

JsonText& JsonText::Number(long long value)
{
    Separate();
    m_out += std::to_string(value);
    return *this;
}

JsonText& JsonText::Number(double value)
{
    Separate();
    if (!std::isfinite(value)) {
        m_out += "null";
        return *this;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    m_out += text;
    return *this;
}

JsonText& JsonText::Bool(bool value)
{
    Separate();
    m_out += value ? "true" : "false";
    return *this;
}

JsonText& JsonText::Null()
{
    Separate();
    m_out += "null";
    return *this;
}

JsonText& JsonText::Text(std::string_view utf8)
{
    Separate();
    Quoted(utf8, false);
    return *this;
}

JsonText& JsonText::Bytes(std::string_view bytes)
{
    Separate();
    Quoted(bytes, true);
    return *this;
}

JsonText& JsonText::Raw(std::string_view json)
{
    Separate();
    m_out += json;
    return *this;
}

JsonText& JsonText::Words(const platform::Message& words)
{
    BeginObject();
    if (words.plain) {
        Field("t", words.pattern);
        if (words.name != platform::Message::Name::None) {
            Field("n", std::string(words.name == platform::Message::Name::Country ? "c" : "r"));
            Field("id", words.id);
        }
    } else {
        Field("p", words.pattern);
        Key("a").BeginArray();
        for (const platform::Message& arg : words.args)
            Words(arg);
        EndArray();
    }
    return EndObject();
}

void JsonText::Quoted(std::string_view text, bool bytes)
{
    static const char* const kHex = "0123456789abcdef";
    m_out += '"';
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            m_out += '\\';
            m_out += ch;
        } else if (c == '\n') {
            m_out += "\\n";
        } else if (c < 0x20 || (bytes && c >= 0x7F)) {
            m_out += "\\u00";
            m_out += kHex[c >> 4];
            m_out += kHex[c & 15];
        } else {
            m_out += ch;
        }
    }
    m_out += '"';
}

} // namespace web
