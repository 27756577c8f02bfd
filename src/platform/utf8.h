// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 one code point at a time, for the converters that need more than the text:
// Shift-JIS, and file names that may hold bytes of another encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Appends code point c (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// Decodes the well-formed UTF-8 sequence at text[i] into c and moves i past it. False,
// with i unchanged, when the bytes there are none: a stray or missing continuation
// byte, an overlong form, a surrogate, a value past U+10FFFF.
bool DecodeUtf8(std::string_view text, std::size_t& i, char32_t& c);

} // namespace platform
