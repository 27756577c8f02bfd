// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/game_summary_wnd.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "dialogs/scenario_dlg.h"
#include "rules/commands.h"
#include "words/event_words.h"
#include "view/windows/holdings_chart.h"
#include "words/shown_text.h"

namespace summary {

QString DifficultyName(Difficulty difficulty)
{
    switch (difficulty) {
    case Difficulty::Easy:
        return QCoreApplication::translate("summary", "易しい");
    case Difficulty::Normal:
        break;
    case Difficulty::Hard:
        return QCoreApplication::translate("summary", "難しい");
    case Difficulty::Master:
        return QCoreApplication::translate("summary", "達人");
    }
    return QCoreApplication::translate("summary", "普通");
}

QString LevelsName(Difficulty difficulty, std::uint8_t levels)
{
    if (levels == 0)
        return DifficultyName(difficulty);
    QStringList names;
    for (int level = 0; level < kDifficultyLevels; ++level)
        if (levels & LevelBit(static_cast<Difficulty>(level)))
            names << DifficultyName(static_cast<Difficulty>(level));
    return names.join(QCoreApplication::translate("summary", "・"));
}

std::uint8_t ComputerLevels(const GameState& world, const std::array<std::int8_t, kRulerCount>* held)
{
    std::array<bool, kRulerCount> holds{};
    if (held) {
        for (RulerId r = 1; r < kRulerCount; ++r)
            holds[static_cast<std::size_t>(r)] = (*held)[static_cast<std::size_t>(r)] > 0;
    } else {
        for (const Country& c : world.countries)
            if (GameState::IsRulerId(c.GetRuler()))
                holds[static_cast<std::size_t>(c.GetRuler())] = true;
    }
    std::uint8_t levels = 0;
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (holds[static_cast<std::size_t>(r)] && !world.IsPlayer(r))
            levels |= LevelBit(world.LevelOf(r));
    return levels;
}

QString EndName(GameEnd end)
{
    switch (end) {
    case GameEnd::Unified:
        return shown::Text(kUnified);
    case GameEnd::Defeated:
        return shown::Text(kGameOverMessage);
    case GameEnd::Playing:
        break;
    }
    return QCoreApplication::translate("summary", "ゲーム途中");
}

QString YearMonth(std::int32_t year, std::int32_t month) { return chronicle::MonthHeading(year, month); }

QString ScenarioName(std::int32_t year)
{
    if (year == 0)
        return QCoreApplication::translate("summary", "不明");
    const QString caption = CScenarioDlg::CaptionOfYear(year).simplified();
    return caption.isEmpty() ? QCoreApplication::translate("summary", "%1年").arg(year) : caption;
}

} // namespace summary

GameSummaryWindow::GameSummaryWindow(const GameSummary& summary, int rank, QWidget* parent, Kind kind)
    : QDialog(parent), m_figures(summary.Figures()), m_score(summary.Score()), m_rank(rank), m_kind(kind)
{
    setObjectName(QStringLiteral("gameSummary"));
    auto* layout = new QVBoxLayout(this);
    m_banner = new QLabel(this);
    QFont big = m_banner->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    m_banner->setFont(big);
    m_banner->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_banner);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    auto* chart = new HoldingsChart(summary.History(), this);
    // Large where the screen has room; smaller on a short screen, where the window is
    // made smaller to stay on it.
    chart->setMinimumSize(360, 200);
    layout->addWidget(chart, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Retranslate();
}

QSize GameSummaryWindow::sizeHint() const
{
    // The chart at 720 x 460 beneath the figures, where the screen has room.
    return QDialog::sizeHint().expandedTo(QSize(720, 460 + m_form->sizeHint().height()));
}

void GameSummaryWindow::SetRandomSeed(std::optional<std::uint32_t> seed)
{
    m_seed = seed;
    Retranslate();
}

void GameSummaryWindow::Retranslate()
{
    const GameFigures& f = m_figures;
    const QLocale locale;
    const bool watched = m_kind == Kind::Watched;
    setWindowTitle(watched ? tr("戦績 (観戦)") : tr("戦績"));
    m_banner->setText(summary::EndName(f.end));
    while (m_form->rowCount() > 0)
        m_form->removeRow(0);
    auto row = [this](const QString& label, const QString& value) {
        auto* shown = new QLabel(value, this);
        shown->setTextFormat(Qt::PlainText);
        m_form->addRow(label, shown);
    };
    row(tr("シナリオ"), m_seed ? tr("乱世 (種 %1)").arg(*m_seed) : summary::ScenarioName(f.startYear));
    row(tr("君主"), shown::RulerName(f.ruler));
    row(tr("難易度"), summary::LevelsName(f.difficulty, f.levels));
    const QString until = summary::YearMonth(f.endYear, f.endMonth);
    // The months counted: one month, or several, in the English game.
    row(tr("期間"), f.startYear == 0 ? tr("%1まで (%2か月)", nullptr, f.months).arg(until).arg(f.months)
                                     : tr("%1から%2まで (%3か月)", nullptr, f.months)
                                           .arg(summary::YearMonth(f.startYear, f.startMonth), until)
                                           .arg(f.months));
    row(tr("攻撃"), tr("%1勝 %2敗").arg(f.attacksWon).arg(f.attacksLost));
    row(tr("防衛"), tr("%1勝 %2敗").arg(f.defencesWon).arg(f.defencesLost));
    row(tr("奪った国"), tr("%1か国").arg(f.countriesTaken));
    row(tr("失った国"), tr("%1か国").arg(f.countriesLost));
    row(tr("最大勢力"), f.mostHeld == 0 ? tr("%1か国").arg(0)
                                        : tr("%1か国 (%2)").arg(f.mostHeld).arg(summary::YearMonth(f.mostYear, f.mostMonth)));
    if (watched)
        return; // nobody played it: nobody scored
    const QString score = locale.toString(static_cast<qlonglong>(m_score));
    row(tr("得点"), m_rank >= 0 ? tr("%1 (記録 %2位)").arg(score).arg(m_rank + 1) : score);
}

QStringList GameSummaryWindow::Lines() const
{
    QStringList lines;
    for (int i = 0; i < m_form->rowCount(); ++i) {
        const auto* label = qobject_cast<QLabel*>(m_form->itemAt(i, QFormLayout::LabelRole)->widget());
        const auto* value = qobject_cast<QLabel*>(m_form->itemAt(i, QFormLayout::FieldRole)->widget());
        lines << (label ? label->text() : QString()) + QLatin1Char('\t') + (value ? value->text() : QString());
    }
    return lines;
}

void GameSummaryWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QDialog::changeEvent(event);
}
