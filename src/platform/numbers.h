// SPDX-License-Identifier: GPL-3.0-or-later
// Text to number the way the C library's atoi reads it.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

struct LeadingInt {
    std::int32_t value = 0; // saturated at the 32-bit limits when the digits overflow
    bool hasDigits = false; // false: the text held no number (value 0)
    bool overflow = false;  // the digits did not fit in 32 bits
};

// Skips leading white space (blank, tab, line feed, vertical tab, form feed, carriage
// return), reads an optional sign and the decimal digits that follow, and stops at the
// first other character. Never overflows: a value past the 32-bit range saturates.
LeadingInt ParseLeadingInt(std::string_view text);

// atoi: the value of ParseLeadingInt, 0 when the text holds no number.
inline std::int32_t AtoI(std::string_view text) { return ParseLeadingInt(text).value; }

} // namespace platform
