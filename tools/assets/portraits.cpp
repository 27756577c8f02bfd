// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/portraits.h"

#include <cmath>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "assets/noise.h"
#include "model/game_state.h"

namespace assets {

namespace {

// Drawn at four times the size and scaled down, which smooths every edge.
constexpr int kScale = 4;
constexpr double kW = kPortraitWidth * kScale;  // 320
constexpr double kH = kPortraitHeight * kScale; // 400

enum class Headgear { OfficialCap, ScholarCap, CapWithGold, Mian, FeatherHelmet, SilverHelmet, RedScarf, FurHat,
                      TaoistCrown, SmallCap, KingCrown };
enum class Beard { None, Moustache, MoustacheGoatee, Short, Long, Full, Bushy, ThreeStrands };
enum class Age { Young, Middle, Old };
enum class Brows { Calm, Fierce, Raised };

struct Sitter {
    Headgear headgear;
    Beard beard;
    Age age;
    Brows brows;
    QColor hair;
    QColor beardColour;
    QColor skin;
    double faceWidth = 1.0;  // 1 = ordinary
    double faceLength = 1.0;
    bool bigEars = false;
    bool bigNose = false;
    bool heavyJowls = false;
    bool narrowEyes = false;
    QColor iris = QColor(40, 28, 20);
    QColor trim = QColor(250, 246, 232);
    QColor backdrop = QColor(236, 222, 190);
};

const QColor kBlackHair(28, 24, 22);
const QColor kGreyHair(150, 148, 144);
const QColor kWhiteHair(232, 232, 228);
const QColor kBrownHair(92, 58, 34);
const QColor kSkin(242, 204, 164);
const QColor kSkinRuddy(232, 180, 140);
const QColor kSkinPale(246, 216, 184);
const QColor kSkinDark(214, 166, 120);

Sitter SitterFor(int ruler)
{
    switch (ruler) {
    case 1: // 劉備: humble cap, the long ears of the chronicles, a kind face
        return {Headgear::OfficialCap, Beard::MoustacheGoatee, Age::Middle, Brows::Calm, kBlackHair, kBlackHair,
                kSkin, 0.98, 1.02, true, false, false, false, QColor(50, 34, 22), QColor(250, 246, 232),
                QColor(226, 236, 206)};
    case 2: // 曹操: small and sharp, narrow eyes, a cap with gold
        return {Headgear::CapWithGold, Beard::MoustacheGoatee, Age::Middle, Brows::Fierce, kBlackHair, kBlackHair,
                kSkinPale, 0.9, 0.95, false, false, false, true, QColor(30, 20, 14), QColor(40, 36, 60),
                QColor(222, 222, 240)};
    case 3: // 孫堅: the red headscarf, a soldier's short beard
        return {Headgear::RedScarf, Beard::Short, Age::Middle, Brows::Fierce, kBlackHair, kBlackHair, kSkinRuddy,
                1.05, 1.0, false, false, false, false, QColor(40, 26, 18), QColor(250, 214, 120),
                QColor(240, 220, 200)};
    case 4: // 袁紹: a handsome noble, gold on his cap, a long neat beard
        return {Headgear::ScholarCap, Beard::Long, Age::Middle, Brows::Calm, kBlackHair, kBlackHair, kSkinPale, 1.0,
                1.08, false, false, false, false, QColor(46, 30, 20), QColor(196, 150, 40), QColor(244, 236, 200)};
    case 5: // 袁術: the emperor's board and tassels, a haughty brow
        return {Headgear::Mian, Beard::Moustache, Age::Middle, Brows::Raised, kBlackHair, kBlackHair, kSkinPale,
                1.02, 1.0, false, false, false, true, QColor(36, 24, 18), QColor(220, 190, 80), QColor(232, 226, 244)};
    case 6: // 劉表: an old scholar with a white beard
        return {Headgear::ScholarCap, Beard::Long, Age::Old, Brows::Calm, kWhiteHair, kWhiteHair, kSkin, 0.95, 1.05,
                false, false, false, false, QColor(60, 44, 30), QColor(40, 60, 70), QColor(218, 236, 236)};
    case 7: // 呂布: young, the pheasant feathers on his helmet
        return {Headgear::FeatherHelmet, Beard::None, Age::Young, Brows::Fierce, kBlackHair, kBlackHair, kSkin,
                0.96, 1.0, false, false, false, false, QColor(36, 20, 16), QColor(200, 160, 60),
                QColor(244, 214, 206)};
    case 8: // 馬騰: of the west, a fur hat, a big nose, a bushy brown beard
        return {Headgear::FurHat, Beard::Bushy, Age::Middle, Brows::Fierce, kBrownHair, kBrownHair, kSkinDark, 1.08,
                1.04, false, true, false, false, QColor(70, 50, 30), QColor(120, 84, 48), QColor(230, 222, 196)};
    case 9: // 董卓: heavy jowls, a bushy beard, small eyes
        return {Headgear::OfficialCap, Beard::Bushy, Age::Old, Brows::Fierce, kGreyHair, QColor(70, 62, 56),
                kSkinRuddy, 1.28, 1.02, false, false, true, true, QColor(30, 18, 12), QColor(60, 20, 60),
                QColor(240, 214, 226)};
    case 10: // 劉焉: an old lord of the imperial clan, grey beard
        return {Headgear::ScholarCap, Beard::MoustacheGoatee, Age::Old, Brows::Calm, kGreyHair, kGreyHair, kSkin,
                1.0, 1.0, false, false, false, false, QColor(50, 36, 26), QColor(240, 230, 200),
                QColor(214, 232, 226)};
    case 11: // 公孫瓚: the white horse general in a silver helmet
        return {Headgear::SilverHelmet, Beard::Moustache, Age::Middle, Brows::Fierce, kBlackHair, kBlackHair,
                kSkinPale, 0.98, 1.06, false, false, false, false, QColor(34, 26, 20), QColor(230, 230, 236),
                QColor(226, 226, 236)};
    case 12: // 張魯: master of the Way, a Taoist crown and a thin beard
        return {Headgear::TaoistCrown, Beard::ThreeStrands, Age::Middle, Brows::Calm, kBlackHair, kBlackHair,
                kSkinPale, 0.94, 1.08, false, false, false, false, QColor(48, 36, 28), QColor(250, 250, 244),
                QColor(236, 238, 214)};
    case 13: // 陶謙: very old, a long white beard
        return {Headgear::OfficialCap, Beard::Long, Age::Old, Brows::Calm, kWhiteHair, kWhiteHair, kSkin, 0.96,
                1.04, false, false, true, false, QColor(56, 40, 30), QColor(90, 90, 96), QColor(232, 230, 224)};
    case 14: // 劉璋: soft and young, a small cap
        return {Headgear::SmallCap, Beard::Moustache, Age::Young, Brows::Raised, kBlackHair, kBlackHair, kSkinPale,
                1.16, 0.98, false, false, true, false, QColor(50, 36, 28), QColor(244, 238, 214),
                QColor(238, 230, 206)};
    case 15: // 孫権: young, the purple beard and green eyes, a king's crown
        return {Headgear::KingCrown, Beard::Short, Age::Young, Brows::Fierce, kBlackHair, QColor(110, 50, 120),
                kSkin, 1.04, 1.0, false, false, false, false, QColor(40, 120, 96), QColor(240, 200, 80),
                QColor(246, 226, 212)};
    default:
        return {};
    }
}

QColor RobeColour(int ruler)
{
    const Colour c = kRulerColours[ruler];
    return QColor(ColourRed(c), ColourGreen(c), ColourBlue(c));
}

QPointF Pt(double x, double y) { return QPointF(x, y); }

class PortraitPainter {
public:
    PortraitPainter(QPainter& p, const Sitter& s, QColor robe) : m_p(p), m_s(s), m_robe(robe)
    {
        m_cx = kW / 2;
        m_cy = 196;
        m_fw = 60 * s.faceWidth;
        m_fh = 76 * s.faceLength;
    }

    void Paint()
    {
        Backdrop();
        Robe();
        HairBehind();
        Ears();
        Face();
        Features();
        AgeLines();
        Beard();
        HairFront();
        Headgear();
    }

private:
    QPainter& m_p;
    const Sitter& m_s;
    QColor m_robe;
    double m_cx, m_cy, m_fw, m_fh;

    QColor Shade(QColor c, int factor) const { return factor >= 100 ? c.lighter(factor) : c.darker(200 - factor); }

    void Fill(const QPainterPath& path, QColor fill, QColor line, double width = 3)
    {
        m_p.setBrush(fill);
        m_p.setPen(line.isValid() ? QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin) : QPen(Qt::NoPen));
        m_p.drawPath(path);
    }

    void Backdrop()
    {
        QRadialGradient g(Pt(m_cx, 150), 260);
        g.setColorAt(0, m_s.backdrop.lighter(108));
        g.setColorAt(1, m_s.backdrop.darker(118));
        m_p.fillRect(QRectF(0, 0, kW, kH), g);
        // Brush marks in the ground.
        m_p.setPen(QPen(QColor(0, 0, 0, 14), 6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 14; ++i) {
            const double y = 20 + i * 27 + 10 * Hash01(i, 1, 3);
            m_p.drawLine(Pt(10 + 30 * Hash01(i, 2, 3), y), Pt(kW - 10 - 40 * Hash01(i, 3, 3), y + 6));
        }
    }

    void Robe()
    {
        const QColor robe = m_robe;
        QPainterPath body;
        body.moveTo(6, kH);
        body.cubicTo(8, 350, 30, 318, 100, 302);
        body.lineTo(220, 302);
        body.cubicTo(290, 318, 312, 350, 314, kH);
        body.closeSubpath();
        QLinearGradient g(0, 300, 0, kH);
        g.setColorAt(0, Shade(robe, 112));
        g.setColorAt(1, Shade(robe, 82));
        m_p.setBrush(g);
        m_p.setPen(Qt::NoPen);
        m_p.drawPath(body);
        m_p.setPen(QPen(Shade(robe, 55), 3));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawPath(body);
        // Folds.
        m_p.setPen(QPen(Shade(robe, 70), 3, Qt::SolidLine, Qt::RoundCap));
        m_p.drawLine(Pt(60, 340), Pt(48, kH));
        m_p.drawLine(Pt(262, 340), Pt(274, kH));
        // Inner garment and the crossed collar, right over left.
        QPainterPath inner;
        inner.moveTo(m_cx - 40, 300);
        inner.lineTo(m_cx + 40, 300);
        inner.lineTo(m_cx, 372);
        inner.closeSubpath();
        Fill(inner, QColor(248, 244, 234), QColor(120, 110, 100), 2);
        QPainterPath under;
        under.moveTo(m_cx + 30, 298);
        under.lineTo(m_cx + 50, 298);
        under.lineTo(m_cx + 4, 372);
        under.lineTo(m_cx - 10, 360);
        under.closeSubpath();
        Fill(under, Shade(m_s.trim, 92), Shade(m_s.trim, 50), 2);
        QPainterPath over;
        over.moveTo(m_cx - 50, 298);
        over.lineTo(m_cx - 28, 298);
        over.lineTo(m_cx + 36, kH);
        over.lineTo(m_cx + 12, kH);
        over.closeSubpath();
        Fill(over, m_s.trim, Shade(m_s.trim, 50), 2);
    }

    QColor HairColour() const { return m_s.hair; }

    void HairBehind()
    {
        QPainterPath hair;
        hair.addEllipse(Pt(m_cx, m_cy - m_fh * 0.25), m_fw * 1.08, m_fh * 0.95);
        Fill(hair, HairColour(), Shade(HairColour(), 60), 2);
    }

    void Ears()
    {
        const double h = m_s.bigEars ? 44 : 26;
        const double w = m_s.bigEars ? 17 : 13;
        const double y = m_cy + (m_s.bigEars ? 16 : 4);
        for (int side : {-1, 1}) {
            QPainterPath ear;
            ear.addEllipse(Pt(m_cx + side * (m_fw - 2), y), w, h);
            Fill(ear, Shade(m_s.skin, 96), Shade(m_s.skin, 60), 2.5);
            m_p.setPen(QPen(Shade(m_s.skin, 70), 2.5));
            m_p.drawArc(QRectF(m_cx + side * (m_fw - 2) - w * 0.5, y - h * 0.6, w, h * 1.1), side > 0 ? 270 * 16 : 90 * 16,
                        180 * 16);
        }
    }

    QPainterPath FaceOutline() const
    {
        const double cx = m_cx;
        const double top = m_cy - m_fh;
        const double chin = m_cy + m_fh;
        const double jaw = m_s.heavyJowls ? 1.02 : 0.78;
        QPainterPath face;
        face.moveTo(cx, top);
        face.cubicTo(cx + m_fw * 1.02, top, cx + m_fw, m_cy - 20, cx + m_fw, m_cy + 4);
        face.cubicTo(cx + m_fw * jaw, chin - 10, cx + m_fw * 0.42, chin, cx, chin);
        face.cubicTo(cx - m_fw * 0.42, chin, cx - m_fw * jaw, chin - 10, cx - m_fw, m_cy + 4);
        face.cubicTo(cx - m_fw, m_cy - 20, cx - m_fw * 1.02, top, cx, top);
        return face;
    }

    void Face()
    {
        // Neck first.
        QPainterPath neck;
        neck.addRect(QRectF(m_cx - 28, m_cy + m_fh - 40, 56, 302 - (m_cy + m_fh - 40) + 4));
        Fill(neck, Shade(m_s.skin, 88), QColor(), 0);
        QRadialGradient g(Pt(m_cx - 14, m_cy - 20), m_fw * 1.6);
        g.setColorAt(0, Shade(m_s.skin, 106));
        g.setColorAt(1, Shade(m_s.skin, 86));
        m_p.setBrush(g);
        m_p.setPen(QPen(Shade(m_s.skin, 58), 2.5));
        m_p.drawPath(FaceOutline());
        if (m_s.heavyJowls) {
            m_p.setPen(QPen(Shade(m_s.skin, 72), 2.5));
            m_p.setBrush(Qt::NoBrush);
            m_p.drawArc(QRectF(m_cx - 40, m_cy + m_fh - 28, 80, 30), 200 * 16, 140 * 16);
        }
        // A little colour in the cheeks.
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(QColor(220, 110, 90, 38));
        m_p.drawEllipse(Pt(m_cx - m_fw * 0.55, m_cy + 18), 16, 10);
        m_p.drawEllipse(Pt(m_cx + m_fw * 0.55, m_cy + 18), 16, 10);
    }

    void Features()
    {
        const double eyeY = m_cy - 6;
        const double gap = 25 * std::sqrt(m_s.faceWidth);
        const double eyeH = m_s.narrowEyes ? 5 : 9;
        for (int side : {-1, 1}) {
            const double ex = m_cx + side * gap;
            QPainterPath eye;
            eye.moveTo(ex - 13, eyeY);
            eye.quadTo(ex, eyeY - eyeH * 1.4, ex + 13, eyeY);
            eye.quadTo(ex, eyeY + eyeH, ex - 13, eyeY);
            Fill(eye, QColor(252, 250, 244), QColor(), 0);
            m_p.save();
            m_p.setClipPath(eye);
            m_p.setBrush(m_s.iris);
            m_p.setPen(Qt::NoPen);
            m_p.drawEllipse(Pt(ex + side * 1.5, eyeY - 1), 6.5, 6.5);
            m_p.setBrush(QColor(10, 8, 8));
            m_p.drawEllipse(Pt(ex + side * 1.5, eyeY - 1), 3, 3);
            m_p.restore();
            // Upper lid.
            m_p.setPen(QPen(QColor(40, 26, 20), 3.2, Qt::SolidLine, Qt::RoundCap));
            m_p.setBrush(Qt::NoBrush);
            QPainterPath lid;
            lid.moveTo(ex - 14, eyeY + 1);
            lid.quadTo(ex, eyeY - eyeH * 1.45, ex + 14, eyeY - 1);
            m_p.drawPath(lid);
            // Brow.
            double inner = eyeY - 17;
            double outer = eyeY - 19;
            if (m_s.brows == Brows::Fierce) {
                inner = eyeY - 12;
                outer = eyeY - 23;
            } else if (m_s.brows == Brows::Raised) {
                inner = eyeY - 22;
                outer = eyeY - 18;
            }
            const QColor browColour = m_s.age == Age::Old ? Shade(m_s.hair, 75) : m_s.hair;
            QPainterPath brow;
            brow.moveTo(m_cx + side * (gap - 14), inner);
            brow.quadTo(m_cx + side * gap, std::min(inner, outer) - 5, m_cx + side * (gap + 17), outer);
            m_p.setPen(QPen(browColour, m_s.brows == Brows::Fierce ? 7 : 5, Qt::SolidLine, Qt::RoundCap));
            m_p.drawPath(brow);
        }
        // Nose.
        const double noseW = m_s.bigNose ? 13 : 8;
        m_p.setPen(QPen(Shade(m_s.skin, 62), 2.6, Qt::SolidLine, Qt::RoundCap));
        QPainterPath nose;
        nose.moveTo(m_cx - 3, eyeY + 6);
        nose.quadTo(m_cx - 6, eyeY + 22, m_cx - noseW, eyeY + 32);
        nose.quadTo(m_cx, eyeY + 38, m_cx + noseW, eyeY + 32);
        m_p.drawPath(nose);
        // Mouth.
        const double mouthY = m_cy + 42 * m_s.faceLength;
        m_p.setPen(QPen(QColor(150, 70, 60), 3, Qt::SolidLine, Qt::RoundCap));
        QPainterPath mouth;
        mouth.moveTo(m_cx - 15, mouthY);
        mouth.quadTo(m_cx, mouthY + (m_s.brows == Brows::Fierce ? 0 : 4), m_cx + 15, mouthY);
        m_p.drawPath(mouth);
    }

    void AgeLines()
    {
        if (m_s.age == Age::Young)
            return;
        m_p.setBrush(Qt::NoBrush);
        m_p.setPen(QPen(Shade(m_s.skin, 70), 2, Qt::SolidLine, Qt::RoundCap));
        // Lines from nose to mouth.
        m_p.drawArc(QRectF(m_cx - 40, m_cy + 4, 26, 40), 120 * 16, 90 * 16);
        m_p.drawArc(QRectF(m_cx + 14, m_cy + 4, 26, 40), -30 * 16, 90 * 16);
        if (m_s.age == Age::Old) {
            for (int i = 0; i < 3; ++i)
                m_p.drawArc(QRectF(m_cx - 26, m_cy - 50 + i * 7, 52, 12), 20 * 16, 140 * 16);
            // Bags under the eyes.
            for (int side : {-1, 1})
                m_p.drawArc(QRectF(m_cx + side * 25 - 12, m_cy - 2, 24, 12), 200 * 16, 140 * 16);
        }
    }

    void Beard()
    {
        const QColor c = m_s.beardColour;
        const QColor line = Shade(c, c.lightness() > 160 ? 70 : 130);
        const double mouthY = m_cy + 42 * m_s.faceLength;
        const double chin = m_cy + m_fh;
        auto moustache = [&](double droop) {
            QPainterPath m;
            m.moveTo(m_cx, mouthY - 11);
            m.cubicTo(m_cx - 12, mouthY - 16, m_cx - 26, mouthY - 10, m_cx - 30, mouthY + droop);
            m.cubicTo(m_cx - 22, mouthY - 4, m_cx - 10, mouthY - 6, m_cx, mouthY - 5);
            m.cubicTo(m_cx + 10, mouthY - 6, m_cx + 22, mouthY - 4, m_cx + 30, mouthY + droop);
            m.cubicTo(m_cx + 26, mouthY - 10, m_cx + 12, mouthY - 16, m_cx, mouthY - 11);
            Fill(m, c, line, 1.5);
        };
        switch (m_s.beard) {
        case Beard::None:
            return;
        case Beard::Moustache:
            moustache(6);
            return;
        case Beard::MoustacheGoatee: {
            moustache(8);
            QPainterPath g;
            g.moveTo(m_cx - 10, mouthY + 10);
            g.quadTo(m_cx, mouthY + 8, m_cx + 10, mouthY + 10);
            g.quadTo(m_cx + 6, chin + 26, m_cx, chin + 34);
            g.quadTo(m_cx - 6, chin + 26, m_cx - 10, mouthY + 10);
            Fill(g, c, line, 1.5);
            return;
        }
        case Beard::Short:
        case Beard::Full:
        case Beard::Bushy:
        case Beard::Long: {
            const bool bushy = m_s.beard == Beard::Bushy;
            const double reach = m_s.beard == Beard::Long ? 118 : (bushy ? 40 : 22);
            const double spread = bushy ? 1.12 : 0.98;
            QPainterPath b;
            b.moveTo(m_cx - m_fw * spread, m_cy + 4);
            b.cubicTo(m_cx - m_fw * spread, chin + reach * 0.4, m_cx - 30, chin + reach, m_cx, chin + reach);
            b.cubicTo(m_cx + 30, chin + reach, m_cx + m_fw * spread, chin + reach * 0.4, m_cx + m_fw * spread,
                      m_cy + 4);
            b.lineTo(m_cx + m_fw * 0.7, m_cy + 10);
            b.cubicTo(m_cx + m_fw * 0.6, mouthY + 30, m_cx + 24, mouthY + 14, m_cx, mouthY + 14);
            b.cubicTo(m_cx - 24, mouthY + 14, m_cx - m_fw * 0.6, mouthY + 30, m_cx - m_fw * 0.7, m_cy + 10);
            b.closeSubpath();
            Fill(b, c, line, 2);
            // Strands.
            m_p.setPen(QPen(line, 1.6, Qt::SolidLine, Qt::RoundCap));
            for (int i = -3; i <= 3; ++i) {
                const double x = m_cx + i * 10;
                m_p.drawLine(Pt(x, chin - 2), Pt(x + i * 2, chin + reach * 0.8));
            }
            if (bushy) {
                m_p.setPen(QPen(line, 2));
                for (int i = 0; i < 9; ++i) {
                    const double a = 3.14159265 * (0.15 + 0.7 * i / 8.0);
                    const double x = m_cx + std::cos(a) * m_fw * 1.0;
                    const double y = chin - 10 + std::sin(a) * (reach + 6);
                    m_p.drawArc(QRectF(x - 8, y - 8, 16, 16), 0, 180 * 16);
                }
            }
            moustache(10);
            return;
        }
        case Beard::ThreeStrands: {
            moustache(14);
            for (int side : {-1, 0, 1}) {
                QPainterPath s;
                const double x = m_cx + side * 20;
                const double top = side == 0 ? mouthY + 10 : mouthY - 2;
                s.moveTo(x - 5, top);
                s.quadTo(x + side * 4, chin + 40, x + side * 8, chin + (side == 0 ? 96 : 60));
                s.quadTo(x + side * 2 + 4, chin + 30, x + 5, top);
                Fill(s, c, line, 1.2);
            }
            return;
        }
        }
    }

    void HairFront()
    {
        QPainterPath hair;
        const double top = m_cy - m_fh;
        hair.moveTo(m_cx - m_fw - 2, m_cy - 6);
        hair.cubicTo(m_cx - m_fw - 4, top - 10, m_cx - 30, top - 14, m_cx, top - 14);
        hair.cubicTo(m_cx + 30, top - 14, m_cx + m_fw + 4, top - 10, m_cx + m_fw + 2, m_cy - 6);
        hair.lineTo(m_cx + m_fw - 6, m_cy - 14);
        hair.cubicTo(m_cx + m_fw - 10, top + 30, m_cx + 24, top + 26, m_cx, top + 28);
        hair.cubicTo(m_cx - 24, top + 26, m_cx - m_fw + 10, top + 30, m_cx - m_fw + 6, m_cy - 14);
        hair.closeSubpath();
        Fill(hair, HairColour(), Shade(HairColour(), 60), 2);
        m_p.setPen(QPen(Shade(HairColour(), m_s.hair.lightness() > 120 ? 80 : 150), 1.6));
        for (int i = -3; i <= 3; ++i)
            m_p.drawLine(Pt(m_cx + i * 12, top - 8), Pt(m_cx + i * 16, top + 20));
    }

    // The black cloth cap that sits over the hair, rising to crown above the head.
    void ClothCap(double crown, QColor fill)
    {
        const double half = m_fw + 6;
        const double band = m_cy - m_fh + 18;
        QPainterPath cap;
        cap.moveTo(m_cx - half, band + 8);
        cap.cubicTo(m_cx - half, crown, m_cx + half, crown, m_cx + half, band + 8);
        cap.closeSubpath();
        Fill(cap, fill, QColor(8, 8, 10), 2);
    }

    void Headgear()
    {
        const double top = m_cy - m_fh; // crown of the head
        const double band = top + 18;   // where a cap sits
        const double half = m_fw + 6;
        switch (m_s.headgear) {
        case Headgear::OfficialCap:
        case Headgear::CapWithGold: {
            ClothCap(top - 30, QColor(34, 32, 36));
            // The slanting crest at the back.
            QPainterPath crest;
            crest.moveTo(m_cx - 24, top - 12);
            crest.lineTo(m_cx - 10, top - 70);
            crest.lineTo(m_cx + 36, top - 62);
            crest.lineTo(m_cx + 30, top - 14);
            crest.closeSubpath();
            Fill(crest, QColor(46, 44, 50), QColor(10, 10, 12), 2);
            m_p.setPen(QPen(QColor(90, 88, 96), 2));
            m_p.drawLine(Pt(m_cx - 4, top - 64), Pt(m_cx - 12, top - 14));
            m_p.drawLine(Pt(m_cx + 14, top - 62), Pt(m_cx + 8, top - 14));
            if (m_s.headgear == Headgear::CapWithGold) {
                QPainterPath gold;
                gold.addEllipse(Pt(m_cx, band - 4), 10, 8);
                Fill(gold, QColor(238, 196, 60), QColor(140, 100, 20), 2);
                m_p.setPen(QPen(QColor(220, 180, 50), 4));
                m_p.drawLine(Pt(m_cx - half + 6, band + 2), Pt(m_cx + half - 6, band + 2));
            }
            return;
        }
        case Headgear::ScholarCap: {
            ClothCap(top - 20, QColor(30, 30, 34));
            QPainterPath tower;
            tower.addRoundedRect(QRectF(m_cx - 30, top - 88, 60, 84), 10, 10);
            Fill(tower, QColor(40, 40, 46), QColor(8, 8, 10), 2);
            m_p.setPen(QPen(m_s.trim, 5));
            m_p.drawLine(Pt(m_cx - 30, top - 40), Pt(m_cx + 30, top - 40));
            // The pin through it.
            m_p.setPen(QPen(QColor(214, 182, 90), 5, Qt::SolidLine, Qt::RoundCap));
            m_p.drawLine(Pt(m_cx - 58, top - 22), Pt(m_cx + 58, top - 30));
            return;
        }
        case Headgear::Mian: {
            ClothCap(top - 24, QColor(30, 28, 36));
            QPainterPath post;
            post.addRect(QRectF(m_cx - 20, top - 44, 40, 30));
            Fill(post, QColor(40, 36, 50), QColor(8, 8, 10), 2);
            QPainterPath board;
            board.addRect(QRectF(m_cx - 92, top - 56, 184, 14));
            Fill(board, QColor(24, 20, 40), QColor(220, 180, 60), 3);
            // Strings of beads hanging from the board.
            for (int i = 0; i < 9; ++i) {
                const double x = m_cx - 84 + i * 21;
                m_p.setPen(QPen(QColor(200, 170, 70), 1.5));
                m_p.drawLine(Pt(x, top - 42), Pt(x, top - 2 + (i % 2) * 6));
                for (int k = 0; k < 4; ++k) {
                    QPainterPath bead;
                    bead.addEllipse(Pt(x, top - 36 + k * 10 + (i % 2) * 2), 3.6, 3.6);
                    Fill(bead, k % 2 ? QColor(220, 60, 50) : QColor(250, 240, 200), QColor(120, 60, 40), 1);
                }
            }
            return;
        }
        case Headgear::KingCrown: {
            QPainterPath base;
            base.moveTo(m_cx - half + 4, band + 10);
            base.lineTo(m_cx - half + 10, top - 20);
            base.lineTo(m_cx - 30, top - 6);
            base.lineTo(m_cx - 16, top - 52);
            base.lineTo(m_cx, top - 16);
            base.lineTo(m_cx + 16, top - 52);
            base.lineTo(m_cx + 30, top - 6);
            base.lineTo(m_cx + half - 10, top - 20);
            base.lineTo(m_cx + half - 4, band + 10);
            base.closeSubpath();
            QLinearGradient g(0, top - 50, 0, band + 10);
            g.setColorAt(0, QColor(252, 224, 120));
            g.setColorAt(1, QColor(200, 148, 40));
            m_p.setBrush(g);
            m_p.setPen(QPen(QColor(120, 80, 20), 2.5));
            m_p.drawPath(base);
            for (double x : {m_cx - 16.0, m_cx + 16.0, m_cx}) {
                QPainterPath jewel;
                jewel.addEllipse(Pt(x, x == m_cx ? band - 8 : top - 40), 6, 6);
                Fill(jewel, x == m_cx ? QColor(40, 150, 110) : QColor(200, 40, 40), QColor(80, 40, 20), 1.5);
            }
            return;
        }
        case Headgear::FeatherHelmet: {
            // Two long pheasant tail feathers rising from the helmet.
            for (int side : {-1, 1}) {
                QPainterPath feather;
                feather.moveTo(m_cx + side * 20, top - 10);
                feather.cubicTo(m_cx + side * 40, top - 80, m_cx + side * 110, top - 110, m_cx + side * 150,
                                top - 70);
                feather.cubicTo(m_cx + side * 104, top - 96, m_cx + side * 46, top - 66, m_cx + side * 30, top - 6);
                feather.closeSubpath();
                Fill(feather, QColor(196, 120, 48), QColor(90, 50, 20), 2);
                m_p.setPen(QPen(QColor(60, 34, 18), 3));
                for (int k = 1; k < 7; ++k) {
                    const double t = k / 7.0;
                    const double x = m_cx + side * (26 + 110 * t);
                    const double y = top - 20 - 80 * std::sin(t * 2.6);
                    m_p.drawLine(Pt(x - 4, y - 4), Pt(x + 4, y + 4));
                }
            }
            QPainterPath helmet;
            helmet.moveTo(m_cx - half - 4, band + 20);
            helmet.cubicTo(m_cx - half - 4, top - 40, m_cx + half + 4, top - 40, m_cx + half + 4, band + 20);
            helmet.lineTo(m_cx + half - 10, band + 6);
            helmet.lineTo(m_cx - half + 10, band + 6);
            helmet.closeSubpath();
            QLinearGradient g(0, top - 40, 0, band + 20);
            g.setColorAt(0, QColor(250, 214, 110));
            g.setColorAt(1, QColor(176, 120, 36));
            m_p.setBrush(g);
            m_p.setPen(QPen(QColor(110, 70, 20), 2.5));
            m_p.drawPath(helmet);
            QPainterPath gem;
            gem.addEllipse(Pt(m_cx, band - 10), 9, 11);
            Fill(gem, QColor(200, 30, 40), QColor(90, 20, 20), 2);
            // Cheek guards.
            for (int side : {-1, 1}) {
                QPainterPath guard;
                guard.addRoundedRect(QRectF(m_cx + side * (m_fw + 2) - 12, m_cy - 20, 24, 56), 10, 10);
                Fill(guard, QColor(200, 150, 60), QColor(110, 70, 20), 2);
            }
            return;
        }
        case Headgear::SilverHelmet: {
            QPainterPath plume;
            plume.moveTo(m_cx, top - 40);
            plume.cubicTo(m_cx - 20, top - 110, m_cx + 50, top - 120, m_cx + 80, top - 90);
            plume.cubicTo(m_cx + 40, top - 96, m_cx + 20, top - 70, m_cx + 10, top - 36);
            plume.closeSubpath();
            Fill(plume, QColor(250, 250, 250), QColor(150, 150, 160), 2);
            QPainterPath helmet;
            helmet.moveTo(m_cx - half - 4, band + 24);
            helmet.cubicTo(m_cx - half - 6, top - 50, m_cx + half + 6, top - 50, m_cx + half + 4, band + 24);
            helmet.lineTo(m_cx + half - 8, band + 8);
            helmet.lineTo(m_cx - half + 8, band + 8);
            helmet.closeSubpath();
            QLinearGradient g(m_cx - half, 0, m_cx + half, 0);
            g.setColorAt(0, QColor(160, 166, 178));
            g.setColorAt(0.4, QColor(240, 244, 250));
            g.setColorAt(1, QColor(130, 136, 150));
            m_p.setBrush(g);
            m_p.setPen(QPen(QColor(70, 74, 86), 2.5));
            m_p.drawPath(helmet);
            m_p.setPen(QPen(QColor(90, 94, 106), 3));
            m_p.drawLine(Pt(m_cx, top - 34), Pt(m_cx, band + 6));
            return;
        }
        case Headgear::RedScarf: {
            QPainterPath scarf;
            scarf.moveTo(m_cx - half, band + 10);
            scarf.cubicTo(m_cx - half - 4, top - 34, m_cx + half + 4, top - 34, m_cx + half, band + 10);
            scarf.cubicTo(m_cx + 20, band - 2, m_cx - 20, band - 2, m_cx - half, band + 10);
            Fill(scarf, QColor(206, 34, 30), QColor(110, 14, 12), 2.5);
            m_p.setPen(QPen(QColor(150, 20, 18), 2.5));
            m_p.drawLine(Pt(m_cx - 40, top - 6), Pt(m_cx + 40, top - 12));
            // The knot and its ends.
            QPainterPath knot;
            knot.addEllipse(Pt(m_cx + 12, top - 30), 16, 12);
            Fill(knot, QColor(220, 44, 36), QColor(110, 14, 12), 2);
            for (int side : {-1, 1}) {
                QPainterPath end;
                end.moveTo(m_cx + 12, top - 30);
                end.quadTo(m_cx + 12 + side * 30, top - 56, m_cx + 12 + side * 50, top - 44);
                end.quadTo(m_cx + 12 + side * 26, top - 40, m_cx + 12, top - 26);
                Fill(end, QColor(196, 30, 28), QColor(110, 14, 12), 2);
            }
            return;
        }
        case Headgear::FurHat: {
            QPainterPath crown;
            crown.moveTo(m_cx - half + 6, band);
            crown.cubicTo(m_cx - half, top - 50, m_cx + half, top - 50, m_cx + half - 6, band);
            crown.closeSubpath();
            Fill(crown, QColor(150, 40, 36), QColor(70, 20, 16), 2);
            QPainterPath fur;
            fur.addRoundedRect(QRectF(m_cx - half - 8, band - 16, 2 * half + 16, 34), 16, 16);
            Fill(fur, QColor(170, 130, 84), QColor(90, 64, 36), 2);
            m_p.setPen(QPen(QColor(110, 80, 46), 2));
            for (int i = 0; i < 16; ++i) {
                const double x = m_cx - half - 2 + i * (2 * half + 4) / 15.0;
                m_p.drawLine(Pt(x, band - 12), Pt(x + 3, band + 12));
            }
            return;
        }
        case Headgear::TaoistCrown: {
            QPainterPath bun;
            bun.addEllipse(Pt(m_cx, top - 14), 28, 22);
            Fill(bun, HairColour(), Shade(HairColour(), 60), 2);
            QPainterPath crown;
            crown.moveTo(m_cx - 26, top - 10);
            crown.quadTo(m_cx - 30, top - 40, m_cx - 12, top - 50);
            crown.quadTo(m_cx - 8, top - 36, m_cx, top - 56);
            crown.quadTo(m_cx + 8, top - 36, m_cx + 12, top - 50);
            crown.quadTo(m_cx + 30, top - 40, m_cx + 26, top - 10);
            crown.closeSubpath();
            Fill(crown, QColor(232, 196, 90), QColor(130, 90, 30), 2.5);
            m_p.setPen(QPen(QColor(110, 70, 40), 5, Qt::SolidLine, Qt::RoundCap));
            m_p.drawLine(Pt(m_cx - 54, top - 20), Pt(m_cx + 54, top - 34));
            return;
        }
        case Headgear::SmallCap: {
            QPainterPath bun;
            bun.addEllipse(Pt(m_cx, top - 10), 30, 22);
            Fill(bun, HairColour(), Shade(HairColour(), 60), 2);
            QPainterPath cap;
            cap.addRoundedRect(QRectF(m_cx - 26, top - 40, 52, 34), 8, 8);
            Fill(cap, QColor(60, 70, 120), QColor(20, 24, 50), 2);
            m_p.setPen(QPen(QColor(230, 200, 110), 5, Qt::SolidLine, Qt::RoundCap));
            m_p.drawLine(Pt(m_cx - 44, top - 24), Pt(m_cx + 44, top - 24));
            return;
        }
        }
    }
};

} // namespace

QImage PaintPortrait(int ruler)
{
    QImage out(kPortraitWidth, kPortraitHeight, QImage::Format_RGB32);
    if (ruler <= 0 || ruler >= kRulerCount) {
        out.fill(Qt::white);
        return out;
    }
    QImage big(static_cast<int>(kW), static_cast<int>(kH), QImage::Format_RGB32);
    big.fill(Qt::white);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing, true);
        const Sitter sitter = SitterFor(ruler);
        PortraitPainter painter(p, sitter, RobeColour(ruler));
        painter.Paint();
    }
    out = big.scaled(kPortraitWidth, kPortraitHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
              .convertToFormat(QImage::Format_RGB32);
    return out;
}

} // namespace assets
