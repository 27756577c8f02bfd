// SPDX-License-Identifier: GPL-3.0-or-later
// A picture of a starting world on the map, for reviewing scenarios before the game's
// window can show them: every country in its ruler's colour, as the game paints it,
// the country numbers in their cells, and a list of the rulers where the status
// panel goes.
#pragma once

#include <QImage>

#include "mapkit/map_analysis.h"
#include "model/country_file.h"

namespace assets {

QImage PaintPreview(const mapkit::MapImage& map, const WorldRecord& world);

} // namespace assets
