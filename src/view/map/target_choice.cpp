// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/target_choice.h"

#include <QPainter>

#include <algorithm>

#include "view/map/map_picture.h"
#include "platform/fonts.h"

namespace {

// Below the buttons (y 390..409) the map shows only its plain frame.
constexpr int kHintX = 20;
constexpr int kHintY = 415;
constexpr int kHintPadding = 3;

const QColor kHintBackground(255, 255, 225);
const QColor kRingDark(0, 0, 0);
const QColor kRingLight(255, 255, 255);

} // namespace

int TargetChoice::Step(const std::vector<int>& targets, int direction)
{
    if (targets.empty()) {
        m_country = -1;
        return m_country;
    }
    if (direction > 0) {
        const auto next = std::upper_bound(targets.begin(), targets.end(), m_country);
        m_country = next != targets.end() ? *next : targets.front();
    } else {
        const auto next = std::lower_bound(targets.begin(), targets.end(), m_country);
        m_country = next != targets.begin() ? *(next - 1) : targets.back();
    }
    return m_country;
}

QRect TargetChoice::HintRect(const QString& hint) { return HintRect(hint, platform::Font(platform::GameFont::Dialog, 1)); }

QRect TargetChoice::HintRect(const QString& line, const QFont& font)
{
    const QFontMetrics metrics(font);
    return QRect(kHintX, kHintY, metrics.horizontalAdvance(line) + 2 * kHintPadding,
                 metrics.height() + 2 * kHintPadding);
}

void TargetChoice::DrawOutline(QPainter& painter, const MapPicture& picture)
{
    if (m_country == -1)
        return;
    if (m_outlined != m_country) {
        m_outline = Outline(picture, m_country);
        m_outlined = m_country;
    }
    painter.drawImage(0, 0, m_outline);
}

void TargetChoice::DrawHint(QPainter& painter, const QString& hint)
{
    DrawHint(painter, hint, platform::Font(platform::GameFont::Dialog, 1));
}

void TargetChoice::DrawHint(QPainter& painter, const QString& hint, const QFont& font)
{
    painter.save();
    const QRect box = HintRect(hint, font);
    painter.fillRect(box, kHintBackground);
    painter.setPen(Qt::black);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setFont(font);
    painter.drawText(box.adjusted(kHintPadding, kHintPadding, -kHintPadding, -kHintPadding),
                     Qt::AlignLeft | Qt::AlignVCenter, hint);
    painter.restore();
}

QImage TargetChoice::Outline(const MapPicture& picture, int country)
{
    // Distance inward from the country's edge, 1..3, ring by ring.
    constexpr int kRings = 3;
    std::vector<std::uint8_t> ring(static_cast<std::size_t>(kMapWidth) * kMapHeight, 0);
    auto at = [&](int x, int y) -> std::uint8_t& { return ring[static_cast<std::size_t>(y) * kMapWidth + x]; };
    constexpr std::uint8_t kInside = 0xFF;
    for (int y = 0; y < kMapHeight; ++y)
        for (int x = 0; x < kMapWidth; ++x)
            if (picture.CountryAt(x, y) == country)
                at(x, y) = kInside;
    auto touches = [&](int x, int y, std::uint8_t value) {
        const int dx[] = {-1, 1, 0, 0};
        const int dy[] = {0, 0, -1, 1};
        for (int i = 0; i < 4; ++i) {
            const int nx = x + dx[i];
            const int ny = y + dy[i];
            const std::uint8_t n = nx < 0 || ny < 0 || nx >= kMapWidth || ny >= kMapHeight ? 0 : at(nx, ny);
            if (n == value)
                return true;
        }
        return false;
    };
    for (int r = 1; r <= kRings; ++r) {
        const std::uint8_t outer = static_cast<std::uint8_t>(r - 1);
        std::vector<std::size_t> found;
        for (int y = 0; y < kMapHeight; ++y)
            for (int x = 0; x < kMapWidth; ++x)
                if (at(x, y) == kInside && touches(x, y, outer))
                    found.push_back(static_cast<std::size_t>(y) * kMapWidth + x);
        for (std::size_t i : found)
            ring[i] = static_cast<std::uint8_t>(r);
    }

    QImage image(kMapWidth, kMapHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QRgb colours[kRings] = {kRingDark.rgb(), kRingLight.rgb(), kRingDark.rgb()};
    for (int y = 0; y < kMapHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kMapWidth; ++x)
            if (const std::uint8_t r = at(x, y); r >= 1 && r <= kRings)
                line[x] = colours[r - 1];
    }
    return image;
}
