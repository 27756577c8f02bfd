// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/pictures.h"

#include <cmath>

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>


namespace assets {

namespace {

QPointF P(double x, double y) { return QPointF(x, y); }

// Draws at factor times the size on white (or on nothing) and scales down smoothly.
template <typename Draw>
QImage Supersampled(int width, int height, int factor, Draw draw, bool transparent = false)
{
    QImage big(width * factor, height * factor,
               transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    big.fill(transparent ? Qt::transparent : Qt::white);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        p.scale(factor, factor);
        draw(p);
    }
    return big.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QFont Lettering(int pixels, bool bold = true)
{
    QFont font("IPAPMincho");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Text as a path centred on (cx, baseline), filled and rimmed; a text wider than
// maxWidth is drawn in a smaller size of the font, to fit.
void DrawLettering(QPainter& p, const QString& text, QFont font, double cx, double baseline,
                   const QBrush& fill, QColor rim, double rimWidth, QColor shadow = QColor(), double maxWidth = 270)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    while (path.boundingRect().width() > maxWidth && font.pixelSize() > 8) {
        font.setPixelSize(font.pixelSize() - 1);
        path = QPainterPath();
        path.addText(0, 0, font, text);
    }
    const QRectF box = path.boundingRect();
    path.translate(cx - box.center().x(), baseline);
    if (shadow.isValid()) {
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawPath(path.translated(1.5, 1.5));
    }
    p.setPen(QPen(rim, rimWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
}

void DrawFlame(QPainter& p, double cx, double base, double height, double width, QColor colour)
{
    QPainterPath flame;
    flame.moveTo(cx, base);
    flame.cubicTo(cx - width * 0.9, base, cx - width * 0.7, base - height * 0.45, cx - width * 0.25,
                  base - height * 0.7);
    flame.cubicTo(cx - width * 0.2, base - height * 0.55, cx - width * 0.05, base - height * 0.6, cx,
                  base - height);
    flame.cubicTo(cx + width * 0.2, base - height * 0.7, cx + width * 0.45, base - height * 0.65,
                  cx + width * 0.35, base - height * 0.85);
    flame.cubicTo(cx + width * 0.9, base - height * 0.45, cx + width * 0.9, base, cx, base);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawPath(flame);
}

} // namespace

QImage PaintBattleMarker()
{
    return Supersampled(16, 16, 8, [](QPainter& p) {
        DrawFlame(p, 8, 15.6, 15.2, 7.6, QColor(214, 28, 20));
        DrawFlame(p, 8, 15.2, 10.5, 5.0, QColor(250, 120, 20));
        DrawFlame(p, 8, 15.0, 6.5, 3.0, QColor(255, 226, 40));
    });
}

QImage PaintVictory(const QString& words)
{
    return Supersampled(300, 200, 3, [&words](QPainter& p) {
        // Dawn sky with rays from behind the gate.
        QLinearGradient sky(0, 0, 0, 150);
        sky.setColorAt(0, QColor(120, 170, 230));
        sky.setColorAt(0.6, QColor(250, 214, 150));
        sky.setColorAt(1, QColor(252, 236, 190));
        p.fillRect(QRectF(0, 0, 300, 200), sky);
        p.setPen(Qt::NoPen);
        for (int k = 0; k < 16; ++k) {
            const double a0 = 3.14159265 * (1.0 + k / 16.0);
            const double a1 = a0 + 3.14159265 / 40;
            QPainterPath ray;
            ray.moveTo(150, 96);
            ray.lineTo(150 + 400 * std::cos(a0), 96 + 400 * std::sin(a0));
            ray.lineTo(150 + 400 * std::cos(a1), 96 + 400 * std::sin(a1));
            ray.closeSubpath();
            p.setBrush(QColor(255, 250, 220, 70));
            p.drawPath(ray);
        }
        // Far hills.
        QPainterPath hills;
        hills.moveTo(0, 130);
        for (int x = 0; x <= 300; x += 10)
            hills.lineTo(x, 118 - 10 * std::sin(x / 37.0) - 6 * std::sin(x / 13.0));
        hills.lineTo(300, 200);
        hills.lineTo(0, 200);
        hills.closeSubpath();
        p.setBrush(QColor(132, 160, 120));
        p.drawPath(hills);

        // The wall, of grey stone with crenellations.
        const QColor stone(150, 140, 128);
        const QColor stoneDark(104, 96, 88);
        p.setBrush(stone);
        p.setPen(QPen(stoneDark, 1));
        p.drawRect(QRectF(-2, 104, 304, 66));
        for (int x = 0; x < 300; x += 12)
            p.drawRect(QRectF(x, 97, 7, 8));
        p.setPen(QPen(QColor(124, 116, 106), 0.6));
        for (int row = 0; row < 6; ++row) {
            const double y = 112 + row * 10;
            p.drawLine(P(0, y), P(300, y));
            for (int x = (row % 2) * 9; x < 300; x += 18)
                p.drawLine(P(x, y - 10), P(x, y));
        }
        // The gate tower's base and its arch.
        p.setBrush(QColor(164, 152, 138));
        p.setPen(QPen(stoneDark, 1));
        p.drawRect(QRectF(96, 86, 108, 84));
        QPainterPath arch;
        arch.moveTo(130, 170);
        arch.lineTo(130, 132);
        arch.arcTo(QRectF(130, 114, 40, 36), 180, -180);
        arch.lineTo(170, 170);
        arch.closeSubpath();
        p.setBrush(QColor(40, 30, 28));
        p.drawPath(arch);
        // The gate leaves standing open, studded.
        p.setBrush(QColor(176, 40, 30));
        p.setPen(QPen(QColor(90, 20, 14), 0.8));
        p.drawRect(QRectF(122, 132, 9, 38));
        p.drawRect(QRectF(169, 132, 9, 38));
        p.setBrush(QColor(230, 190, 70));
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 4; ++r) {
            for (double x : {124.5, 128.5, 171.5, 175.5})
                p.drawEllipse(P(x, 138 + r * 8), 1, 1);
        }
        // The gate house: red pillars, a balcony, and a sweeping tiled roof in two tiers.
        p.setBrush(QColor(190, 44, 34));
        p.setPen(QPen(QColor(100, 20, 14), 0.8));
        p.drawRect(QRectF(106, 62, 88, 24));
        p.setBrush(QColor(120, 24, 18));
        for (int i = 0; i < 6; ++i)
            p.drawRect(QRectF(110 + i * 16, 62, 4, 24));
        p.setBrush(QColor(236, 210, 150));
        p.drawRect(QRectF(104, 82, 92, 5));
        auto roof = [&](double cx, double y, double half, double depth) {
            QPainterPath r;
            r.moveTo(cx - half - 10, y - 4);
            r.quadTo(cx - half + 4, y, cx - half + 10, y - depth * 0.2);
            r.lineTo(cx - half * 0.55, y - depth);
            r.lineTo(cx + half * 0.55, y - depth);
            r.lineTo(cx + half - 10, y - depth * 0.2);
            r.quadTo(cx + half - 4, y, cx + half + 10, y - 4);
            r.lineTo(cx + half - 4, y + 3);
            r.lineTo(cx - half + 4, y + 3);
            r.closeSubpath();
            QLinearGradient g(0, y - depth, 0, y + 3);
            g.setColorAt(0, QColor(60, 90, 80));
            g.setColorAt(1, QColor(30, 52, 46));
            p.setBrush(g);
            p.setPen(QPen(QColor(20, 30, 26), 0.9));
            p.drawPath(r);
            p.setPen(QPen(QColor(90, 120, 108), 0.6));
            for (double x = cx - half * 0.5; x <= cx + half * 0.5; x += 5)
                p.drawLine(P(x, y - depth + 1), P(x + (x - cx) * 0.35, y + 1));
        };
        roof(150, 64, 62, 16);
        p.setBrush(QColor(190, 44, 34));
        p.setPen(QPen(QColor(100, 20, 14), 0.8));
        p.drawRect(QRectF(122, 38, 56, 12));
        roof(150, 40, 44, 14);
        // Banners flying from the wall.
        for (double x : {30.0, 66.0, 234.0, 270.0}) {
            p.setPen(QPen(QColor(80, 56, 36), 1.2));
            p.drawLine(P(x, 98), P(x, 58));
            QPainterPath flag;
            flag.moveTo(x, 58);
            flag.cubicTo(x + 8, 55, x + 14, 63, x + 22, 60);
            flag.lineTo(x + 22, 74);
            flag.cubicTo(x + 14, 77, x + 8, 69, x, 72);
            flag.closeSubpath();
            p.setBrush(QColor(200, 36, 30));
            p.setPen(QPen(QColor(110, 20, 16), 0.7));
            p.drawPath(flag);
        }
        // Road to the gate.
        QPainterPath road;
        road.moveTo(130, 170);
        road.lineTo(170, 170);
        road.lineTo(210, 200);
        road.lineTo(90, 200);
        road.closeSubpath();
        p.setBrush(QColor(196, 170, 120));
        p.setPen(Qt::NoPen);
        p.drawPath(road);
        p.setBrush(QColor(112, 150, 86));
        p.drawRect(QRectF(0, 170, 90, 30));
        p.drawRect(QRectF(210, 170, 90, 30));
        p.drawPolygon(QPolygonF({P(90, 200), P(130, 170), P(90, 170)}));
        p.drawPolygon(QPolygonF({P(210, 200), P(170, 170), P(210, 170)}));

        // The lettering on a red ribbon.
        QPainterPath ribbon;
        ribbon.moveTo(10, 8);
        ribbon.lineTo(290, 8);
        ribbon.lineTo(282, 22);
        ribbon.lineTo(290, 36);
        ribbon.lineTo(10, 36);
        ribbon.lineTo(18, 22);
        ribbon.closeSubpath();
        p.setBrush(QColor(176, 30, 24));
        p.setPen(QPen(QColor(240, 200, 90), 1.4));
        p.drawPath(ribbon);
        QLinearGradient gold(0, 10, 0, 34);
        gold.setColorAt(0, QColor(255, 244, 180));
        gold.setColorAt(1, QColor(236, 176, 50));
        DrawLettering(p, words, Lettering(21), 150, 30, gold, QColor(80, 14, 10), 2.4);
    });
}

QImage PaintGameOver(const QString& line, const QString& title)
{
    return Supersampled(300, 200, 3, [&line, &title](QPainter& p) {
        // The magenta frame.
        p.fillRect(QRectF(0, 0, 300, 200), QColor(255, 0, 255));
        p.setPen(QPen(QColor(150, 0, 150), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3, 3, 294, 194));
        // The cyan card.
        QRectF card(14, 14, 272, 172);
        p.setBrush(QColor(0, 255, 255));
        p.setPen(QPen(QColor(0, 130, 140), 2));
        p.drawRect(card);
        p.setPen(QPen(QColor(0, 150, 160), 0.8));
        p.drawRect(card.adjusted(5, 5, -5, -5));
        // A broken spear lying under the words, faintly.
        p.setPen(QPen(QColor(0, 170, 180), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(P(46, 166), P(138, 156));
        p.drawLine(P(150, 160), P(250, 150));
        p.setBrush(QColor(0, 170, 180));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF({P(250, 145), P(266, 149), P(251, 155)}));
        DrawLettering(p, line, Lettering(20), 150, 76, QBrush(QColor(30, 30, 60)), QColor(0, 255, 255), 3.0);
        DrawLettering(p, title, Lettering(34), 150, 134, QBrush(QColor(150, 0, 40)), QColor(255, 255, 255), 4.0,
                      QColor(0, 100, 110, 140), 250);
    });
}

QImage PaintIcon(int size)
{
    return Supersampled(size, size, size >= 64 ? 2 : 8, [size](QPainter& p) {
        const double s = size;
        // A red seal with a gold rim and the character for hegemony.
        QRectF seal(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
        QRadialGradient g(P(s * 0.4, s * 0.35), s * 0.8);
        g.setColorAt(0, QColor(226, 60, 44));
        g.setColorAt(1, QColor(150, 20, 16));
        p.setBrush(g);
        p.setPen(QPen(QColor(230, 180, 60), s * 0.06));
        p.drawRoundedRect(seal, s * 0.14, s * 0.14);
        QFont font = Lettering(static_cast<int>(std::lround(s * 0.7)));
        QPainterPath text;
        text.addText(0, 0, font, QString::fromUtf8("覇"));
        const QRectF box = text.boundingRect();
        text.translate(s / 2 - box.center().x(), s / 2 - box.center().y());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 244, 220));
        p.drawPath(text);
    }, true);
}

} // namespace assets
