// SPDX-License-Identifier: GPL-3.0-or-later
// Shift-JIS (code page 932, the Windows variant) to UTF-8 and back. The game's data
// files keep their names as Shift-JIS bytes; they are converted only to be shown.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Converts Shift-JIS bytes to UTF-8. A byte sequence that is no character of the code
// page becomes U+FFFD; nothing is dropped silently and the result is always valid UTF-8.
std::string SjisToUtf8(std::string_view sjis);

// Converts UTF-8 to Shift-JIS. Characters the code page lacks, and malformed UTF-8,
// become '?'; the result is false when that happened.
bool Utf8ToSjis(std::string_view utf8, std::string& sjis);

// Convenience for text known to encode (the game's own texts): the converted bytes.
std::string Utf8ToSjis(std::string_view utf8);

} // namespace platform
