// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures by resource number (130 the map, 135 + r the portrait of ruler r, ...),
// bundled in the program.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace platform {

// The picture, or a null image when the program has no picture of that number.
QImage LoadResourceImage(int id);
// The picture with words of a language ("en": id-en), or the game's own where it has
// none in that language (or language is empty).
QImage LoadResourceImage(int id, const QString& language);
// For a dialog: enlarged by the windows' magnification (WindowScale), or by the
// dialog's own scale; pixel for pixel at a whole step, smoothly between.
QPixmap LoadResourcePixmap(int id);
QPixmap LoadResourcePixmap(int id, qreal scale);

} // namespace platform
