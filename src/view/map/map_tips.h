// SPDX-License-Identifier: GPL-3.0-or-later
// The map's tooltip: a country's name, ruler and figures when the pointer rests on it,
// the season's income on the panel's figures, the odds on a war's target.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

class CKivView;

// Shows the tooltip of the country under the pointer on the view, in any mode; it
// changes nothing of the panel or the game.
class MapTips : public QObject {
    Q_OBJECT

public:
    explicit MapTips(CKivView& view);
    // The tooltip's text for a point of the view (empty: none).
    QString TextAt(QPoint widgetPoint) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKivView& m_view;
};
