// SPDX-License-Identifier: GPL-3.0-or-later
// The Japanese fonts the windows draw with, picked from the installed families.
#pragma once

#include <QFont>

namespace platform {

enum class GameFont {
    System,        // the 16-pixel system font of the main view (fixed width, bitmap-like)
    Dialog,        // the dialogs' proportional gothic, 9 points
    DialogLarge,   // the message window's proportional gothic, 12 points
    BattleCounts,  // the soldier counts of the battle window: fixed gothic, 20 pixels
};

// The font for a use, its size multiplied by scale (the windows' magnification when
// none is given). The first call looks the families up in the font database and says
// on standard error when no Japanese gothic face is installed.
QFont Font(GameFont kind);
QFont Font(GameFont kind, qreal scale);

// The family chosen for fixed and proportional text ("" when none was found).
QString FixedFamily();
QString ProportionalFamily();

// The family the platform draws the interface of a language in ("en", "ja"):
// fontconfig's sans serif for it, by the name the font database lists it under; empty
// when there is none.
QString InterfaceFamily(const QString& language);

} // namespace platform
