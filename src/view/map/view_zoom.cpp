// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/view_zoom.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Division rounded toward minus infinity.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// The first view pixel at or right of map coordinate x (its left edge) at factor.
int ViewEdge(int x, qreal factor) { return static_cast<int>(std::ceil(x * factor - 1e-9)); }

// One row of the picture as factor rows of the enlargement.
void EnlargeRow(const std::uint32_t* in, int width, int factor, uchar* out, qsizetype stride)
{
    auto* d = reinterpret_cast<std::uint32_t*>(out);
    if (factor == 2) {
        for (int x = 0; x < width; ++x, d += 2)
            d[0] = d[1] = in[x];
    } else {
        for (int x = 0; x < width; ++x, d += factor)
            std::fill_n(d, factor, in[x]);
    }
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(factor) * 4;
    for (int r = 1; r < factor; ++r)
        std::memcpy(out + r * stride, out, bytes);
}

} // namespace

void ViewZoom::SetFactor(qreal factor)
{
    const qreal step = platform::NearestWindowScale(factor);
    if (step == m_factor)
        return;
    m_factor = step;
    // Nothing carries over from another factor.
    m_signature.clear();
    m_enlarged = QImage();
    m_surface = QImage();
}

QRect ViewZoom::Scaled(const QRect& mapRect) const
{
    if (Whole()) {
        const int f = static_cast<int>(m_factor);
        return QRect(mapRect.topLeft() * f, mapRect.size() * f);
    }
    const int left = ViewEdge(mapRect.left(), m_factor);
    const int top = ViewEdge(mapRect.top(), m_factor);
    return QRect(left, top, ViewEdge(mapRect.left() + mapRect.width(), m_factor) - left,
                 ViewEdge(mapRect.top() + mapRect.height(), m_factor) - top);
}

QPoint ViewZoom::ToMap(QPoint viewPoint) const
{
    if (Whole()) {
        const int f = static_cast<int>(m_factor);
        return QPoint(FloorDiv(viewPoint.x(), f), FloorDiv(viewPoint.y(), f));
    }
    return QPoint(static_cast<int>(std::floor(viewPoint.x() / m_factor + 1e-9)),
                  static_cast<int>(std::floor(viewPoint.y() / m_factor + 1e-9)));
}

const QImage& ViewZoom::Enlarged(const QImage& picture, const QByteArray& signature)
{
    const QSize size = Scaled(picture.size());
    if (m_enlarged.size() == size && !m_signature.isEmpty() && signature == m_signature)
        return m_enlarged;
    m_signature = signature;
    const QImage source =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    if (!Whole()) {
        // Between whole steps a pixel cannot stay square: the picture is smoothed.
        m_enlarged = source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return m_enlarged;
    }
    const int f = static_cast<int>(m_factor);
    if (m_enlarged.size() != size || m_enlarged.format() != QImage::Format_RGB32)
        m_enlarged = QImage(size, QImage::Format_RGB32);
    const qsizetype stride = m_enlarged.bytesPerLine();
    uchar* out = m_enlarged.bits();
    for (int y = 0; y < source.height(); ++y)
        EnlargeRow(reinterpret_cast<const std::uint32_t*>(source.constScanLine(y)), source.width(), f,
                   out + static_cast<qsizetype>(y) * f * stride, stride);
    return m_enlarged;
}

QImage& ViewZoom::Compose(const QImage& picture, const QByteArray& signature)
{
    const QImage& enlarged = Enlarged(picture, signature);
    if (m_surface.size() != enlarged.size() || m_surface.format() != enlarged.format())
        m_surface = QImage(enlarged.size(), enlarged.format());
    std::memcpy(m_surface.bits(), enlarged.constBits(), static_cast<std::size_t>(enlarged.sizeInBytes()));
    return m_surface;
}

qreal ViewZoom::LargestFitting(QSize mapSize, QSize chrome, QSize available)
{
    for (auto step = platform::kWindowScales.rbegin(); step != platform::kWindowScales.rend(); ++step) {
        ViewZoom zoom;
        zoom.SetFactor(*step);
        const QSize needed = zoom.Scaled(mapSize) + chrome;
        if (needed.width() <= available.width() && needed.height() <= available.height())
            return *step;
    }
    return kMin;
}
