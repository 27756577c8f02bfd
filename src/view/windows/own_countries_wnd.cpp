// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/own_countries_wnd.h"

#include <QEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/fonts.h"
#include "platform/windows.h"
#include "conduct/own_countries.h"
#include "conduct/turn_description.h"
#include "view/commands/command_table.h"
#include "view/map/kiv_view.h"
#include "view/map/status_panel.h"
#include "words/shown_text.h"

namespace {

enum Column { kTurn, kName, kFirstFigure, kWar = kFirstFigure + 7, kOthers, kColumnCount };

// How often the table reads the world while it is shown: the computer's turns change it
// with no word to the windows.
constexpr int kFollowMs = 400;

QTableWidgetItem* Item(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

OwnCountriesWindow::OwnCountriesWindow(CKivView& view, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_view(view), m_table(new QTableWidget(0, kColumnCount, this)),
      m_follow(new QTimer(this))
{
    setObjectName(QStringLiteral("ownCountries"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    m_table->setFont(platform::Font(platform::GameFont::Dialog));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A click or Enter on a row (activated is Qt's signal for Enter and the platform's
    // activating click alike).
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { PointAt(row); });
    connect(m_table, &QTableWidget::activated, this, [this](const QModelIndex& index) { PointAt(index.row()); });

    connect(&view.Game(), &GameController::turnDescribed, this, &OwnCountriesWindow::Refresh);
    connect(&view.Game(), &GameController::playerTurnReached, this, &OwnCountriesWindow::Refresh);
    connect(m_follow, &QTimer::timeout, this, &OwnCountriesWindow::Refresh);
    m_follow->setInterval(kFollowMs);
    Retranslate();
}

int OwnCountriesWindow::CountryOf(int row) const
{
    const QTableWidgetItem* item = m_table->item(row, kName);
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

int OwnCountriesWindow::TurnRow() const
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        if (!m_table->item(row, kTurn)->text().isEmpty())
            return row;
    return -1;
}

void OwnCountriesWindow::PointAt(int row)
{
    const int country = CountryOf(row);
    if (country < 0)
        return;
    m_view.marks.shownCountry = country;
    m_view.update();
}

void OwnCountriesWindow::Refresh()
{
    const GameState& world = m_view.GetWorld();
    m_player = ListedPerson(world, m_view.Game().Session().TurnRuler(), m_player);
    const int current = CountryOf(m_table->currentRow());
    const std::vector<OwnCountryRow> own =
        OwnCountryRows(world, m_player, m_view.Game().Turn(), m_view.Game().AtPlayersTurn());

    m_table->setRowCount(static_cast<int>(own.size()));
    for (int row = 0; row < static_cast<int>(own.size()); ++row) {
        const OwnCountryRow& listed = own[static_cast<std::size_t>(row)];
        const int i = listed.country;
        const Country& c = world.countries[static_cast<std::size_t>(i)];
        const bool hasTurn = listed.hasTurn;
        m_table->setItem(row, kTurn, Item(hasTurn ? QStringLiteral("▶") : QString(), Qt::AlignCenter));
        QTableWidgetItem* name = Item(QStringLiteral("%1 %2").arg(i).arg(shown::CountryName(world, i)));
        name->setData(Qt::UserRole, i);
        m_table->setItem(row, kName, name);
        const std::int32_t figures[] = {c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                                        c.GetFunds(),      c.GetSoldiers(),    c.GetTraining()};
        for (int f = 0; f < 7; ++f)
            m_table->setItem(row, kFirstFigure + f,
                             Item(QString::number(figures[f]), Qt::AlignRight | Qt::AlignVCenter));

        // Each command's reason, as its button's tooltip words it at the country's turn.
        QString war;
        bool warAble = false;
        QStringList able;
        QStringList unable;
        const auto& reasons = listed.reasons;
        for (const CommandEntry& entry : CommandTable::Entries()) {
            if (entry.group != CommandEntry::Action)
                continue;
            const platform::Message& reason = reasons[IndexOf(entry.command)];
            const QString why = reason.empty() ? QString() : shown::Text(reason);
            if (entry.id == CommandTable::ID_CMD_WAR) {
                warAble = why.isEmpty();
                war = warAble ? tr("可") : why;
            }
            else if (why.isEmpty())
                able << CommandTable::Caption(entry);
            else
                unable << QStringLiteral("%1: %2").arg(CommandTable::Caption(entry), why);
        }
        if (listed.spent) {
            war = tr("命令済み");
            warAble = false;
            able.clear();
        }
        QTableWidgetItem* warItem = Item(war);
        if (!warAble)
            warItem->setForeground(QColor(160, 0, 0));
        m_table->setItem(row, kWar, warItem);
        QTableWidgetItem* others = Item(able.join(QLatin1Char(' ')));
        others->setToolTip(unable.join(QLatin1Char('\n')));
        m_table->setItem(row, kOthers, others);
        if (hasTurn) {
            for (int col = 0; col < kColumnCount; ++col) {
                QFont bold = m_table->font();
                bold.setBold(true);
                m_table->item(row, col)->setFont(bold);
            }
        }
        if (i == current)
            m_table->setCurrentCell(row, m_table->currentColumn() < 0 ? kName : m_table->currentColumn());
    }
    // A column grown with the game (the commands a country can give) is never cut.
    if (isVisible() && ContentsSize().width() > width()) {
        resize(ContentsSize().width(), height());
        platform::PlaceInside(this, pos(), platform::AvailableArea(this));
    }
}

QSize OwnCountriesWindow::ContentsSize() const
{
    const int frame = 2 * m_table->frameWidth();
    const int rows = std::max(m_table->rowCount(), 6);
    return QSize(m_table->horizontalHeader()->length() + frame + m_table->verticalScrollBar()->sizeHint().width(),
                 m_table->horizontalHeader()->height() + rows * m_table->verticalHeader()->defaultSectionSize() + frame);
}

void OwnCountriesWindow::Open()
{
    if (isVisible())
        return;
    Refresh();
    // Every column and row whole, where the screen allows: the window is never made
    // narrower or shorter beside the map.
    const QSize room = platform::AvailableArea(m_view.window()).size().shrunkBy(platform::FrameMargins(this));
    setMinimumSize(ContentsSize().boundedTo(room));
    resize(ContentsSize());
    m_view.PlaceToolWindow(this);
    show();
}

void OwnCountriesWindow::Retranslate()
{
    setWindowTitle(tr("自国一覧"));
    QStringList headers = {tr("番")};
    headers << StatusPanel::Labels();
    for (const CommandEntry& entry : CommandTable::Entries())
        if (entry.id == CommandTable::ID_CMD_WAR)
            headers << CommandTable::Caption(entry);
    headers << tr("できる命令");
    m_table->setHorizontalHeaderLabels(headers);
    Refresh();
}

void OwnCountriesWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

void OwnCountriesWindow::showEvent(QShowEvent* event)
{
    Refresh();
    m_follow->start();
    emit visibilityChanged(true);
    QWidget::showEvent(event);
}

void OwnCountriesWindow::hideEvent(QHideEvent* event)
{
    m_follow->stop();
    emit visibilityChanged(false);
    QWidget::hideEvent(event);
}
