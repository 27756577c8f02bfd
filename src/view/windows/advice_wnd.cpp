// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/advice_wnd.h"

#include <algorithm>
#include <variant>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QTextLayout>
#include <QMenu>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "foresight/policy.h"
#include "platform/window_scale.h"
#include "conduct/turn_description.h"
#include "view/commands/command_table.h"
#include "view/commands/foresight_words.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

namespace {
// text broken into lines no wider than width, each as long as fits, where the language
// allows a break (at a space, or between two Japanese characters); its own line breaks
// kept.
QString BrokenToWidth(const QString& text, const QFont& font, int width)
{
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
    }
    return lines.join(QLatin1Char('\n'));
}

// The player's turn, his command still to give or a target being chosen for it, as the
// turn's description says.
bool AtPlayersTurn(const TurnDescription& turn)
{
    const ViewMode mode = ViewModeOf(turn);
    return mode == ViewMode::PlayerTurn || mode == ViewMode::ChooseMoveTarget || mode == ViewMode::ChooseAttackTarget;
}
} // namespace

AdviceWindow::AdviceWindow(CKivView& view, QWidget* parent) : QWidget(parent, Qt::Tool), m_view(view)
{
    setObjectName(QStringLiteral("adviceWindow"));
    auto* layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setColumnCount(kColumns);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->header()->setStretchLastSection(false);
    m_heading->setWordWrap(true); // a long heading never widens the window
    m_scale = new QLabel(this);
    m_scale->setObjectName(QStringLiteral("adviceScale"));
    m_scale->setWordWrap(true);
    layout->addWidget(m_heading);
    layout->addWidget(m_list);
    layout->addWidget(m_scale);
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &AdviceWindow::Poll);
    connect(&view.Game(), &GameController::turnDescribed, this, &AdviceWindow::OnCommandState);
    // Open, it follows the game: each of the player's turns is advised in its turn,
    // and the keys stay on the map.
    connect(&view.Game(), &GameController::playerTurnReached, this, [this] {
        if (isVisible())
            Follow();
    });
    Retranslate();
}

AdviceWindow::~AdviceWindow() = default; // the advisor cancels and waits for its threads

void AdviceWindow::Ask()
{
    Follow();
    if (!isVisible()) {
        // Its text grows with the zoom; the window grows less, to stay clear of the
        // panel beside the map.
        const qreal grown = platform::WindowScale() - 1;
        resize(qRound(660 + 110 * grown), qRound(360 + 240 * grown));
        m_view.PlaceToolWindow(this);
    }
    show();
    raise();
    activateWindow();
}

void AdviceWindow::Follow()
{
    Stop();
    const GameState& world = m_view.GetWorld();
    m_country = AtPlayersTurn(m_view.Game().Turn()) ? world.turnCountry.Get() : -1;
    m_ranking.clear();
    m_trials = 0;
    if (m_country >= 0) {
        foresight::AdviceOptions options;
        options.rollouts = kWindowRollouts;
        m_advisor = std::make_unique<foresight::Advisor>(world, options);
        m_ranking = m_advisor->Snapshot();
        m_advisor->Start();
        m_timer.start();
    }
    ShowRule();
    Fill();
}

void AdviceWindow::ShowRule()
{
    // The penalty is the realm's that asks (lighter for a great one).
    const QString rule = tr("評価 = 各月の平均国数 − %1 × 国を失った試行の割合\n"
                            "評価の高い順。同点は終わりの兵力 (兵士×訓練) の大きい順、それも同じなら一覧の順")
                             .arg(QLocale().toString(m_advisor ? m_advisor->RiskPenalty() : foresight::kRiskPenalty, 'g', 3));
    m_list->headerItem()->setToolTip(0, rule);
    m_list->headerItem()->setToolTip(1, rule);
}

void AdviceWindow::Stop()
{
    m_timer.stop();
    m_advisor.reset();
}

void AdviceWindow::Poll()
{
    if (!m_advisor)
        return;
    const int done = m_advisor->TrialsDone();
    const bool finished = m_advisor->Finished();
    if (done != m_trials) {
        m_trials = done;
        m_ranking = m_advisor->Snapshot();
        if (!m_ranking.empty() && m_ranking.front().trials > 0)
            if (const CommandEntry* entry = foresight_words::EntryOf(m_ranking.front().command))
                m_view.SetAdvice(entry->command,
                                 foresight_words::AdviceReason(m_view.GetWorld(), m_ranking, 0, Horizon()));
        Fill();
    }
    if (finished) {
        m_timer.stop();
        Fill();
    }
}

void AdviceWindow::OnCommandState()
{
    if (m_country < 0)
        return;
    const bool sameTurn = m_view.GetWorld().turnCountry == m_country && AtPlayersTurn(m_view.Game().Turn());
    if (sameTurn)
        return;
    Stop();
    m_country = -1;
    m_ranking.clear(); // a list for a turn that is over is no advice
    Fill();
}

void AdviceWindow::Fill()
{
    const GameState& world = m_view.GetWorld();
    if (m_country < 0 || !GameState::IsCountryIndex(m_country))
        m_heading->setText(tr("助言できるのは自国の番だけです"));
    else if (m_ranking.empty())
        m_heading->setText(tr("%1 %2: 出せる命令がありません").arg(m_country).arg(shown::CountryName(world, m_country)));
    else
        m_heading->setText(tr("%1 %2 の番: 各命令を %3 か月先まで %4 / %5 回試しました%6")
                               .arg(m_country)
                               .arg(shown::CountryName(world, m_country))
                               .arg(Horizon())
                               .arg(m_trials)
                               .arg(kWindowRollouts)
                               .arg(Working() ? tr(" (考え中)") : QString()));
    m_list->clear();
    // The command's column: what the list is wide less the figures' columns.
    const int commandWidth = m_list->viewport()->width() - m_list->header()->sectionSize(1) -
                             m_list->header()->sectionSize(2) - 2 * m_list->indentation();
    bool warAdvised = false;
    for (std::size_t i = 0; i < m_ranking.size(); ++i) {
        const foresight::AdvisedCommand& a = m_ranking[i];
        warAdvised = warAdvised || std::holds_alternative<command::War>(a.command);
        auto* item = new QTreeWidgetItem(m_list);
        // Whole, a move's amounts on a line of their own where the column is short.
        item->setText(0, BrokenToWidth(foresight_words::CommandText(world, a.command), m_list->font(),
                                       std::max(commandWidth, 1)));
        item->setText(1, foresight_words::ScoreText(a));
        item->setText(2, QString::number(a.trials));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        // Why it ranks there, on a line of its own beneath the command.
        if (a.trials > 0) {
            auto* why = new QTreeWidgetItem(item);
            // Whole, on as many lines as the window's width needs.
            const QString reason = foresight_words::AdviceReason(world, m_ranking, i, Horizon());
            const int width = m_list->viewport()->width() - 2 * m_list->indentation();
            why->setText(0, BrokenToWidth(reason, m_list->font(), std::max(width, 1)));
            why->setForeground(0, QColor(96, 96, 96));
            why->setFirstColumnSpanned(true);
        }
    }
    m_list->expandAll();
    if (!m_ranking.empty() && m_ranking.front().trials > 0) {
        QFont bold = m_list->font();
        bold.setBold(true);
        for (int column = 0; column < kColumns; ++column)
            m_list->topLevelItem(0)->setFont(column, bold);
    }
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < kColumns; ++column)
        m_list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);

    // Beneath the list: how a score reads, and why no war is among the commands.
    QStringList notes;
    if (m_country >= 0 && GameState::IsCountryIndex(m_country) && !m_ranking.empty()) {
        const RulerId ruler = world.countries[static_cast<std::size_t>(m_country)].GetRuler();
        notes << foresight_words::ScoreScale(Horizon(), foresight::CountriesOf(world, ruler),
                                             m_advisor ? m_advisor->RiskPenalty() : foresight::kRiskPenalty);
        if (!warAdvised)
            notes << foresight_words::NoWarReason(CommandReasons(world, m_country)[IndexOf(TurnCommand::War)]);
    }
    notes.removeAll(QString());
    m_scale->setText(notes.join(QLatin1Char('\n')));
    m_scale->setVisible(!notes.isEmpty());
}

int AdviceWindow::Horizon() const { return m_advisor ? m_advisor->Options().horizon : foresight::kDefaultHorizon; }

void AdviceWindow::Retranslate()
{
    setWindowTitle(tr("助言"));
    m_list->setHeaderLabels({tr("命令 (その下に理由)"), tr("評価"), tr("試行")});
    ShowRule();
    Fill();
}

void AdviceWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Fill(); // the reasons broken to the new width
}

void AdviceWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(event);
}

void AdviceWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AdviceWindow::closeEvent(QCloseEvent* event)
{
    Stop();
    event->accept();
    QTimer::singleShot(0, &m_view, [view = &m_view] { view->KeysBack(); });
}

namespace {

// The menu command: worded again when the language changes, enabled at a person's turn.
class AdviceCommand : public QObject {
public:
    AdviceCommand(QMenu& menu, CKivView& view, QWidget& parent)
        : QObject(&menu), m_menu(menu), m_view(view), m_parent(parent)
    {
        m_action = menu.addAction(QString());
        m_action->setShortcut(CommandTable::AdviceKey());
        connect(m_action, &QAction::triggered, this, [this] {
            if (!m_window)
                m_window = new AdviceWindow(m_view, &m_parent);
            m_window->Ask();
        });
        connect(&view.Game(), &GameController::turnDescribed, this, &AdviceCommand::Update);
        menu.installEventFilter(this);
        Retranslate();
        Update();
    }
    QAction* Action() const { return m_action; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_menu && event->type() == QEvent::LanguageChange)
            Retranslate();
        return QObject::eventFilter(watched, event);
    }

private:
    void Retranslate() { m_action->setText(QCoreApplication::translate("AdviceWindow", "助言(&A)...")); }
    // Also while a target is chosen: the advice is for the turn, whatever was closed last.
    void Update() { m_action->setEnabled(AtPlayersTurn(m_view.Game().Turn())); }

    QMenu& m_menu;
    CKivView& m_view;
    QWidget& m_parent;
    QAction* m_action = nullptr;
    AdviceWindow* m_window = nullptr;
};

} // namespace

QAction* AddAdviceCommand(QMenu& menu, CKivView& view, QWidget& parent)
{
    return (new AdviceCommand(menu, view, parent))->Action();
}
