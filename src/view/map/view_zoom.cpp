// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/view_zoom.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Division rounded toward minus infinity.
int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

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

void ViewZoom::SetFactor(int factor)
{
    const int clamped = std::clamp(factor, kMin, kMax);
    if (clamped == m_factor)
        return;
    m_factor = clamped;
    // Nothing carries over from another factor.
    m_signature.clear();
    m_enlarged = QImage();
    m_surface = QImage();
}

QRect ViewZoom::Scaled(const QRect& mapRect) const
{
    return QRect(mapRect.topLeft() * m_factor, mapRect.size() * m_factor);
}

QPoint ViewZoom::ToMap(QPoint viewPoint) const
{
    return QPoint(FloorDiv(viewPoint.x(), m_factor), FloorDiv(viewPoint.y(), m_factor));
}

const QImage& ViewZoom::Enlarged(const QImage& picture, const QByteArray& signature)
{
    const QSize size = picture.size() * m_factor;
    if (m_enlarged.size() == size && !m_signature.isEmpty() && signature == m_signature)
        return m_enlarged;
    m_signature = signature;
    if (m_enlarged.size() != size)
        m_enlarged = QImage(size, QImage::Format_RGB32);
    const QImage source =
        picture.format() == QImage::Format_RGB32 ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const qsizetype stride = m_enlarged.bytesPerLine();
    uchar* out = m_enlarged.bits();
    for (int y = 0; y < source.height(); ++y)
        EnlargeRow(reinterpret_cast<const std::uint32_t*>(source.constScanLine(y)), source.width(), m_factor,
                   out + static_cast<qsizetype>(y) * m_factor * stride, stride);
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

int ViewZoom::LargestFitting(QSize mapSize, QSize chrome, QSize available)
{
    for (int f = kMax; f > kMin; --f) {
        const QSize needed = mapSize * f + chrome;
        if (needed.width() <= available.width() && needed.height() <= available.height())
            return f;
    }
    return kMin;
}
