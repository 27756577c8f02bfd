// SPDX-License-Identifier: GPL-3.0-or-later
// The four domestic commands a ruler gives in a country.
#pragma once

#include <cstdint>

enum class DomesticCommand : std::uint8_t { DevelopLand, DevelopCommerce, Conscript, Train };
