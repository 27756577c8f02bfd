// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's picture: the map painted for the mode, the countries' numbers, the turn
// frame, the battle markers, the status panel and the end pictures, at any zoom.
#include "view/map/kiv_view.h"

#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <initializer_list>

#include "platform/fonts.h"
#include "platform/resources.h"
#include "platform/text_fit.h"
#include "platform/windows.h"
#include "view/commands/command_table.h"
#include "view/commands/foresight_words.h"
#include "view/map/game_document.h"
#include "view/map/hand_over_notice.h"
#include "view/map/map_labels.h"
#include "view/map/map_picture.h"
#include "view/map/ruler_patterns.h"
#include "words/shown_text.h"

namespace {

constexpr int kVictoryResource = 163;
constexpr int kGameOverResource = 164;

const QColor kPanelGrey(192, 192, 192);

// The status line starts at x 400 inside its box (390..599); its text keeps a pixel
// clear of the box's white right edge.
constexpr int kStatusX = 400;
constexpr int kStatusWidth = 599 - 1 - kStatusX;
// The ruler's name from x 520 inside its box (500..579), the panel's labels from x 460
// a space's width (a cell of the 16-pixel font) short of the figures at 500, so that a
// label never runs into its figure: a longer word is drawn narrower, not past them.
constexpr int kNameWidth = 579 - 1 - 520;
constexpr int kLabelX = 460;
constexpr int kLabelRight = 500 - 8;
constexpr int kLabelLeftmost = 452; // clear of the box's edge at 450
// The panel's rows of labels and figures, in the grey box from x 450 to 600.
constexpr int kPanelRowsTop = 180;
constexpr int kPanelRowHeight = 20;
constexpr int kPanelRows = 8;
// The plate of whose turn it is, left of the ruler's name (as far left as the status
// line's box reaches).
constexpr int kTurnPlateX = 390;


// Drawing in the platform's way: rectangles exclude their right and bottom edges, a
// polyline leaves out its last point. Only axis-parallel lines are needed.
class Canvas {
public:
    Canvas(QPainter& painter, std::vector<CKivView::DrawnText>* record)
        : m_p(painter), m_ascent(painter.fontMetrics().ascent()), m_record(record)
    {
        if (m_record)
            m_record->clear();
    }

    void Text(int x, int y, const QString& text)
    {
        m_p.drawText(x, y + m_ascent, text);
        if (m_record)
            m_record->push_back({QPoint(x, y), text});
    }

    // Text that must stay within width pixels: drawn whole, on the same line, in a
    // narrower or smaller face of the font when it would not fit as it is.
    void FittedText(int x, int y, int width, const QString& text)
    {
        const QFont normal = m_p.font();
        const platform::FittedText fitted = platform::FitText(normal, text, width);
        m_p.setFont(fitted.font);
        Text(x, y, fitted.text);
        m_p.setFont(normal);
    }

    void Polyline(std::initializer_list<QPoint> points, const QColor& colour)
    {
        const QPoint* a = nullptr;
        for (const QPoint& b : points) {
            if (a)
                Segment(*a, b, colour);
            a = &b;
        }
    }

    // Outline in black, filled inside.
    void Rectangle(int left, int top, int right, int bottom, const QColor& fill)
    {
        m_p.fillRect(left, top, right - left, bottom - top, fill);
        Polyline({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top - 1}},
                 Qt::black);
    }

private:
    // From a up to b, without b.
    void Segment(QPoint a, QPoint b, const QColor& colour)
    {
        if (a.y() == b.y()) {
            const int x0 = a.x() < b.x() ? a.x() : b.x() + 1;
            m_p.fillRect(x0, a.y(), std::abs(b.x() - a.x()), 1, colour);
        } else {
            const int y0 = a.y() < b.y() ? a.y() : b.y() + 1;
            m_p.fillRect(a.x(), y0, 1, std::abs(b.y() - a.y()), colour);
        }
    }

    QPainter& m_p;
    int m_ascent;
    std::vector<CKivView::DrawnText>* m_record;
};

} // namespace

QStringList CKivView::PanelLabels()
{
    return {tr("国名"), tr("人口"), tr("開墾"), tr("商業"), tr("兵糧"), tr("資金"), tr("兵士"), tr("訓練")};
}

int CKivView::PanelRowAt(QPoint p)
{
    if (p.x() < 450 || p.x() >= 600 || p.y() < kPanelRowsTop || p.y() >= kPanelRowsTop + kPanelRowHeight * kPanelRows)
        return -1;
    return (p.y() - kPanelRowsTop) / kPanelRowHeight;
}

// ---- Drawing ----

const QImage& CKivView::Surface() const
{
    return m_zoom.Factor() > 1 ? m_zoom.Surface() : m_doc.Map().MapBitmap();
}

void CKivView::OnDraw()
{
    if (!PaintMap())
        return;
    if (m_zoom.Factor() == 1) {
        QPainter painter(&m_doc.Map().MapBitmap());
        DrawOnMap(painter);
        return;
    }
    // Magnified, the picture is enlarged pixel for pixel and everything else is drawn
    // on it under the same scale: lines stay square, text is drawn at the larger size.
    QPainter painter(&m_zoom.Compose(m_doc.Map().MapBitmap(), MapSignature()));
    painter.scale(m_zoom.Factor(), m_zoom.Factor());
    DrawOnMap(painter);
}

bool CKivView::PaintMap()
{
    if (!m_doc.Map().HasPictures())
        return false;
    const int turn = GetWorld().turnCountry;
    switch (mode) {
    case ViewMode::ChooseMoveTarget:
        m_doc.Map().PaintTargets(GetWorld(), turn, false);
        break;
    case ViewMode::ChooseAttackTarget:
        m_doc.Map().PaintTargets(GetWorld(), turn, true);
        break;
    default:
        m_doc.Map().PaintOwnership(GetWorld());
        break;
    }
    if (m_rulerPatterns)
        ruler_patterns::PaintOnMap(m_doc.Map(), GetWorld());
    return true;
}

QByteArray CKivView::MapSignature() const
{
    // The countries' colours decide the map; with the patterns, the rulers and the
    // number cells kept plain as well.
    QByteArray signature(reinterpret_cast<const char*>(m_doc.Map().PaintedColours().data()),
                         static_cast<qsizetype>(sizeof(m_doc.Map().PaintedColours())));
    if (m_rulerPatterns) {
        for (const Country& c : GetWorld().countries) {
            const std::int32_t values[] = {c.GetRuler(), c.GetMapX(), c.GetMapY()};
            signature.append(reinterpret_cast<const char*>(values), sizeof(values));
        }
    }
    signature.append(m_rulerPatterns ? 'p' : '-');
    return signature;
}

void CKivView::SetRulerPatterns(bool on)
{
    m_rulerPatterns = on;
    update();
}

void CKivView::DrawOnMap(QPainter& painter)
{
    const int turn = GetWorld().turnCountry;
    if (Choosing())
        m_choice.DrawOutline(painter, m_doc.Map());
    painter.setFont(platform::Font(platform::GameFont::System, 1));
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    Canvas s(painter, m_drawnTexts);
    auto cell = [this](int country) {
        // A file may place a marker anywhere a count can go; far off the map it is
        // simply not seen, and the frame's arithmetic stays within range.
        constexpr int kFarOff = 1 << 16;
        const Country& c = GetWorld().countries[static_cast<std::size_t>(country)];
        return QPoint(std::min(c.GetMapX(), kFarOff), std::min(c.GetMapY(), kFarOff));
    };

    DrawPaintedNames(painter, m_doc.Map().MapBitmap());
    if (m_overlay)
        m_overlay(painter);

    // Country numbers.
    for (int i = 0; i < kCountryCount; ++i)
        s.Text(cell(i).x(), cell(i).y() - 16, QString::number(i));

    // Frame around the number of the country whose turn it is.
    if (GameState::IsCountryIndex(turn)) {
        const int x = cell(turn).x();
        const int y = cell(turn).y();
        s.Polyline({{x - 1, y - 16}, {x + 16, y - 16}, {x + 16, y + 1}, {x - 1, y + 1}, {x - 1, y - 16}}, Qt::black);
        s.Polyline({{x - 2, y - 17}, {x + 17, y - 17}, {x + 17, y + 2}, {x - 2, y + 2}, {x - 2, y - 17}}, Qt::black);
    }

    if (m_countryNames)
        DrawCountryNames(painter, GetWorld());

    // Markers on both sides of a battle between computer rulers.
    const int attacker = marks.battleAttacker;
    const int target = marks.battleTarget;
    if (attacker != -1) {
        for (int country : {attacker, target}) {
            if (GameState::IsCountryIndex(country))
                painter.drawImage(cell(country).x(), cell(country).y() - 16, markerBitmap);
        }
    }

    // Panel: portrait frames, then the grey boxes with their white lower right edges.
    s.Rectangle(496, 6, 584, 114, Qt::white);
    s.Rectangle(498, 8, 582, 112, Qt::white);
    s.Rectangle(500, 117, 580, 140, kPanelGrey);
    s.Rectangle(450, 145, 600, 168, kPanelGrey);
    s.Rectangle(450, 170, 600, 350, kPanelGrey);
    s.Rectangle(390, 355, 600, 378, kPanelGrey);
    s.Polyline({{500, 139}, {579, 139}, {579, 117}}, Qt::white);
    s.Polyline({{450, 167}, {599, 167}, {599, 145}}, Qt::white);
    s.Polyline({{450, 349}, {599, 349}, {599, 170}}, Qt::white);
    s.Polyline({{390, 377}, {599, 377}, {599, 355}}, Qt::white);

    const int shown = marks.shownCountry;
    const bool showCountry = GameState::IsCountryIndex(shown);
    if (showCountry) {
        const RulerId ruler = GetWorld().countries[static_cast<std::size_t>(shown)].GetRuler();
        painter.drawImage(500, 10, m_doc.Map().Portrait(ruler));
        if (ruler >= 0 && ruler < kRulerCount)
            s.FittedText(520, 120, kNameWidth, shown::RulerName(ruler));
    }

    // Whose turn it is, when several people play: a plate beside the ruler's name, and
    // his name before the status line.
    const RulerId person = TurnPerson(GetWorld(), m_game.Session().TurnRuler());
    if (person != 0) {
        s.Rectangle(kTurnPlateX, 117, 494, 140, kPanelGrey);
        s.Polyline({{kTurnPlateX, 139}, {493, 139}, {493, 117}}, Qt::white);
        s.FittedText(kTurnPlateX + 5, 120, 494 - 1 - 5 - (kTurnPlateX + 5), tr("%1の番").arg(shown::RulerName(person)));
    }

    // No date before the first game: its calendar has not begun (month 0).
    if (GetWorld().month >= 1 && GetWorld().month <= 12)
        s.Text(480, 148, tr("%1 年 %2 月").arg(GetWorld().year.Get()).arg(GetWorld().month.Get()));

    // The labels from x 460, or further left (to the box's edge) when a word of the
    // language in use needs it, so that each is written whole in the panel's face.
    const QStringList labels = PanelLabels();
    int widest = 0;
    for (const QString& label : labels)
        widest = std::max(widest, painter.fontMetrics().horizontalAdvance(label));
    const int labelX = std::clamp(kLabelRight - widest, kLabelLeftmost, kLabelX);
    for (int row = 0; row < kPanelRows; ++row)
        s.FittedText(labelX, kPanelRowsTop + kPanelRowHeight * row, kLabelRight - labelX, labels[row]);

    if (showCountry) {
        const Country& c = GetWorld().countries[static_cast<std::size_t>(shown)];
        s.Text(500, kPanelRowsTop, QStringLiteral("%1 %2").arg(shown).arg(shown::CountryName(GetWorld(), shown)));
        const std::int32_t figures[] = {c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                                        c.GetFunds(),      c.GetSoldiers(),    c.GetTraining()};
        for (int row = 1; row < kPanelRows; ++row)
            s.Text(500, kPanelRowsTop + kPanelRowHeight * row, QString::number(figures[row - 1]));
    }

    s.FittedText(kStatusX, 358, kStatusWidth,
                 person != 0 ? tr("【%1】%2").arg(shown::RulerName(person), statusText) : statusText);

    if (mode == ViewMode::ChooseAttackTarget && m_choice.Country() >= 0)
        TargetChoice::DrawHint(painter, foresight_words::OddsLine(m_odds), platform::Font(platform::GameFont::System, 1));
    else if (Choosing())
        TargetChoice::DrawHint(painter, CommandTable::ChoosingHint());

    // The end pictures in the language in use: the English game has its own.
    const QString pictureLanguage = shown::Romanized() ? QStringLiteral("en") : QString();
    if (mode == ViewMode::Victory) {
        if (victoryBitmap.isNull())
            victoryBitmap = platform::LoadResourceImage(kVictoryResource, pictureLanguage);
        painter.drawImage(158, 100, victoryBitmap);
    } else if (mode == ViewMode::GameOver) {
        if (gameOverBitmap.isNull())
            gameOverBitmap = platform::LoadResourceImage(kGameOverResource, pictureLanguage);
        painter.drawImage(158, 100, gameOverBitmap);
    }
}

void CKivView::paintEvent(QPaintEvent*)
{
    QPainter window(this);
    if (m_zoom.Factor() == 1) {
        OnDraw();
        if (m_doc.Map().HasPictures())
            window.drawImage(0, 0, Surface());
        else
            window.fillRect(rect(), Qt::white);
        return;
    }
    // Magnified, the window's own off-screen buffer is the surface: the enlarged map
    // goes there in one copy and the rest is drawn on it, which spares a second pass
    // over the large picture.
    if (!PaintMap()) {
        window.fillRect(rect(), Qt::white);
        return;
    }
    window.drawImage(0, 0, m_zoom.Enlarged(m_doc.Map().MapBitmap(), MapSignature()));
    window.scale(m_zoom.Factor(), m_zoom.Factor());
    DrawOnMap(window);
}

QPoint CKivView::ToMapPoint(QPoint widgetPoint) const { return m_zoom.ToMap(widgetPoint); }

QVector<QRect> CKivView::ControlRects() const
{
    // The panel from the status line's box to the right edge, the buttons' strip.
    const QRect panel(kStatusX - 10, 0, kMapWidth - (kStatusX - 10), 380);
    const QRect buttons(0, CommandTable::kButtonY - 4, kMapWidth, CommandTable::kButtonHeight + 8);
    QVector<QRect> rects;
    for (const QRect& r : {panel, buttons}) {
        const QRect scaled = m_zoom.Scaled(r);
        rects.append(QRect(mapToGlobal(scaled.topLeft()), scaled.size()));
    }
    return rects;
}

void CKivView::PlaceToolWindow(QWidget* window) const { platform::PlaceToolWindow(window, this->window(), ControlRects()); }

void CKivView::SetCountryNames(bool on)
{
    m_countryNames = on;
    update();
}

void CKivView::SetMapOverlay(std::function<void(QPainter&)> draw)
{
    m_overlay = std::move(draw);
    update();
}
