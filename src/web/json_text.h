// SPDX-License-Identifier: GPL-3.0-or-later
// A small JSON writer for what the page is told: objects, arrays, numbers, UTF-8 texts,
// and byte strings (a save's Shift-JIS bytes), whose every byte becomes one character
// of the same code (\u0000..\u00ff) so the page gets the bytes back one to one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/message.h"

namespace web {

class JsonText {
public:
    JsonText& BeginObject() { return Open('{'); }
    JsonText& EndObject() { return Close('}'); }
    JsonText& BeginArray() { return Open('['); }
    JsonText& EndArray() { return Close(']'); }

    // The key of the next value in an object.
    JsonText& Key(std::string_view key);

    JsonText& Number(long long value);
    JsonText& Number(double value);
    JsonText& Bool(bool value);
    JsonText& Null();
    JsonText& Text(std::string_view utf8);
    JsonText& Bytes(std::string_view bytes);
    // A value already written as JSON (an event line).
    JsonText& Raw(std::string_view json);
    // A Message as the page translates it: {"p": pattern, "a": [...]} for a worded
    // text, {"t": text} for a plain one, {"t": text, "n": "c"|"r", "id": id} for a name.
    JsonText& Words(const platform::Message& words);

    // Shorthands for a keyed value.
    template <typename T>
    JsonText& Field(std::string_view key, const T& value)
    {
        Key(key);
        if constexpr (std::is_same_v<T, bool>)
            return Bool(value);
        else if constexpr (std::is_floating_point_v<T>)
            return Number(static_cast<double>(value));
        else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>)
            return Number(static_cast<long long>(value));
        else if constexpr (std::is_same_v<T, platform::Message>)
            return Words(value);
        else
            return Text(value);
    }

    const std::string& Str() const { return m_out; }
    std::string Take() { return std::move(m_out); }

private:
    JsonText& Open(char c);
    JsonText& Close(char c);
    void Separate();
    void Quoted(std::string_view text, bool bytes);

    std::string m_out;
    bool m_first = true;    // no value yet in the innermost object or array
    bool m_afterKey = false; // a key was written; its value comes next
};

} // namespace web
