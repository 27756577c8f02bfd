// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/key_time.h"

#include <QElapsedTimer>

#include <cstdint>

namespace platform {

quint64 KeyClockNow()
{
    QElapsedTimer clock;
    clock.start();
    return static_cast<quint64>(clock.msecsSinceReference());
}

bool PressedBefore(quint64 timestamp, quint64 moment)
{
    if (timestamp == 0)
        return false;
    // Compared in 32 bits, so that the stamps of X, which wrap every 49.7 days, compare
    // as well as full ones.
    const auto earlier = static_cast<std::int32_t>(static_cast<std::uint32_t>(moment) - static_cast<std::uint32_t>(timestamp));
    return earlier > 0 && earlier <= kTypedAheadMs;
}

} // namespace platform
