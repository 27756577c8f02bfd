// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/ruler_table.h"

#include <QEvent>

#include "words/shown_text.h"

#include <QHeaderView>
#include <QPainter>
#include <QPixmap>

#include "dialogs/seats_dialog.h"
#include "rules/names.h"
#include "rules/standings.h"
#include "words/event_words.h"
#include "view/map/ruler_patterns.h"

namespace {

QIcon Swatch(RulerId ruler, bool pattern)
{
    const Colour c = kRulerColours[static_cast<std::size_t>(ruler)];
    QPixmap swatch(16, 16);
    swatch.fill(QColor(ColourRed(c), ColourGreen(c), ColourBlue(c)));
    QPainter p(&swatch);
    if (pattern)
        ruler_patterns::PaintSwatch(p, swatch.rect(), ruler);
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 15);
    return QIcon(swatch);
}

QTableWidgetItem* Number(std::int64_t value)
{
    auto* item = new QTableWidgetItem(QString::number(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

RulerTable::RulerTable(const GameState& world, QWidget* parent) : QTableWidget(parent), m_world(world)
{
    const QStringList columns = Columns();
    setColumnCount(static_cast<int>(columns.size()));
    setHorizontalHeaderLabels(columns);
    verticalHeader()->hide();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

void RulerTable::Refresh()
{
    const std::vector<RulerStanding> standings = RulerStandings(m_world);
    setRowCount(static_cast<int>(standings.size()));
    for (int row = 0; row < static_cast<int>(standings.size()); ++row) {
        const RulerStanding& s = standings[static_cast<std::size_t>(row)];
        // Every player is marked: with several at the screen, not only the first.
        const bool player = m_world.IsPlayer(s.ruler);
        QString name = shown::RulerName(s.ruler);
        if (player)
            name = chronicle::Captions::PlayerMark() + name;
        auto* ruler = new QTableWidgetItem(Swatch(s.ruler, m_patterns), name);
        ruler->setData(Qt::UserRole, s.ruler);
        setItem(row, 0, ruler);
        setItem(row, 1, Number(s.countries));
        setItem(row, 2, Number(s.soldiers));
        setItem(row, 3, Number(s.provisions));
        setItem(row, 4, Number(s.funds));
        setItem(row, kSeatColumn, new QTableWidgetItem(SeatsDialog::SeatName(m_world, s.ruler)));
        for (int column = 0; column < columnCount(); ++column) {
            QFont font = item(row, column)->font();
            font.setBold(player);
            item(row, column)->setFont(font);
        }
    }
}

void RulerTable::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setHorizontalHeaderLabels(Columns());
        if (rowCount() > 0)
            Refresh();
    }
    QTableWidget::changeEvent(event);
}

QStringList RulerTable::Columns() { return chronicle::Captions::StandingsColumns() << tr("担当"); }

void RulerTable::SetPatterns(bool on)
{
    if (on == m_patterns)
        return;
    m_patterns = on;
    Refresh();
}
