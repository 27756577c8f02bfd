// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/best_games_wnd.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <set>

#include "platform/windows.h"
#include "view/windows/game_summary_wnd.h"
#include "words/shown_text.h"

namespace {
constexpr int kColumns = 7;
}

BestGamesWindow::BestGamesWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("bestGames"));
    auto* layout = new QVBoxLayout(this);
    m_scenario = new QComboBox(this);
    layout->addWidget(m_scenario);
    m_table = new QTableWidget(0, kColumns, this);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_watch = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_watch->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_scenario, &QComboBox::currentIndexChanged, this, &BestGamesWindow::Fill);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &BestGamesWindow::UpdateWatch);
    connect(m_watch, &QPushButton::clicked, this, [this] {
        const int row = m_table->currentRow();
        if (row >= 0 && row < static_cast<int>(m_shown.size()) && !m_shown[static_cast<std::size_t>(row)].recordFile.empty())
            emit watchRequested(QString::fromStdString(m_shown[static_cast<std::size_t>(row)].recordFile));
    });
    resize(820, 440);
    Retranslate();
}

void BestGamesWindow::SetGames(const BestGames& games)
{
    m_games = games;
    const QVariant chosen = m_scenario->currentData();
    std::set<std::int32_t> years;
    for (const BestGame& g : games.Entries())
        years.insert(g.scenario);
    const QSignalBlocker block(m_scenario);
    m_scenario->clear();
    for (std::int32_t year : years)
        m_scenario->addItem(summary::ScenarioName(year), year);
    const int index = m_scenario->findData(chosen);
    m_scenario->setCurrentIndex(index >= 0 ? index : 0);
    Fill();
}

void BestGamesWindow::Fill()
{
    m_shown = m_scenario->count() > 0 ? m_games.OfScenario(m_scenario->currentData().toInt()) : std::vector<BestGame>();
    m_table->setRowCount(static_cast<int>(m_shown.size()));
    const QLocale locale;
    for (int row = 0; row < static_cast<int>(m_shown.size()); ++row) {
        const BestGame& g = m_shown[static_cast<std::size_t>(row)];
        const QString texts[kColumns] = {
            locale.toString(row + 1),
            locale.toString(QDateTime::fromSecsSinceEpoch(g.endedAt), QLocale::ShortFormat),
            shown::RulerName(g.ruler),
            summary::LevelsName(g.difficulty, g.levels),
            locale.toString(g.months),
            g.end == GameEnd::Unified ? tr("統一") : g.end == GameEnd::Defeated ? tr("敗北") : tr("途中"),
            locale.toString(static_cast<qlonglong>(g.score)),
        };
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column == 0 || column == 4 || column == 6)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    // Every column whole, the score last among them, where the screen allows: the
    // window is never narrower than its table. The columns as their contents ask, the
    // last too (stretched to the window's width afterwards).
    const QMargins margins = layout()->contentsMargins();
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->resizeColumnsToContents();
    const int columns = m_table->horizontalHeader()->length();
    m_table->horizontalHeader()->setStretchLastSection(true);
    const int wanted = columns + 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width() +
                       margins.left() + margins.right();
    setMinimumWidth(qMin(wanted, platform::AvailableArea(this).width()));
    if (width() < minimumWidth())
        resize(minimumWidth(), height());
    UpdateWatch();
}

void BestGamesWindow::UpdateWatch()
{
    // A game is watched again from its record; without one there is nothing to watch.
    const int row = m_table->currentRow();
    m_watch->setEnabled(row >= 0 && row < static_cast<int>(m_shown.size()) &&
                        !m_shown[static_cast<std::size_t>(row)].recordFile.empty());
}

void BestGamesWindow::Retranslate()
{
    setWindowTitle(tr("記録"));
    m_table->setHorizontalHeaderLabels(
        {tr("順位"), tr("日付"), tr("君主"), tr("難易度"), tr("月数"), tr("結果"), tr("得点")});
    m_watch->setText(tr("もう一度見る"));
    if (m_scenario->count() > 0)
        SetGames(m_games);
}

void BestGamesWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QDialog::changeEvent(event);
}
