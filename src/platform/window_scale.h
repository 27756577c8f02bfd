// SPDX-License-Identifier: GPL-3.0-or-later
// The magnification of the program's windows (1 = as designed): one of a few steps,
// whole (1, 2, 3) or between them (1.5). The main view sets it when the player picks a
// zoom; the fonts and pictures of the dialogs follow it, so that every dialog laid out
// in dialog units grows by the same step.
#pragma once

#include <QFont>
#include <QString>

#include <array>

namespace platform {

// The steps a window may be magnified by, smallest first.
inline constexpr std::array<qreal, 4> kWindowScales = {1.0, 1.5, 2.0, 3.0};
inline constexpr qreal kMaxWindowScale = kWindowScales.back();

// The step nearest to scale (the smaller of two as near).
qreal NearestWindowScale(qreal scale);
// The step below scale; the smallest step stays.
qreal SmallerWindowScale(qreal scale);
// The step above scale; the largest step stays.
qreal LargerWindowScale(qreal scale);
// True for the whole steps, where a picture grows pixel for pixel.
bool WholeScale(qreal scale);

qreal WindowScale();
// Taken to the nearest step. The tooltips' and the application's fonts follow at once.
void SetWindowScale(qreal scale);

// The family of the application's font (the menus, Qt's own dialogs, the tooltips):
// empty for the platform's own. Applied at once, at the windows' scale.
void SetApplicationFamily(const QString& family);

// font at scale times its size, whether its size is in pixels or in points.
QFont ScaledFont(const QFont& font, qreal scale);
// font, made for zoom from, at zoom to instead.
QFont RescaledFont(const QFont& font, qreal from, qreal to);

} // namespace platform
