// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/difficulty_menu.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>

#include "app/main_frame.h"
#include "platform/settings.h"
#include "view/windows/game_summary_wnd.h"
#include "view/map/hand_over_notice.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

DifficultyMenu::DifficultyMenu(CMainFrame& frame, CKivView& view) : QObject(&frame), m_frame(frame), m_view(view)
{
    m_menu = new QMenu(&frame);
    frame.FileMenu()->insertMenu(frame.FileMenuTail(), m_menu);
    auto* group = new QActionGroup(this);
    const int chosen = platform::settings::NewGameDifficulty();
    static_assert(platform::settings::kDifficultyLevelCount == kDifficultyLevels);
    for (int i = 0; i < kDifficultyLevels; ++i) {
        QAction* action = m_menu->addAction(QString());
        action->setCheckable(true);
        action->setChecked(i == chosen);
        group->addAction(action);
        m_actions[static_cast<std::size_t>(i)] = action;
        connect(action, &QAction::triggered, this, [this, i] {
            platform::settings::SetNewGameDifficulty(i);
            m_view.Game().SetNewGameDifficulty(static_cast<Difficulty>(i));
        });
    }
    view.Game().SetNewGameDifficulty(static_cast<Difficulty>(chosen));
    connect(&view.Game(), &GameController::worldReplaced, this, [this] { ShowInTitle(); });
    connect(&view.Files(), &GameFiles::randomSeedChanged, this, [this] { ShowInTitle(); });
    // Whose turn it is, when several people play.
    connect(&view.Game(), &GameController::playerTurnReached, this, [this] { ShowInTitle(); });
    connect(&view.Game(), &GameController::phaseChanged, this, [this] { ShowInTitle(); });
    connect(&view.Game(), &GameController::watchPausedChanged, this, [this] { ShowInTitle(); });
    frame.installEventFilter(this);
    Retranslate();
}

QAction* DifficultyMenu::MenuAction() const { return m_menu->menuAction(); }

void DifficultyMenu::Retranslate()
{
    m_menu->setTitle(tr("難易度(&D)"));
    for (int i = 0; i < kDifficultyLevels; ++i)
        m_actions[static_cast<std::size_t>(i)]->setText(summary::DifficultyName(static_cast<Difficulty>(i)));
    ShowInTitle();
}

void DifficultyMenu::ShowInTitle()
{
    // The computers' level; their levels when they play at several.
    const GameState& world = m_view.GetWorld();
    const std::uint8_t levels = summary::ComputerLevels(world);
    const bool several = (levels & (levels - 1)) != 0;
    const Difficulty level = levels == 0 ? world.difficulty : LowestLevel(levels);
    QString title = !several && level == Difficulty::Normal
                        ? QStringLiteral("Velcor")
                        : QStringLiteral("Velcor - %1").arg(summary::LevelsName(level, several ? levels : 0));
    if (const std::optional<std::uint32_t> seed = m_view.Files().RandomSeed())
        title += QStringLiteral(" - ") + tr("乱世 (種 %1)").arg(*seed);
    if (const RulerId person = TurnPerson(m_view.GetWorld(), m_view.Game().Session().TurnRuler()))
        title += QStringLiteral(" - ") + tr("%1の番").arg(shown::RulerName(person));
    // A game nobody plays says so, and whether it is paused.
    const GameController& game = m_view.Game();
    if (Players(world).empty() && game.Phase() != TurnPhase::NoGame && !game.Session().Ended())
        title += QStringLiteral(" - ") + (game.WatchPaused() ? tr("観戦中 (一時停止)") : tr("観戦中"));
    m_frame.setWindowTitle(title);
}

bool DifficultyMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
