// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map_labels.h"

#include <QCoreApplication>

#include "view/shown_text.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

#include "view/game_document.h"
#include "view/map_picture.h"
#include "platform/fonts.h"
#include "rules/commands.h"
#include "rules/names.h"
#include "rules/turn.h"
#include "view/foresight_words.h"
#include "view/kiv_view.h"

namespace {
constexpr int kNamePixels = 12;
} // namespace

namespace {

// A country's number cell with the turn frame around it.
QRect NumberCell(const Country& c) { return QRect(c.GetMapX() - 2, c.GetMapY() - 17, 20, 20); }

} // namespace

void DrawCountryNames(QPainter& painter, const GameState& world)
{
    painter.save();
    QFont font = platform::Font(platform::GameFont::System, 1);
    font.setPixelSize(kNamePixels);
    painter.setFont(font);
    const QFontMetrics metrics = painter.fontMetrics();
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = world.countries[static_cast<std::size_t>(i)];
        const QString name = shown::CountryName(world, i);
        if (name.isEmpty() || c.GetMapX() > kMapWidth || c.GetMapY() > kMapHeight + 16)
            continue;
        // Right of the number, else left of it, else below or above: the first place
        // (with its white edge) that covers no country's number or turn frame.
        const QRect cell = NumberCell(c);
        const int width = metrics.horizontalAdvance(name) + 2;
        const int height = metrics.height() + 2;
        const int middle = cell.center().y() - height / 2;
        const QRect places[] = {
            QRect(cell.right() + 2, middle, width, height),
            QRect(cell.left() - 2 - width, middle, width, height),
            QRect(cell.center().x() - width / 2, cell.bottom() + 1, width, height),
            QRect(cell.center().x() - width / 2, cell.top() - 1 - height, width, height),
        };
        QRect place = places[0];
        for (const QRect& candidate : places) {
            bool clear = true;
            for (const Country& other : world.countries)
                clear = clear && !candidate.intersects(NumberCell(other));
            if (clear) {
                place = candidate;
                break;
            }
        }
        const int x = place.left() + 1;
        const int y = place.top() + 1 + metrics.ascent();
        painter.setPen(Qt::white);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0)
                    painter.drawText(x + dx, y + dy, name);
        painter.setPen(Qt::black);
        painter.drawText(x, y, name);
    }
    painter.restore();
}

QString CountryTipText(const GameState& world, int country)
{
    if (!GameState::IsCountryIndex(country))
        return {};
    const QString name = shown::CountryName(world, country);
    if (name.isEmpty())
        return {};
    const Country& c = world.countries[static_cast<std::size_t>(country)];
    return QCoreApplication::translate("CMapTips", "%1 %2\n君主 %3\n人口 %4\n開墾 %5\n商業 %6\n兵糧 %7\n資金 %8\n兵士 %9\n訓練 %10")
        .arg(country)
        .arg(name, shown::RulerName(c.GetRuler()))
        .arg(c.GetPopulation())
        .arg(c.GetCultivation())
        .arg(c.GetCommerce())
        .arg(c.GetProvisions())
        .arg(c.GetFunds())
        .arg(c.GetSoldiers())
        .arg(c.GetTraining());
}

QString SeasonTipText(const GameState& world, int country, bool provisions)
{
    if (!GameState::IsCountryIndex(country) || world.countries[static_cast<std::size_t>(country)].GetRuler() == 0)
        return {};
    if (!provisions) {
        const SeasonalIncome taxes = NextTaxes(world, country);
        return QCoreApplication::translate("CMapTips", "次の税収 %1年%2月 (あと %3か月): 資金 およそ +%4")
            .arg(taxes.year)
            .arg(taxes.month)
            .arg(taxes.monthsAway)
            .arg(taxes.amount);
    }
    const SeasonalIncome harvest = NextHarvest(world, country);
    return QCoreApplication::translate("CMapTips", "次の収穫 %1年%2月 (あと %3か月): 兵糧 およそ +%4\n"
                                                   "1月に兵士が兵糧 %5 を食べます (足りなければ兵士は半減)\n"
                                                   "戦争には兵士と同じだけの兵糧が要ります")
        .arg(harvest.year)
        .arg(harvest.month)
        .arg(harvest.monthsAway)
        .arg(harvest.amount)
        .arg(world.countries[static_cast<std::size_t>(country)].Upkeep());
}

CMapTips::CMapTips(CKivView& view) : QObject(&view), m_view(view) { view.installEventFilter(this); }

QString CMapTips::TextAt(QPoint widgetPoint) const
{
    const QPoint p = m_view.ToMapPoint(widgetPoint);
    const GameState& world = m_view.GetWorld();
    // The panel's provisions and funds tell when the harvest and the taxes come.
    constexpr int kProvisionsRow = 4;
    constexpr int kFundsRow = 5;
    if (const int row = CKivView::PanelRowAt(p); row == kProvisionsRow || row == kFundsRow)
        return SeasonTipText(world, m_view.marks.shownCountry, row == kProvisionsRow);
    const int country = m_view.GetDocument().Map().CountryAt(p.x(), p.y());
    QString text = CountryTipText(world, country);
    // While the war's target is chosen, a target's tooltip tells the odds too.
    if (m_view.mode == ViewMode::ChooseAttackTarget && !text.isEmpty()) {
        const std::vector<int> targets = AttackTargets(world, world.turnCountry);
        if (std::find(targets.begin(), targets.end(), country) != targets.end())
            text += QStringLiteral("\n\n") +
                    foresight_words::OddsTip(foresight_words::WarOdds(world, world.turnCountry, country));
    }
    return text;
}

bool CMapTips::eventFilter(QObject* watched, QEvent* event)
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
