// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/preview.h"

#include <algorithm>

#include <QFont>
#include <QPainter>

#include "mapkit/map_image_qt.h"
#include "platform/sjis.h"

namespace assets {

namespace {

QColor ToQColor(Colour c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }

} // namespace

QImage PaintPreview(const mapkit::MapImage& map, const WorldRecord& world)
{
    mapkit::MapImage owned = map;
    for (Colour& c : owned.pixels) {
        const int key = mapkit::KeyIndexOf(c);
        if (key < 0)
            continue;
        const RulerId ruler = world.countries[key].ruler;
        c = (ruler >= 0 && ruler < kRulerCount) ? kRulerColours[ruler] : c;
    }
    QImage out = mapkit::ToQImage(owned);
    QPainter p(&out);
    // Numbers as the view writes them: a 16-pixel system font in black, no smoothing.
    QFont font("IPAGothic");
    font.setPixelSize(16);
    font.setStyleStrategy(QFont::NoAntialias);
    p.setFont(font);
    p.setPen(Qt::black);
    for (int i = 0; i < kCountryCount; ++i) {
        const CountryRecord& c = world.countries[i];
        p.drawText(QRect(c.mapX, c.mapY - mapkit::kMarkerCellSize, 32, mapkit::kMarkerCellSize),
                   Qt::AlignLeft | Qt::AlignTop, QString::number(i));
    }
    // Where the status panel goes: the date and every ruler with his countries.
    const mapkit::Rect panel = mapkit::kPanelRect;
    p.setPen(Qt::black);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(panel.left, panel.top, panel.right - panel.left - 1, panel.bottom - panel.top - 1);
    p.drawText(panel.left + 10, panel.top + 20, QString::fromUtf8("%1 年 %2 月").arg(world.year).arg(world.month));
    int y = panel.top + 44;
    for (RulerId r = 0; r < kRulerCount; ++r) {
        QStringList held;
        for (int i = 0; i < kCountryCount; ++i) {
            if (world.countries[i].ruler == r)
                held << QString::number(i);
        }
        if (held.isEmpty())
            continue;
        p.setBrush(ToQColor(kRulerColours[r]));
        p.drawRect(panel.left + 10, y - 12, 14, 14);
        p.drawText(panel.left + 30, y, QString::fromUtf8(kRulerNames[r].data(), static_cast<int>(kRulerNames[r].size())));
        const QRect list(panel.left + 100, y - 14, panel.right - panel.left - 110, 60);
        const QRect used = p.boundingRect(list, Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, held.join(","));
        p.drawText(list, Qt::AlignLeft | Qt::AlignTop | Qt::TextWrapAnywhere, held.join(","));
        y += std::max(20, used.height() + 4);
    }
    return out;
}

} // namespace assets
