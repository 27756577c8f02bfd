// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: stopping on a broken rule so that libFuzzer keeps the
// input, and a strict UTF-8 check that does not rely on the converter under test.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void Broken(const char* rule, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: rule broken: %s\n", file, line, rule);
    std::abort();
}

// Counts the code points of well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF); -1 when the text is not well-formed.
inline long CountUtf8CodePoints(std::string_view text)
{
    long count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const unsigned char b0 = static_cast<unsigned char>(text[i]);
        std::size_t length;
        char32_t c;
        if (b0 < 0x80) {
            ++i;
            continue;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            length = 2;
            c = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3;
            c = b0 & 0x0F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4;
            c = b0 & 0x07;
        } else {
            return -1;
        }
        if (text.size() - i < length)
            return -1;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80)
                return -1;
            c = (c << 6) | (b & 0x3F);
        }
        if ((length == 3 && c < 0x800) || (length == 4 && c < 0x10000) || c > 0x10FFFF ||
            (c >= 0xD800 && c <= 0xDFFF))
            return -1;
        i += length;
    }
    return count;
}

inline bool IsUtf8(std::string_view text) { return CountUtf8CodePoints(text) >= 0; }

} // namespace fuzz

// Aborts with the rule's text when it does not hold.
#define FUZZ_REQUIRE(rule) ((rule) ? (void)0 : ::fuzz::Broken(#rule, __FILE__, __LINE__))
