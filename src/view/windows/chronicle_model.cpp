// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/chronicle_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>

#include "model/game_state.h"
#include "rules/events.h"
#include "view/windows/chronicle_log.h"
#include "words/event_words.h"

namespace {
// More events than this at once are shown by rebuilding the list rather than row by row.
constexpr std::size_t kRebuildAbove = 64;
} // namespace

ChronicleModel::ChronicleModel(const ChronicleLog& log, QObject* parent) : QAbstractListModel(parent), m_log(log)
{
    Rebuild();
}

void ChronicleModel::SetFilter(Filter filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    Rebuild();
}

bool ChronicleModel::Accepts(const GameEvent& event) const
{
    if (event.kind == EventKind::Month || event.kind == EventKind::Capture)
        return false; // a month is its heading; a capture is told by its battle
    switch (m_filter) {
    case Filter::All:
        return true;
    case Filter::War:
        return IsWarEvent(event);
    case Filter::Mine: {
        // Every player's, when several play at the screen.
        const std::vector<RulerId> players = Players(m_log.GetWorld());
        if (players.empty())
            return EventTouchesRuler(event, m_log.GetWorld().playerRuler);
        return std::any_of(players.begin(), players.end(), [&](RulerId r) { return EventTouchesRuler(event, r); });
    }
    }
    return true;
}

void ChronicleModel::Rebuild()
{
    beginResetModel();
    m_groups.clear();
    m_rowsBefore.clear();
    m_rows = 0;
    for (std::size_t i = 0; i < m_log.Count(); ++i)
        Append(i, false);
    endResetModel();
}

void ChronicleModel::Append(std::size_t index, bool announce)
{
    const GameEvent& e = m_log.At(index);
    if (!Accepts(e))
        return;
    const bool newGroup = m_groups.empty() || m_groups.back().year != e.year || m_groups.back().month != e.month;
    // The newest group is at the top: its heading at row 0, its events below in order.
    const int first = newGroup ? 0 : static_cast<int>(m_groups.back().events.size()) + 1;
    const int last = newGroup ? 1 : first;
    if (announce)
        beginInsertRows(QModelIndex(), first, last);
    if (newGroup) {
        m_rowsBefore.push_back(m_rows);
        m_groups.push_back({e.year, e.month, {}});
        m_rows += 1;
    }
    m_groups.back().events.push_back(index);
    m_rows += 1;
    if (announce)
        endInsertRows();
}

void ChronicleModel::OnEventsAdded(std::size_t first, std::size_t end)
{
    if (end - first > kRebuildAbove) {
        Rebuild();
        return;
    }
    for (std::size_t i = first; i < end; ++i)
        Append(i, true);
}

void ChronicleModel::OnCleared() { Rebuild(); }

ChronicleModel::Entry ChronicleModel::EntryAt(int row) const
{
    // Counted from the bottom, the groups lie oldest first; within a group from the
    // bottom: its last event ... its first event, then its heading.
    const int fromBottom = m_rows - 1 - row;
    const auto it = std::upper_bound(m_rowsBefore.begin(), m_rowsBefore.end(), fromBottom);
    const std::size_t g = static_cast<std::size_t>(it - m_rowsBefore.begin()) - 1;
    const Group& group = m_groups[g];
    const int offset = fromBottom - m_rowsBefore[g];
    const int count = static_cast<int>(group.events.size());
    if (offset == count)
        return {&group, -1};
    return {&group, static_cast<long long>(group.events[static_cast<std::size_t>(count - 1 - offset)])};
}

bool ChronicleModel::IsHeading(int row) const { return row >= 0 && row < m_rows && EntryAt(row).event < 0; }

long long ChronicleModel::EventAt(int row) const { return row >= 0 && row < m_rows ? EntryAt(row).event : -1; }

int ChronicleModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

QVariant ChronicleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    const Entry entry = EntryAt(index.row());
    const bool heading = entry.event < 0;
    switch (role) {
    case Qt::DisplayRole:
        return heading ? chronicle::MonthHeading(entry.group->year, entry.group->month)
                       : QStringLiteral("  ") + chronicle::EventText(m_log.GetWorld(), m_log.At(static_cast<std::size_t>(entry.event)),
                                                                     m_log.RandomSeed());
    case Qt::FontRole:
        if (heading) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        if (heading)
            return QBrush(QColor(224, 224, 224));
        return {};
    case Qt::ForegroundRole:
        if (!heading && IsWarEvent(m_log.At(static_cast<std::size_t>(entry.event))))
            return QBrush(QColor(160, 0, 0));
        return {};
    default:
        return {};
    }
}

void ChronicleModel::Reword()
{
    if (rowCount() > 0)
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}
