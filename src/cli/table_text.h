// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of the command line's tables: figures in tenths and hundredths, columns
// padded to the width a terminal gives the text (CJK characters take two), rulers by
// number and name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/game_state.h"

// 12.5 for 125: tenths (of a percent, for a share in permille) and hundredths.
std::string Tenths(std::int64_t value);
std::string Hundredths(std::int64_t value);

// Columns on a terminal.
int DisplayWidth(std::string_view utf8);
std::string PadRight(const std::string& text, int width);
std::string PadLeft(const std::string& text, int width);

// " 1 劉備": the id right-aligned in two columns and the name.
std::string RulerLabel(RulerId ruler);
