// SPDX-License-Identifier: GPL-3.0-or-later
// The game's figures are signed 32-bit integers. Products are formed wide and sums
// saturate at the 32-bit limits, so that no figure ever wraps around.
#pragma once

#include <cstdint>
#include <limits>

inline std::int32_t SaturateToInt32(__int128 value)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    if (value > kMax)
        return kMax;
    if (value < kMin)
        return kMin;
    return static_cast<std::int32_t>(value);
}

inline std::int32_t SaturatingAdd(std::int32_t a, __int128 b)
{
    return SaturateToInt32(static_cast<__int128>(a) + b);
}
