// SPDX-License-Identifier: GPL-3.0-or-later
// A small map picture for the window tests: countries 0..13 as 24-pixel squares in a
// row at y 100..123 with outline columns between them (clear of the panel), country 13 also filling the
// bottom right corner, sea elsewhere, one white pixel and some lettering.
#pragma once

#include <QImage>
#include <QPainter>

#include <array>

#include "view/map/map_picture.h"

inline QColor Qc(Colour c) { return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)); }
inline Colour At(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return MakeColour(qRed(p), qGreen(p), qBlue(p));
}

constexpr Colour kSea = MakeColour(102, 255, 102);
constexpr Colour kLettering = MakeColour(150, 90, 30);

constexpr int kSquareSize = 24;
constexpr int kSquareTop = 100;
// The left edge of country i's square.
constexpr int SquareX(int i) { return i * (kSquareSize + 2); }

inline QImage SyntheticMap()
{
    QImage map(kMapWidth, kMapHeight, QImage::Format_RGB32);
    map.fill(Qc(kSea));
    QPainter p(&map);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < kCountryCount; ++i)
        p.fillRect(SquareX(i), kSquareTop, kSquareSize, kSquareSize, Qc(kRegionKeyColours[i]));
    for (int i = 0; i < kCountryCount; ++i)
        p.fillRect(SquareX(i) + kSquareSize, kSquareTop, 2, kSquareSize, Qc(kOutlineColour));
    p.fillRect(600, 420, 16, 20, Qc(kRegionKeyColours[13]));
    p.fillRect(10, 10, 30, 10, Qc(kLettering));
    p.end();
    map.setPixel(5, 5, qRgb(255, 255, 255));
    return map;
}

// White portraits of 80 x 100.
inline std::array<QImage, kRulerCount> BlankPortraits()
{
    std::array<QImage, kRulerCount> portraits;
    for (QImage& portrait : portraits) {
        portrait = QImage(80, 100, QImage::Format_RGB32);
        portrait.fill(Qt::white);
    }
    return portraits;
}

// The colour of ruler r's test portrait; each ruler has his own.
inline QColor PortraitColour(int ruler) { return QColor(20 + 14 * ruler, 230 - 9 * ruler, 60 + (ruler * 53) % 150); }

// Portraits of 80 x 100, each a plain field in its ruler's own colour with a dark
// 10 x 10 square in the top left corner, so that a picture copied to the wrong place
// or turned over shows.
inline std::array<QImage, kRulerCount> DistinctPortraits()
{
    std::array<QImage, kRulerCount> portraits;
    for (int r = 0; r < kRulerCount; ++r) {
        QImage& portrait = portraits[static_cast<std::size_t>(r)];
        portrait = QImage(80, 100, QImage::Format_RGB32);
        portrait.fill(PortraitColour(r));
        QPainter p(&portrait);
        p.fillRect(0, 0, 10, 10, QColor(40, 20, 10));
    }
    return portraits;
}
