// SPDX-License-Identifier: GPL-3.0-or-later
// What the map can tell beyond the specified drawing: each country's name written
// beside its number (an option), and a tooltip with a country's name, ruler and figures
// when the pointer rests on it.
#pragma once

#include <QObject>
#include <QString>

#include "model/game_state.h"

class CKivView;
class QPainter;

// Writes every country's name to the right of its number cell and turn frame, in a
// small face with a white edge so that it reads on every colour.
void DrawCountryNames(QPainter& painter, const GameState& world);

// "3 徐州 / 君主 劉備 / 人口 ..." for a country; empty when it has no name (no world yet).
QString CountryTipText(const GameState& world, int country);

// When the next harvest (provisions) or taxes (funds) come for a country and about what
// they bring, for the status panel's figures; empty for no country or one without a ruler.
QString SeasonTipText(const GameState& world, int country, bool provisions);

// Shows the tooltip of the country under the pointer on the view, in any mode; it
// changes nothing of the panel or the game.
class CMapTips : public QObject {
    Q_OBJECT

public:
    explicit CMapTips(CKivView& view);
    // The tooltip's text for a point of the view (empty: none).
    QString TextAt(QPoint widgetPoint) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKivView& m_view;
};
