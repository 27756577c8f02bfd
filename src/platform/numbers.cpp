// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/numbers.h"

#include <limits>

namespace platform {

LeadingInt ParseLeadingInt(std::string_view text)
{
    LeadingInt result;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < n && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude in 64 bits and stop growing it once it is past the
    // 32-bit range, so that a line of any number of digits is safe.
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        result.hasDigits = true;
        if (magnitude <= kLimit)
            magnitude = magnitude * 10 + (text[i] - '0');
        ++i;
    }
    if (negative) {
        if (magnitude > kLimit) {
            result.overflow = true;
            magnitude = kLimit;
        }
        result.value = static_cast<std::int32_t>(-magnitude);
    } else {
        if (magnitude > kLimit - 1) {
            result.overflow = true;
            magnitude = kLimit - 1;
        }
        result.value = static_cast<std::int32_t>(magnitude);
    }
    return result;
}

} // namespace platform
