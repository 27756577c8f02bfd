// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures by resource number (130 the map, 135 + r the portrait of ruler r, ...),
// bundled in the program.
#pragma once

#include <QImage>
#include <QPixmap>

namespace platform {

// The picture, or a null image when the program has no picture of that number.
QImage LoadResourceImage(int id);
// For a dialog: enlarged pixel for pixel by the windows' magnification (WindowScale),
// or by the dialog's own scale.
QPixmap LoadResourcePixmap(int id);
QPixmap LoadResourcePixmap(int id, int scale);

} // namespace platform
