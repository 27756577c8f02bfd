// SPDX-License-Identifier: GPL-3.0-or-later
// Dialog templates are laid out in dialog units: a quarter of the font's average
// character width horizontally and an eighth of its height vertically.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace platform {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int X(int units) const { return (units * m_baseX + 2) / 4; }
    int Y(int units) const { return (units * m_baseY + 4) / 8; }
    QRect Rect(int x, int y, int width, int height) const { return QRect(X(x), Y(y), X(width), Y(height)); }
    QSize Size(int width, int height) const { return QSize(X(width), Y(height)); }

private:
    int m_baseX;
    int m_baseY;
};

} // namespace platform
