// SPDX-License-Identifier: GPL-3.0-or-later
// The main view magnified by a step of the windows' scale (1, 1.5, 2 or 3): the map
// surface shown that many times as large, at a whole step with every pixel a square of
// pixels, between whole steps smoothly; points of the view taken back to the map's own
// pixels, and the magnified surface a paint composes on.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "platform/window_scale.h"

class ViewZoom {
public:
    static constexpr qreal kMin = platform::kWindowScales.front();
    static constexpr qreal kMax = platform::kWindowScales.back();

    qreal Factor() const { return m_factor; }
    // Taken to the nearest step.
    void SetFactor(qreal factor);
    // A whole step: the picture is enlarged pixel for pixel.
    bool Whole() const { return platform::WholeScale(m_factor); }

    // A size or a rectangle of the map in the view's pixels (between whole steps, the
    // view pixels whose top left lies in it).
    QSize Scaled(QSize mapSize) const { return Scaled(QRect(QPoint(), mapSize)).size(); }
    QRect Scaled(const QRect& mapRect) const;
    // The map pixel under a point of the view (rounded down, so that points left of
    // or above the map stay off it).
    QPoint ToMap(QPoint viewPoint) const;

    // The picture enlarged (each pixel a factor x factor square at a whole step), kept
    // between calls:
    // the caller vouches that a picture with the same signature as the last one is
    // the same picture, and it is then not enlarged again.
    const QImage& Enlarged(const QImage& picture, const QByteArray& signature);
    // A copy of the enlarged picture for the rest of a paint to compose on; it stays
    // as composed until the next call.
    QImage& Compose(const QImage& picture, const QByteArray& signature);
    const QImage& Surface() const { return m_surface; }

    // The largest step at which a view of mapSize, with chrome around it (menu bar,
    // window frame), fits into available; kMin when none does.
    static qreal LargestFitting(QSize mapSize, QSize chrome, QSize available);

private:
    qreal m_factor = kMin;
    QByteArray m_signature; // of the picture last enlarged
    QImage m_enlarged;
    QImage m_surface;  // what Compose returned
};
