// SPDX-License-Identifier: GPL-3.0-or-later
// The country the keyboard has chosen while the player picks the destination of a move
// or the target of a war. The arrow keys and Tab step through the countries that may
// be chosen; the map outlines the one chosen, and a line under the buttons says how to
// cancel and how to choose. Nothing of it is drawn outside the two choosing modes, and
// the outline only once a key has chosen a country.
#pragma once

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

class MapPicture;
class QPainter;

class TargetChoice {
public:
    // Forgets the choice: every choosing mode starts without one.
    void Clear() { m_country = -1; }

    // Steps forward (direction > 0) or back through targets (index order, wrapping
    // round); from no choice forward goes to the first, back to the last. Returns the
    // country chosen, -1 when there is no target.
    int Step(const std::vector<int>& targets, int direction);

    // The chosen country, -1 when none.
    int Country() const { return m_country; }

    // The outline of the chosen country, drawn on the map in map coordinates; nothing
    // when none is chosen. Drawn before the numbers, so that they stay on top.
    void DrawOutline(QPainter& painter, const MapPicture& picture);
    // The hint line, in map coordinates; font: another line drawn in its place (the
    // odds of the target chosen).
    static void DrawHint(QPainter& painter, const QString& hint);
    static void DrawHint(QPainter& painter, const QString& hint, const QFont& font);

    // Where the hint line is drawn: the free strip below the command buttons.
    static QRect HintRect(const QString& hint);
    static QRect HintRect(const QString& line, const QFont& font);

    // Chooses country (the pointer's choice); -1 for none.
    void Choose(int country) { m_country = country; }

private:
    // A picture of the map's size, clear but for three rings inside the edge of the
    // country: dark, light, dark, so that it shows on every colour.
    static QImage Outline(const MapPicture& picture, int country);

    int m_country = -1;
    int m_outlined = -1; // the country m_outline was made for
    QImage m_outline;
};
