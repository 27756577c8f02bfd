// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/chronicle_wnd.h"

#include <QComboBox>
#include <QEvent>
#include <QListView>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/window_scale.h"
#include "rules/events.h"
#include "view/windows/chronicle_log.h"
#include "words/event_words.h"
#include "view/windows/holdings_chart.h"
#include "view/windows/ruler_table.h"

using chronicle::Captions;

ChronicleWindow::ChronicleWindow(ChronicleLog& log, QWidget* parent) : QWidget(parent, Qt::Window), m_log(log)
{
    setObjectName(QStringLiteral("chronicle"));
    m_model = new ChronicleModel(log, this);

    auto* record = new QWidget;
    auto* recordLayout = new QVBoxLayout(record);
    m_filter = new QComboBox;
    m_filter->addItem(QString(), static_cast<int>(ChronicleModel::Filter::All));
    m_filter->addItem(QString(), static_cast<int>(ChronicleModel::Filter::War));
    m_filter->addItem(QString(), static_cast<int>(ChronicleModel::Filter::Mine));
    m_list = new QListView;
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    recordLayout->addWidget(m_filter);
    recordLayout->addWidget(m_list);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QListView::customContextMenuRequested, this, [this](const QPoint& pos) {
        ShowRowMenu(m_list->indexAt(pos).row(), m_list->viewport()->mapToGlobal(pos));
    });
    connect(m_filter, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_model->SetFilter(static_cast<ChronicleModel::Filter>(m_filter->itemData(index).toInt()));
    });

    m_chart = new HoldingsChart(log);
    m_table = new RulerTable(log.GetWorld());
    m_tabs = new QTabWidget;
    m_tabs->addTab(record, QString());
    m_tabs->addTab(m_chart, QString());
    m_tabs->addTab(m_table, QString());
    Retranslate();
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] { RefreshStandings(); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_tabs);

    connect(&log, &ChronicleLog::eventsAdded, this, &ChronicleWindow::OnEventsAdded);
    connect(&log, &ChronicleLog::cleared, this, &ChronicleWindow::OnCleared);
    connect(&log, &ChronicleLog::reworded, m_model, &ChronicleModel::Reword);
    resize(QSize(520, 440) * platform::WindowScale()); // its text follows the zoom too
}

void ChronicleWindow::Retranslate()
{
    setWindowTitle(Captions::Window());
    m_filter->setItemText(0, Captions::FilterAll());
    m_filter->setItemText(1, Captions::FilterWar());
    m_filter->setItemText(2, Captions::FilterMine());
    m_tabs->setTabText(0, Captions::RecordTab());
    m_tabs->setTabText(1, Captions::ChartTab());
    m_tabs->setTabText(2, Captions::StandingsTab());
}

void ChronicleWindow::changeEvent(QEvent* event)
{
    // The chart and the table are told by Qt themselves; the list's rows are worded
    // when they are drawn.
    if (event->type() == QEvent::LanguageChange) {
        Retranslate();
        m_model->Reword();
    }
    QWidget::changeEvent(event);
}

void ChronicleWindow::OnEventsAdded(std::size_t first, std::size_t end)
{
    m_model->OnEventsAdded(first, end);
    m_chart->OnEventsAdded(first, end);
    for (std::size_t i = first; i < end; ++i) {
        const EventKind kind = m_log.At(i).kind;
        if (kind == EventKind::Month || kind == EventKind::Capture || kind == EventKind::Start) {
            RefreshStandings();
            break;
        }
    }
}

void ChronicleWindow::OnCleared()
{
    m_model->OnCleared();
    m_chart->OnCleared();
    RefreshStandings();
}

bool ChronicleWindow::PlayerTurnAt(int row, int& year, int& month, int& country) const
{
    const long long index = row >= 0 && row < m_model->rowCount() ? m_model->EventAt(row) : -1;
    if (index < 0)
        return false;
    const GameEvent& e = m_log.At(static_cast<std::size_t>(index));
    if ((e.kind != EventKind::Command && e.kind != EventKind::Move && e.kind != EventKind::Battle) ||
        !m_log.GetWorld().IsPlayer(e.ruler))
        return false;
    year = e.year;
    month = e.month;
    country = e.country;
    return true;
}

void ChronicleWindow::ShowRowMenu(int row, const QPoint& globalPos)
{
    int year = 0;
    int month = 0;
    int country = 0;
    QMenu menu(this);
    QAction* resume = menu.addAction(tr("この時点から再開"));
    resume->setEnabled(PlayerTurnAt(row, year, month, country));
    if (menu.exec(globalPos) == resume && resume->isEnabled())
        emit resumeRequested(year, month, country);
}

void ChronicleWindow::RefreshStandings()
{
    if (isVisible() && m_tabs->currentWidget() == m_table)
        m_table->Refresh();
}

void ChronicleWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    RefreshStandings();
    emit visibilityChanged(true);
}

void ChronicleWindow::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit visibilityChanged(false);
}
