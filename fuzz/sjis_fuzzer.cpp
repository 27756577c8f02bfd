// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to both directions of the Shift-JIS (code page 932)
// conversion: once as a country name's bytes, once as UTF-8 text.
//
// Shift-JIS to UTF-8 always gives well-formed UTF-8 and drops nothing: every byte
// ends up in a character, at most two bytes to a character. When every byte belonged
// to a character of the code page (no U+FFFD came out), the text encodes back
// completely to the same number of bytes, and those bytes decode to the same text.
// A character with two codes (the NEC and IBM rows) may come back under the other
// code, so the bytes themselves are compared only after one trip: the code an
// encoding picks is the one it picks again.
//
// UTF-8 to Shift-JIS claims completeness only for well-formed text of characters the
// code page has; each character becomes one code, so decoding the result gives as
// many characters, none of them U+FFFD, and encoding that gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/sjis.h"

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD";

bool HasReplacement(const std::string& utf8) { return utf8.find(kReplacementUtf8) != std::string::npos; }

void FromSjis(std::string_view bytes)
{
    const std::string text = platform::SjisToUtf8(bytes);
    const long characters = fuzz::CountUtf8CodePoints(text);
    FUZZ_REQUIRE(characters >= 0);
    FUZZ_REQUIRE(static_cast<std::size_t>(characters) <= bytes.size());
    FUZZ_REQUIRE(static_cast<std::size_t>(characters) * 2 >= bytes.size());

    std::string back;
    const bool complete = platform::Utf8ToSjis(text, back);
    if (HasReplacement(text)) {
        FUZZ_REQUIRE(!complete); // U+FFFD has no code
        return;
    }
    FUZZ_REQUIRE(complete);
    FUZZ_REQUIRE(back.size() == bytes.size());
    FUZZ_REQUIRE(platform::SjisToUtf8(back) == text);
    FUZZ_REQUIRE(platform::Utf8ToSjis(platform::SjisToUtf8(back)) == back);
}

void FromUtf8(std::string_view text)
{
    const long characters = fuzz::CountUtf8CodePoints(text);
    std::string bytes;
    const bool complete = platform::Utf8ToSjis(text, bytes);
    if (!complete) {
        FUZZ_REQUIRE(bytes.find('?') != std::string::npos);
        return;
    }
    FUZZ_REQUIRE(characters >= 0);
    const std::string decoded = platform::SjisToUtf8(bytes);
    FUZZ_REQUIRE(!HasReplacement(decoded));
    FUZZ_REQUIRE(fuzz::CountUtf8CodePoints(decoded) == characters);
    std::string again;
    FUZZ_REQUIRE(platform::Utf8ToSjis(decoded, again));
    FUZZ_REQUIRE(again == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    FromSjis(input);
    FromUtf8(input);
    return 0;
}
