// SPDX-License-Identifier: GPL-3.0-or-later
// The chronicle's list: the events in the game's words, grouped under a heading for
// each month ("190 年 3 月"), the newest month at the top and each month's events in
// the order they happened; filtered to all, war only, or what touches the player.
#pragma once

#include <QAbstractListModel>

#include <cstddef>
#include <vector>

class ChronicleLog;
struct GameEvent;

class ChronicleModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class Filter { All, War, Mine };

    explicit ChronicleModel(const ChronicleLog& log, QObject* parent = nullptr);

    void SetFilter(Filter filter);
    Filter GetFilter() const { return m_filter; }

    // Rows are headings and events; true for a heading.
    bool IsHeading(int row) const;
    // The index in the log of an event's row; -1 for a heading.
    long long EventAt(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Follows the log: new events, or a log emptied.
    void OnEventsAdded(std::size_t first, std::size_t end);
    void OnCleared();
    // Every row is worded again (the language changed).
    void Reword();

private:
    struct Group {
        int year;
        int month;
        std::vector<std::size_t> events; // log indexes, in order
    };
    struct Entry {
        const Group* group;
        long long event; // -1: the heading
    };

    bool Accepts(const GameEvent& event) const;
    void Rebuild();
    // Appends to the groups; returns the group that got it (new: true when made).
    void Append(std::size_t index, bool announce);
    Entry EntryAt(int row) const;

    const ChronicleLog& m_log;
    Filter m_filter = Filter::All;
    std::vector<Group> m_groups; // oldest first
    std::vector<int> m_rowsBefore; // rows of all older groups, for each group
    int m_rows = 0;
};
