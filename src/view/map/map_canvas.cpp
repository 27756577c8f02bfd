// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/map_canvas.h"

#include <QPainter>

#include <cstdlib>

#include "platform/text_fit.h"

MapCanvas::MapCanvas(QPainter& painter, std::vector<MapText>* record)
    : m_p(painter), m_ascent(painter.fontMetrics().ascent()), m_record(record)
{
    if (m_record)
        m_record->clear();
}

void MapCanvas::Text(int x, int y, const QString& text)
{
    m_p.drawText(x, y + m_ascent, text);
    if (m_record)
        m_record->push_back({QPoint(x, y), text});
}

void MapCanvas::FittedText(int x, int y, int width, const QString& text)
{
    const QFont normal = m_p.font();
    const platform::FittedText fitted = platform::FitText(normal, text, width);
    m_p.setFont(fitted.font);
    Text(x, y, fitted.text);
    m_p.setFont(normal);
}

void MapCanvas::Polyline(std::initializer_list<QPoint> points, const QColor& colour)
{
    const QPoint* a = nullptr;
    for (const QPoint& b : points) {
        if (a)
            Segment(*a, b, colour);
        a = &b;
    }
}

void MapCanvas::Rectangle(int left, int top, int right, int bottom, const QColor& fill)
{
    m_p.fillRect(left, top, right - left, bottom - top, fill);
    Polyline({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top - 1}}, Qt::black);
}

void MapCanvas::Segment(QPoint a, QPoint b, const QColor& colour)
{
    if (a.y() == b.y()) {
        const int x0 = a.x() < b.x() ? a.x() : b.x() + 1;
        m_p.fillRect(x0, a.y(), std::abs(b.x() - a.x()), 1, colour);
    } else {
        const int y0 = a.y() < b.y() ? a.y() : b.y() + 1;
        m_p.fillRect(a.x(), y0, 1, std::abs(b.y() - a.y()), colour);
    }
}
