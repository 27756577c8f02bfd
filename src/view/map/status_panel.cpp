// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/status_panel.h"

#include <QColor>
#include <QPainter>

#include <algorithm>

#include "view/map/map_canvas.h"
#include "view/map/map_picture.h"
#include "words/shown_text.h"

namespace {

const QColor kPanelGrey(192, 192, 192);

// The status line starts at x 400 inside its box (390..599); its text keeps a pixel
// clear of the box's white right edge.
constexpr int kStatusWidth = 599 - 1 - StatusPanel::kStatusX;
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

} // namespace

QStringList StatusPanel::Labels()
{
    return {tr("国名"), tr("人口"), tr("開墾"), tr("商業"), tr("兵糧"), tr("資金"), tr("兵士"), tr("訓練")};
}

int StatusPanel::RowAt(QPoint p)
{
    if (p.x() < 450 || p.x() >= 600 || p.y() < kPanelRowsTop || p.y() >= kPanelRowsTop + kPanelRowHeight * kPanelRows)
        return -1;
    return (p.y() - kPanelRowsTop) / kPanelRowHeight;
}

void StatusPanel::Draw(MapCanvas& s, const GameState& world, const MapPicture& map, int shown, RulerId person,
                       const QString& status)
{
    QPainter& painter = s.Painter();
    // Portrait frames, then the grey boxes with their white lower right edges.
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

    const bool showCountry = GameState::IsCountryIndex(shown);
    if (showCountry) {
        const RulerId ruler = world.countries[static_cast<std::size_t>(shown)].GetRuler();
        painter.drawImage(500, 10, map.Portrait(ruler));
        if (ruler >= 0 && ruler < kRulerCount)
            s.FittedText(520, 120, kNameWidth, shown::RulerName(ruler));
    }

    // Whose turn it is, when several people play: a plate beside the ruler's name, and
    // his name before the status line.
    if (person != 0) {
        s.Rectangle(kTurnPlateX, 117, 494, 140, kPanelGrey);
        s.Polyline({{kTurnPlateX, 139}, {493, 139}, {493, 117}}, Qt::white);
        s.FittedText(kTurnPlateX + 5, 120, 494 - 1 - 5 - (kTurnPlateX + 5), tr("%1の番").arg(shown::RulerName(person)));
    }

    // No date before the first game: its calendar has not begun (month 0).
    if (world.month >= 1 && world.month <= 12)
        s.Text(480, 148, tr("%1 年 %2 月").arg(world.year.Get()).arg(world.month.Get()));

    // The labels from x 460, or further left (to the box's edge) when a word of the
    // language in use needs it, so that each is written whole in the panel's face.
    const QStringList labels = Labels();
    int widest = 0;
    for (const QString& label : labels)
        widest = std::max(widest, painter.fontMetrics().horizontalAdvance(label));
    const int labelX = std::clamp(kLabelRight - widest, kLabelLeftmost, kLabelX);
    for (int row = 0; row < kPanelRows; ++row)
        s.FittedText(labelX, kPanelRowsTop + kPanelRowHeight * row, kLabelRight - labelX, labels[row]);

    if (showCountry) {
        const Country& c = world.countries[static_cast<std::size_t>(shown)];
        s.Text(500, kPanelRowsTop, QStringLiteral("%1 %2").arg(shown).arg(shown::CountryName(world, shown)));
        const std::int32_t figures[] = {c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                                        c.GetFunds(),      c.GetSoldiers(),    c.GetTraining()};
        for (int row = 1; row < kPanelRows; ++row)
            s.Text(500, kPanelRowsTop + kPanelRowHeight * row, QString::number(figures[row - 1]));
    }

    s.FittedText(kStatusX, 358, kStatusWidth, person != 0 ? tr("【%1】%2").arg(shown::RulerName(person), status) : status);
}
