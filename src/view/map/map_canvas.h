// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing on the map's surface in the platform's way: rectangles exclude their right and
// bottom edges, a polyline leaves out its last point (only axis-parallel lines are
// needed), and a text is placed by its top left corner. Each text written may be listed
// (tests read the panel's words from the list).
#pragma once

#include <QPoint>
#include <QString>

#include <initializer_list>
#include <vector>

class QColor;
class QPainter;

// A text a paint wrote on the surface, with the top left corner it was written at.
struct MapText {
    QPoint at;
    QString text;
    bool operator==(const MapText&) const = default;
};

class MapCanvas {
public:
    // record, when given, is emptied and then lists every text written, in order.
    MapCanvas(QPainter& painter, std::vector<MapText>* record);

    void Text(int x, int y, const QString& text);
    // Text that must stay within width pixels: drawn whole, on the same line, in a
    // narrower or smaller face of the font when it would not fit as it is.
    void FittedText(int x, int y, int width, const QString& text);
    void Polyline(std::initializer_list<QPoint> points, const QColor& colour);
    // Outline in black, filled inside.
    void Rectangle(int left, int top, int right, int bottom, const QColor& fill);

    QPainter& Painter() { return m_p; }

private:
    // From a up to b, without b.
    void Segment(QPoint a, QPoint b, const QColor& colour);

    QPainter& m_p;
    int m_ascent;
    std::vector<MapText>* m_record;
};
