// SPDX-License-Identifier: GPL-3.0-or-later
// The map picture as a file: PNG in, PNG out, through Qt's image classes.
#pragma once

#include <string>

#include <QImage>

#include "mapkit/map_analysis.h"

namespace mapkit {

MapImage FromQImage(const QImage& image);
QImage ToQImage(const MapImage& image);

// Reads a picture file; false with the reason when it cannot be read.
bool LoadMapImage(const std::string& path, MapImage& image, std::string* error);

} // namespace mapkit
