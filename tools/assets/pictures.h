// SPDX-License-Identifier: GPL-3.0-or-later
// The view's small pictures and the icon: the battle marker (132), the victory
// picture (163), the game-over picture (164) and the application icon (128).
#pragma once

#include <QImage>

namespace assets {

QImage PaintBattleMarker(); // 16 x 16
QImage PaintVictory();      // 300 x 200
QImage PaintGameOver();     // 300 x 200
QImage PaintIcon(int size); // size x size

} // namespace assets
