// SPDX-License-Identifier: GPL-3.0-or-later
// The sixteen ruler portraits (resources 135..150, 80 x 100): ruler 0 is plain white,
// rulers 1..15 are faces drawn from a description of each man: headgear, beard, age,
// build, and a robe in the colour his countries take on the map.
#pragma once

#include <QImage>

namespace assets {

constexpr int kPortraitWidth = 80;
constexpr int kPortraitHeight = 100;

QImage PaintPortrait(int ruler);

} // namespace assets
