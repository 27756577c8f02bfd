// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/access/map_access.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <array>

#include "conduct/turn_description.h"
#include "view/access/announcer.h"
#include "view/map/kiv_view.h"
#include "view/map/map_labels.h"
#include "view/map/status_panel.h"
#include "words/shown_text.h"

namespace accessible {

namespace {

bool Contains(const std::vector<int>& list, int value) { return std::find(list.begin(), list.end(), value) != list.end(); }

// A child of the map with no widget of its own: a country, the panel or the status bar.
class MapPart : public QAccessibleInterface {
public:
    MapPart(CKivView* view, int index) : m_view(view), m_index(index) {}

    bool isValid() const override { return !m_view.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override
    {
        if (!m_view)
            return {};
        // The panel and the status line's box, in the map's pixels, on the screen.
        const QRect map = m_index == Announcer::kPanelChild ? QRect(StatusPanel::kStatusX - 10, 0, 216, 350)
                                                 : QRect(StatusPanel::kStatusX - 10, 350, 216, 30);
        const qreal zoom = m_view->Zoom();
        return QRect(m_view->mapToGlobal(QPoint(qRound(map.x() * zoom), qRound(map.y() * zoom))),
                     QSize(qRound(map.width() * zoom), qRound(map.height() * zoom)));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.readOnly = true;
        return state;
    }

    QAccessible::Role role() const override
    {
        return m_index == Announcer::kStatusBarChild ? QAccessible::StatusBar : QAccessible::StaticText;
    }

    QString text(QAccessible::Text t) const override
    {
        if (!m_view || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        if (m_index == Announcer::kStatusBarChild)
            return m_view->Announce().Last();
        return PanelText(m_view->GetWorld(), m_view->marks.shownCountry, m_view->StatusLine());
    }

protected:
    QPointer<CKivView> m_view;
    int m_index;
};

// The status bar the game's lines are told through: its name and its text are the last
// line, and each new line is sent as the text replaced (view/access/announcer.h).
class StatusBarPart : public MapPart, public QAccessibleTextInterface {
public:
    using MapPart::MapPart;

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this) : nullptr;
    }

    QString Line() const { return m_view ? m_view->Announce().Last() : QString(); }

    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return Line().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Line().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
    using MapPart::text;
};

// One country of the list: pressing it is a click on it.
class CountryItem : public MapPart, public QAccessibleActionInterface {
public:
    using MapPart::MapPart;

    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override
    {
        if (!m_view)
            return {};
        if (t == QAccessible::Name)
            return CountryName(m_view->GetWorld(), m_index);
        if (t == QAccessible::Description) {
            const auto turn = m_view->Game().PublishedTurn();
            return CountryDescription(m_view->GetWorld(), turn ? *turn : TurnDescription{}, m_index);
        }
        return {};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!m_view)
            return state;
        state.focusable = true;
        state.selectable = true;
        state.selected = m_view->marks.shownCountry == m_index;
        state.focused = m_view->hasFocus() && m_view->Announce().Cursor() == m_index;
        // While a target is chosen, a country that may not be chosen is shown dimmed.
        const auto turn = m_view->Game().PublishedTurn();
        if (turn && turn->Choosing())
            state.disabled =
                !Contains(turn->stage == TurnStage::ChoosingMove ? turn->moveTargets : turn->warTargets, m_index);
        return state;
    }

    QRect rect() const override
    {
        if (!m_view)
            return {};
        // The country's number cell, where its name is written beside it.
        const Country& c = m_view->GetWorld().countries[static_cast<std::size_t>(m_index)];
        const QRect cell(c.GetMapX(), c.GetMapY(), 16, 16);
        const qreal zoom = m_view->Zoom();
        return QRect(m_view->mapToGlobal(QPoint(qRound(cell.x() * zoom), qRound(cell.y() * zoom))),
                     QSize(qRound(cell.width() * zoom), qRound(cell.height() * zoom)));
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    void doAction(const QString& name) override
    {
        // A window over the map takes the clicks, and the action as well.
        if (name != pressAction() || !m_view || QApplication::activeModalWidget())
            return;
        // After the call that asked for it has returned: a click may open a window.
        QPointer<CKivView> view = m_view;
        const int country = m_index;
        QTimer::singleShot(0, view, [view, country] {
            if (view)
                view->PickCountry(country);
        });
    }
};

// The map view: a list of the countries, then the panel, the status bar and its widgets.
class MapAccessible : public QAccessibleWidget {
public:
    explicit MapAccessible(CKivView* view) : QAccessibleWidget(view, QAccessible::List) {}

    ~MapAccessible() override
    {
        for (QAccessible::Id id : m_parts)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    CKivView* View() const { return static_cast<CKivView*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return QCoreApplication::translate("MapAccess", "国一覧");
        if (t == QAccessible::Description) {
            const auto turn = View()->Game().PublishedTurn();
            return turn ? shown::Text(turn->status) : QString();
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return Announcer::kChildren + QAccessibleWidget::childCount(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0)
            return nullptr;
        if (index < Announcer::kChildren) {
            QAccessible::Id& id = m_parts[static_cast<std::size_t>(index)];
            if (!id) {
                QAccessibleInterface* part = nullptr;
                if (index < kCountryCount)
                    part = new CountryItem(View(), index);
                else if (index == Announcer::kStatusBarChild)
                    part = new StatusBarPart(View(), index);
                else
                    part = new MapPart(View(), index);
                id = QAccessible::registerAccessibleInterface(part);
            }
            return QAccessible::accessibleInterface(id);
        }
        return QAccessibleWidget::child(index - Announcer::kChildren);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < m_parts.size(); ++i)
            if (m_parts[i] && QAccessible::accessibleInterface(m_parts[i]) == child)
                return static_cast<int>(i);
        const int own = QAccessibleWidget::indexOfChild(child);
        return own < 0 ? -1 : own + Announcer::kChildren;
    }

    QAccessibleInterface* focusChild() const override
    {
        const int cursor = View()->Announce().Cursor();
        if (View()->hasFocus() && cursor >= 0)
            return child(cursor);
        return QAccessibleWidget::focusChild();
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < Announcer::kChildren; ++i)
            if (QAccessibleInterface* part = child(i); part->rect().contains(x, y))
                return part;
        return QAccessibleWidget::childAt(x, y);
    }

private:
    mutable std::array<QAccessible::Id, Announcer::kChildren> m_parts{};
};

QAccessibleInterface* Factory(const QString& key, QObject* object)
{
    if (key == QLatin1String("CKivView"))
        if (auto* view = qobject_cast<CKivView*>(object))
            return new MapAccessible(view);
    return nullptr;
}

QString Figures(const GameState& world, int country)
{
    // The tooltip's lines after the first (the name), on one line.
    QStringList lines = CountryTipText(world, country).split(QLatin1Char('\n'));
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines.join(QCoreApplication::translate("MapAccess", "、"));
}

} // namespace

void InstallMapAccess()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(&Factory);
    installed = true;
}

QString CountryName(const GameState& world, int country)
{
    const QString name = shown::CountryName(world, country);
    if (name.isEmpty())
        return QString::number(country);
    const int ruler = world.countries[static_cast<std::size_t>(country)].GetRuler();
    return QCoreApplication::translate("MapAccess", "%1 %2 %3")
        .arg(country)
        .arg(name, shown::RulerName(ruler)); // 非統治 for a country nobody rules, as the game names it
}

QString CountryDescription(const GameState& world, const TurnDescription& turn, int country)
{
    if (shown::CountryName(world, country).isEmpty())
        return {};
    QStringList parts{Figures(world, country)};
    QStringList neighbours;
    for (std::uint32_t n : world.countries[static_cast<std::size_t>(country)].GetNeighbours()) {
        const int next = static_cast<int>(n);
        if (!GameState::IsCountryIndex(next))
            continue;
        const Country& c = world.countries[static_cast<std::size_t>(next)];
        const QString ruler = shown::RulerName(c.GetRuler());
        neighbours << QCoreApplication::translate("MapAccess", "%1 %2 (%3 兵士 %4)")
                          .arg(next)
                          .arg(shown::CountryName(world, next), ruler)
                          .arg(c.GetSoldiers());
    }
    if (!neighbours.isEmpty())
        parts << QCoreApplication::translate("MapAccess", "隣国: %1").arg(neighbours.join(QCoreApplication::translate("MapAccess", "、")));
    if (turn.country == country && turn.AtPersonsTurn())
        parts << QCoreApplication::translate("MapAccess", "この国の番です");
    if (turn.Choosing()) {
        const bool moving = turn.stage == TurnStage::ChoosingMove;
        const bool may = Contains(moving ? turn.moveTargets : turn.warTargets, country);
        parts << (moving ? (may ? QCoreApplication::translate("MapAccess", "移動先に選べます") : QCoreApplication::translate("MapAccess", "移動先に選べません"))
                         : (may ? QCoreApplication::translate("MapAccess", "攻撃先に選べます") : QCoreApplication::translate("MapAccess", "攻撃先に選べません")));
    }
    return parts.join(QCoreApplication::translate("MapAccess", "。"));
}

QString PanelText(const GameState& world, int shown, const QString& status)
{
    QStringList parts;
    if (world.month >= 1 && world.month <= 12)
        parts << StatusPanel::tr("%1 年 %2 月").arg(world.year.Get()).arg(world.month.Get());
    if (!shown::CountryName(world, shown).isEmpty())
        parts << CountryName(world, shown) << Figures(world, shown);
    if (!status.isEmpty())
        parts << status;
    return parts.join(QCoreApplication::translate("MapAccess", "。"));
}

} // namespace accessible
