// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/battle_arrows.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <cmath>

#include "view/map/map_picture.h"

namespace {

const QColor kTakenColour(200, 0, 0);
const QColor kFailedColour(0, 70, 210);
constexpr double kArrowWidth = 2.5;
constexpr double kHead = 9;       // the head's length
constexpr double kSideStep = 3;    // arrows both ways between two countries lie side by side
constexpr double kClearance = 10; // pixels left free at each country's middle

// The middle of each country's pixels on the map (its centre of mass).
std::array<QPointF, kCountryCount> Centres(const MapPicture& map)
{
    std::array<double, kCountryCount> sumX{};
    std::array<double, kCountryCount> sumY{};
    std::array<double, kCountryCount> count{};
    for (const MapPicture::Run& run : map.CountryRuns()) {
        if (run.country >= kCountryCount)
            continue;
        const double x0 = run.offset % kMapWidth;
        const double n = run.length;
        sumX[run.country] += n * x0 + n * (n - 1) / 2;
        sumY[run.country] += n * (run.offset / kMapWidth);
        count[run.country] += n;
    }
    std::array<QPointF, kCountryCount> centres;
    for (int i = 0; i < kCountryCount; ++i)
        centres[static_cast<std::size_t>(i)] =
            count[static_cast<std::size_t>(i)] > 0
                ? QPointF(sumX[static_cast<std::size_t>(i)] / count[static_cast<std::size_t>(i)] + 0.5,
                          sumY[static_cast<std::size_t>(i)] / count[static_cast<std::size_t>(i)] + 0.5)
                : QPointF(-1, -1);
    return centres;
}

} // namespace

void DrawBattleArrows(QPainter& painter, const MapPicture& map, const std::vector<BattleArrow>& arrows, bool shapes)
{
    if (arrows.empty())
        return;
    const std::array<QPointF, kCountryCount> centres = Centres(map);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (const BattleArrow& arrow : arrows) {
        const QPointF from = centres[static_cast<std::size_t>(arrow.attacker)];
        const QPointF to = centres[static_cast<std::size_t>(arrow.target)];
        QLineF line(from, to);
        if (from.x() < 0 || to.x() < 0 || line.length() < 2 * kClearance + kHead)
            continue;
        // Off the middles, and a little to the arrow's right.
        const QLineF normal = line.normalVector().unitVector();
        const QPointF side = (normal.p2() - normal.p1()) * -kSideStep;
        const QLineF unit = line.unitVector();
        const QPointF along = unit.p2() - unit.p1();
        line = QLineF(from + side + along * kClearance, to + side - along * kClearance);

        const QColor colour = arrow.taken ? kTakenColour : kFailedColour;
        const bool open = shapes && !arrow.taken;
        const QPointF tip = line.p2();
        const QPointF back = tip - along * kHead;
        const QPointF across = (normal.p2() - normal.p1()) * (kHead / 2);
        const QPointF shaft = open ? tip : back;
        QPolygonF head;
        head << back + across << tip << back - across;

        // A white edge first, so that the arrow reads on every ruler's colour.
        for (const bool edge : {true, false}) {
            QPen pen(edge ? QColor(Qt::white) : colour, edge ? kArrowWidth + 2 : kArrowWidth, Qt::SolidLine, Qt::FlatCap,
                     Qt::MiterJoin);
            if (open && !edge)
                pen.setStyle(Qt::DashLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawLine(QLineF(line.p1(), shaft));
            pen.setStyle(Qt::SolidLine);
            painter.setPen(pen);
            if (open) {
                painter.drawPolyline(head);
            } else {
                painter.setBrush(edge ? QColor(Qt::white) : colour);
                painter.drawPolygon(head);
            }
        }
    }
    painter.restore();
}
