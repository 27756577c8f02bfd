// SPDX-License-Identifier: GPL-3.0-or-later
// The main view magnified by whole steps: the map surface shown one, two or three
// times as large with every pixel a square of pixels, points of the view taken back
// to the map's own pixels, and the magnified surface a paint composes on.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

class ViewZoom {
public:
    static constexpr int kMin = 1;
    static constexpr int kMax = 3;

    int Factor() const { return m_factor; }
    // Clamped to kMin..kMax.
    void SetFactor(int factor);

    // A size or a rectangle of the map in the view's pixels.
    QSize Scaled(QSize mapSize) const { return mapSize * m_factor; }
    QRect Scaled(const QRect& mapRect) const;
    // The map pixel under a point of the view (rounded down, so that points left of
    // or above the map stay off it).
    QPoint ToMap(QPoint viewPoint) const;

    // The picture enlarged, each pixel a factor x factor square, kept between calls:
    // the caller vouches that a picture with the same signature as the last one is
    // the same picture, and it is then not enlarged again.
    const QImage& Enlarged(const QImage& picture, const QByteArray& signature);
    // A copy of the enlarged picture for the rest of a paint to compose on; it stays
    // as composed until the next call.
    QImage& Compose(const QImage& picture, const QByteArray& signature);
    const QImage& Surface() const { return m_surface; }

    // The largest factor at which a view of mapSize, with chrome around it (menu bar,
    // window frame), fits into available; kMin when none does.
    static int LargestFitting(QSize mapSize, QSize chrome, QSize available);

private:
    int m_factor = kMin;
    QByteArray m_signature; // of the picture last enlarged
    QImage m_enlarged;
    QImage m_surface;  // what Compose returned
};
