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
#include "platform/windows.h"
#include "view/access/announcer.h"
#include "view/commands/command_table.h"
#include "view/commands/foresight_words.h"
#include "view/map/game_document.h"
#include "view/map/hand_over_notice.h"
#include "view/map/map_canvas.h"
#include "view/map/map_labels.h"
#include "view/map/map_picture.h"
#include "view/map/ruler_patterns.h"
#include "view/map/status_panel.h"
#include "words/shown_text.h"

namespace {

constexpr int kVictoryResource = 163;
constexpr int kGameOverResource = 164;

} // namespace

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
    MapCanvas s(painter, m_drawnTexts);
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

    StatusPanel::Draw(s, GetWorld(), m_doc.Map(), marks.shownCountry, TurnPerson(GetWorld(), m_game.Session().TurnRuler()),
                      StatusLine());

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
    // The country the keys are on may have changed: a screen reader follows it.
    m_announcer->FollowCursor();
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
    const QRect panel(StatusPanel::kStatusX - 10, 0, kMapWidth - (StatusPanel::kStatusX - 10), 380);
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
