// SPDX-License-Identifier: GPL-3.0-or-later
// When a key was pressed, against a moment of the game. The windowing systems stamp a
// key event with the milliseconds of the monotonic clock (X keeps only the low 32 bits
// of them); a key typed ahead while the computer played may reach a window only after
// the player's turn has begun, and its stamp tells it apart from a key pressed since.
#pragma once

#include <QtGlobal>

namespace platform {

// The monotonic clock in milliseconds, as key events are stamped.
quint64 KeyClockNow();

// Whether a key stamped timestamp was pressed before moment (both from KeyClockNow's
// clock), within the last kTypedAheadMs. A stamp of 0 (an event made by a program, not
// a keyboard) and a stamp from another clock (far from moment) count as pressed since.
bool PressedBefore(quint64 timestamp, quint64 moment);

inline constexpr qint64 kTypedAheadMs = 10'000;

} // namespace platform
