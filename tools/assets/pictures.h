// SPDX-License-Identifier: GPL-3.0-or-later
// The view's small pictures and the icon: the battle marker (132), the victory
// picture (163), the game-over picture (164) and the application icon (128).
#pragma once

#include <QImage>
#include <QString>

namespace assets {

QImage PaintBattleMarker(); // 16 x 16
// 300 x 200, with their words: the Japanese pictures (163, 164) and the English ones
// (163-en, 164-en) the windows show in the English game.
QImage PaintVictory(const QString& words);
QImage PaintGameOver(const QString& line, const QString& title);
QImage PaintIcon(int size); // size x size

} // namespace assets
