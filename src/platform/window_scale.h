// SPDX-License-Identifier: GPL-3.0-or-later
// The whole-step magnification of the program's windows (1 = as designed). The main
// view sets it when the player picks a zoom; the fonts and pictures of the dialogs
// follow it, so that every dialog laid out in dialog units grows by the same step.
#pragma once

#include <QFont>

namespace platform {

int WindowScale();
// Clamped to 1..kMaxWindowScale. The tooltips' and the application's fonts follow at
// once.
void SetWindowScale(int scale);

// font at scale times its size, whether its size is in pixels or in points.
QFont ScaledFont(const QFont& font, int scale);
// font, made for zoom from, at zoom to instead.
QFont RescaledFont(const QFont& font, int from, int to);

inline constexpr int kMaxWindowScale = 3;

} // namespace platform
