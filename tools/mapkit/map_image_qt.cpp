// SPDX-License-Identifier: GPL-3.0-or-later
#include "mapkit/map_image_qt.h"

#include <QImage>

#include "platform/text_file.h"

namespace mapkit {

MapImage FromQImage(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    MapImage out(image.width(), image.height(), 0);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out.Set(x, y, MakeColour(qRed(row[x]), qGreen(row[x]), qBlue(row[x])));
    }
    return out;
}

QImage ToQImage(const MapImage& image)
{
    QImage out(image.width, image.height, QImage::Format_RGB32);
    for (int y = 0; y < image.height; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x) {
            const Colour c = image.At(x, y);
            row[x] = qRgb(ColourRed(c), ColourGreen(c), ColourBlue(c));
        }
    }
    return out;
}

bool LoadMapImage(const std::string& path, MapImage& image, std::string* error)
{
    // Through the game's own reader: only a plain file of a sensible size is read.
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes, nullptr, error))
        return false;
    QImage loaded;
    if (!loaded.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()))) {
        if (error)
            *error = "not a picture Qt can read";
        return false;
    }
    image = FromQImage(loaded);
    return true;
}

} // namespace mapkit
