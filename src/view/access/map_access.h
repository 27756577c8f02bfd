// SPDX-License-Identifier: GPL-3.0-or-later
// The painted map as accessibility software reads it: the map view is a list whose
// first fourteen items are the countries (each named with its number, name and ruler,
// described by its figures, its neighbours with their rulers and soldiers, and whether
// it may be chosen now; pressing one is a click on it), followed by the panel's figures
// as text, the status bar the game's lines are told through (view/access/announcer.h)
// and the view's own widgets (the command buttons, whose descriptions say why they
// cannot act). Everything is read from the view's game and marks when it is asked for.
#pragma once

#include <QString>

class CKivView;
struct GameState;
class QAccessibleInterface;
struct TurnDescription;

namespace accessible {

// Makes Qt build the map view's accessible interface from here; once, before the
// first window is shown.
void InstallMapAccess();

// A country as its list item says it: "3 徐州 劉備".
QString CountryName(const GameState& world, int country);
// Its figures, its neighbours and, while a target is chosen, whether it may be chosen.
QString CountryDescription(const GameState& world, const TurnDescription& turn, int country);
// The panel's words: the date, the country shown with its figures, the status line.
QString PanelText(const GameState& world, int shown, const QString& status);

} // namespace accessible
