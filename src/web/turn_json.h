// SPDX-License-Identifier: GPL-3.0-or-later
// The turn's description as the page is told it: the stage by name, who acts, each
// command's allowed and offered with its reason as a Message the page words itself, and
// the targets a move or a war may choose.
#pragma once

#include "conduct/turn_description.h"
#include "web/json_text.h"

namespace web {

// Writes the description as one JSON object value.
void WriteTurn(JsonText& json, const TurnDescription& turn);

} // namespace web
