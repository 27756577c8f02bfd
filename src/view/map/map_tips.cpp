// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/map_tips.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

#include "conduct/turn_description.h"
#include "view/commands/foresight_words.h"
#include "view/map/game_document.h"
#include "view/map/kiv_view.h"
#include "view/map/status_panel.h"
#include "view/map/map_labels.h"
#include "view/map/map_picture.h"

MapTips::MapTips(CKivView& view) : QObject(&view), m_view(view) { view.installEventFilter(this); }

QString MapTips::TextAt(QPoint widgetPoint) const
{
    const QPoint p = m_view.ToMapPoint(widgetPoint);
    const GameState& world = m_view.GetWorld();
    // The panel's provisions and funds tell when the harvest and the taxes come.
    constexpr int kProvisionsRow = 4;
    constexpr int kFundsRow = 5;
    if (const int row = StatusPanel::RowAt(p); row == kProvisionsRow || row == kFundsRow)
        return SeasonTipText(world, m_view.marks.shownCountry, row == kProvisionsRow);
    const int country = m_view.GetDocument().Map().CountryAt(p.x(), p.y());
    QString text = CountryTipText(world, country);
    // While the war's target is chosen, a target's tooltip tells the odds too.
    const TurnDescription& turn = m_view.Game().Turn();
    if (turn.stage == TurnStage::ChoosingWar && !text.isEmpty()) {
        const std::vector<int>& targets = turn.warTargets;
        if (std::find(targets.begin(), targets.end(), country) != targets.end())
            text += QStringLiteral("\n\n") +
                    foresight_words::OddsTip(foresight_words::WarOdds(world, world.turnCountry, country));
    }
    return text;
}

bool MapTips::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_view || event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QString text = TextAt(help->pos());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), text, &m_view);
    return true;
}
