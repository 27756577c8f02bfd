// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/editor/fairness_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <system_error>

#include "words/shown_text.h"

namespace editor {

namespace {

enum Column { RulerColumn, WarColumn, AliveColumn, MedianColumn, CaptureColumn, AdvisedAliveColumn,
              AdvisedMedianColumn, ColumnCount };

const QColor kMissedFace(255, 205, 205);
const QColor kMissedText(160, 0, 0);

QString Percent(int permille) { return QLocale().toString(permille / 10.0, 'f', 1) + QStringLiteral("%"); }

QTableWidgetItem* Cell(const QString& text, bool missed, bool stale)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignCenter);
    if (missed) {
        item->setBackground(kMissedFace);
        item->setForeground(kMissedText);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    if (stale)
        item->setForeground(Qt::gray);
    return item;
}

} // namespace

JobReaper::~JobReaper()
{
    for (std::future<void>& going : m_going)
        going.wait();
}

void JobReaper::Let(std::unique_ptr<foresight::FairnessJob> job)
{
    if (!job)
        return;
    job->Cancel();
    std::erase_if(m_going, [](const std::future<void>& going) {
        return going.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    });
    std::shared_ptr<foresight::FairnessJob> held(std::move(job));
    try {
        m_going.push_back(std::async(std::launch::async, [held]() mutable { held.reset(); }));
    } catch (const std::system_error&) {
        // No thread to be had: the job goes here, cancelled.
    }
}

FairnessPanel::FairnessPanel(QWidget* parent) : QWidget(parent), m_reaper(std::make_unique<JobReaper>())
{
    setObjectName(QStringLiteral("fairnessPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_heading = new QLabel(this);
    m_heading->setWordWrap(true);
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("fairnessTable"));
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("fairnessVerdict"));
    m_verdict->setWordWrap(true);
    m_legend = new QLabel(this);
    m_legend->setWordWrap(true);
    auto* progressRow = new QHBoxLayout;
    m_progressText = new QLabel(this);
    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);
    progressRow->addWidget(m_progressText, 1);
    progressRow->addWidget(m_progress, 1);
    m_advised = new QCheckBox(this);
    m_advised->setObjectName(QStringLiteral("advisedColumns"));
    layout->addWidget(m_heading);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_verdict);
    layout->addLayout(progressRow);
    layout->addWidget(m_advised);
    layout->addWidget(m_legend);

    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] { StartJob(false); });
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &FairnessPanel::Poll);
    connect(m_advised, &QCheckBox::toggled, this, [this](bool on) {
        if (on && m_current && m_table && m_table->advisedGames == 0) {
            StartJob(true); // the resting games are measured: only the advised ones are wanted
        } else if (!on && m_jobAdvised && m_job) {
            m_reaper->Let(std::move(m_job));
            m_poll.stop();
            Poll();
        }
        Fill();
    });
    Retranslate();
}

FairnessPanel::~FairnessPanel()
{
    m_quiet.stop();
    m_poll.stop();
    m_reaper->Let(std::move(m_job));
    m_reaper.reset(); // every job has ended
}

void FairnessPanel::SetAdvised(bool on) { m_advised->setChecked(on); }

bool FairnessPanel::Advised() const { return m_advised->isChecked(); }

void FairnessPanel::Measure(const ScenarioPair& pair)
{
    m_pair = pair;
    m_current = false;
    m_reaper->Let(std::move(m_job));
    m_sinceChange.start();
    m_quiet.start();
    m_poll.start();
    Poll();
    Fill();
}

void FairnessPanel::StartJob(bool advised)
{
    m_reaper->Let(std::move(m_job));
    foresight::FairnessOptions options;
    if (advised)
        options.advisedGames = foresight::kAdvisedGames;
    m_jobAdvised = advised;
    m_job = std::make_unique<foresight::FairnessJob>(m_pair, options);
    // The job only sets its flags; the panel's timer sees it finished (nothing of Qt is
    // called from the job's thread).
    const bool started = m_job->Start({});
    if (!started) {
        // No thread to be had: the resting games are measured here, the editor waiting
        // this once (a fraction of a second); the advised ones are not.
        options.threads = 1;
        options.advisedGames = 0;
        m_jobAdvised = false;
        m_job.reset();
        m_table = foresight::MeasureFairness(m_pair, options);
        m_current = true;
        m_refreshMs = m_sinceChange.elapsed();
        m_poll.stop();
        Poll();
        Fill();
        emit refreshed();
        return;
    }
    m_poll.start();
    Poll();
}

void FairnessPanel::OnJobFinished()
{
    if (!m_job)
        return;
    std::optional<foresight::FairnessTable> table = m_job->Result();
    const bool advised = m_jobAdvised;
    m_reaper->Let(std::move(m_job));
    if (!table)
        return;
    m_table = std::move(table);
    if (!advised) {
        m_current = true;
        m_refreshMs = m_sinceChange.elapsed();
    }
    if (!advised && Advised())
        StartJob(true);
    else
        m_poll.stop();
    Poll();
    Fill();
    emit refreshed();
}

bool FairnessPanel::Current() const
{
    return m_current && (!Advised() || (m_table && m_table->advisedGames > 0));
}

void FairnessPanel::Poll()
{
    if (m_job && m_job->Finished()) {
        OnJobFinished();
        return;
    }
    const int total = m_job ? m_job->GamesTotal() : 0;
    const int done = m_job ? m_job->GamesDone() : 0;
    const bool working = m_job || m_quiet.isActive();
    m_progress->setVisible(working);
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(std::min(done, std::max(total, 1)));
    if (working)
        m_progressText->setText(m_job && m_jobAdvised ? tr("助言した場合を計測中... %1 / %2 試合").arg(done).arg(total)
                                                      : tr("計測中... %1 / %2 試合").arg(done).arg(total));
    else if (m_refreshMs >= 0)
        m_progressText->setText(tr("変更から %1 秒で計測しました").arg(QLocale().toString(m_refreshMs / 1000.0, 'f', 2)));
    else
        m_progressText->clear();
}

void FairnessPanel::Fill()
{
    using namespace foresight;
    const bool advisedShown = Advised();
    m_grid->setColumnHidden(AdvisedAliveColumn, !advisedShown);
    m_grid->setColumnHidden(AdvisedMedianColumn, !advisedShown);
    if (!m_table) {
        m_grid->setRowCount(0);
        m_verdict->clear();
        return;
    }
    // Greyed while a newer pair is measured: the figures are the last change's but one.
    const bool stale = !m_current;
    const FairnessTable& table = *m_table;
    const int rows = static_cast<int>(table.rows.size());
    m_grid->setRowCount(rows + 1);
    const QString waiting = QStringLiteral("...");
    for (int r = 0; r < rows; ++r) {
        const RulerFairness& row = table.rows[static_cast<std::size_t>(r)];
        m_grid->setItem(r, RulerColumn, Cell(shown::RulerName(row.ruler), false, stale));
        m_grid->setItem(r, WarColumn, Cell(row.warAtStart ? tr("○") : tr("×"), !row.warAtStart, stale));
        m_grid->setItem(r, AliveColumn, Cell(Percent(row.resting.alivePermille), !row.AliveMet(), stale));
        m_grid->setItem(r, MedianColumn, Cell(QString::number(row.resting.median), false, stale));
        m_grid->setItem(r, CaptureColumn, Cell(Percent(row.capturePermille), false, stale));
        m_grid->setItem(r, AdvisedAliveColumn,
                        Cell(row.advised ? Percent(row.advised->alivePermille) : waiting, false, stale));
        m_grid->setItem(r, AdvisedMedianColumn,
                        Cell(row.advised ? QString::number(row.advised->median) : waiting, false, stale));
    }
    m_grid->setItem(rows, RulerColumn, Cell(tr("全体"), false, stale));
    for (int c = WarColumn; c < ColumnCount; ++c)
        m_grid->setItem(rows, c, Cell(QString(), false, stale));
    m_grid->setItem(rows, CaptureColumn, Cell(Percent(table.capturePermille), !table.CaptureMet(), stale));
    // As wide as its columns: the map beside it gives way, the figures are never hidden.
    QHeaderView* header = m_grid->horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    m_grid->setMinimumWidth(header->length() + 2 * m_grid->frameWidth() +
                            m_grid->verticalScrollBar()->sizeHint().width());

    const int missing = static_cast<int>(
        std::count_if(table.rows.begin(), table.rows.end(), [](const RulerFairness& r) { return !r.Fair(); }));
    QString verdict;
    if (table.rows.empty())
        verdict = tr("選べる君主がいません");
    else if (table.Fair())
        verdict = tr("公平です: すべての目標に届いています");
    else if (missing == 0)
        verdict = tr("公平ではありません: %1か月以内に国が奪われる試合が足りません").arg(kCaptureMonths);
    else
        verdict = tr("公平ではありません: 目標に届かない君主 %1 人").arg(missing);
    m_verdict->setText(verdict);
    m_verdict->setEnabled(!stale);
}

void FairnessPanel::Retranslate()
{
    using namespace foresight;
    m_heading->setText(tr("公平さ: 選べる君主ごとに、休み続けた %1 試合の %2 か月").arg(kFairnessGames).arg(kAliveMonths));
    m_grid->setHorizontalHeaderLabels({
        tr("君主"),
        tr("初手で\n開戦"),
        tr("生存\n(%1か月)").arg(kAliveMonths),
        tr("月数\n(中央値)"),
        tr("占領\n(%1か月)").arg(kCaptureMonths),
        tr("助言\n生存"),
        tr("助言\n月数"),
    });
    m_legend->setText(tr("赤は目標に届かないもの: 初手で開戦できる、%1か月後の生存 %2 以上、全体で %3か月以内の占領 %4 以上。"
                         "助言は、毎ﾀｰﾝ助言の一位の命令を出した %5 試合。")
                          .arg(kAliveMonths)
                          .arg(Percent(kAliveTargetPermille))
                          .arg(kCaptureMonths)
                          .arg(Percent(kCaptureTargetPermille))
                          .arg(kAdvisedGames));
    m_advised->setText(tr("助言した場合も計る(&A) (遅い)"));
    Fill();
    Poll();
}

void FairnessPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

} // namespace editor
