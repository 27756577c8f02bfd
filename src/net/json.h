// SPDX-License-Identifier: GPL-3.0-or-later
// The small part of JSON the network frames use: objects, arrays, whole numbers of 64
// bits, texts of printable ASCII, true and false. Anything else (a fraction, an
// exponent, an escape, a byte outside printable ASCII, null, a key twice, nesting past a
// few levels, text after the value) is not a frame's and is refused, so that what a
// stranger sends is read by rules as narrow as the frames need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace net {

struct Json {
    enum class Kind : std::uint8_t { Bool, Integer, Text, Array, Object };
    Kind kind = Kind::Object;
    bool boolean = false;
    std::int64_t integer = 0;
    std::string text;                                 // printable ASCII, no quote or backslash
    std::vector<Json> items;                          // an array's
    std::vector<std::pair<std::string, Json>> fields; // an object's, in order

    static Json Bool(bool value);
    static Json Integer(std::int64_t value);
    static Json Text(std::string value);
    static Json Array(std::vector<Json> items = {});
    static Json Object(std::vector<std::pair<std::string, Json>> fields = {});

    // The field of an object, none when it has no such key.
    const Json* Field(std::string_view key) const;
};

// The deepest nesting of arrays and objects a frame may hold, and the most keys of one
// object (a frame's objects have a handful: a stranger's thousands would only cost time).
inline constexpr int kJsonDepth = 6;
inline constexpr std::size_t kJsonKeys = 16;

// One whole value; none when text is not one of the kind above.
std::optional<Json> ParseJson(std::string_view text);
// The value as compact JSON (no spaces), as ParseJson reads it back.
std::string JsonText(const Json& value);

} // namespace net
