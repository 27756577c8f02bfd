// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hot_seat.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/main_frame.h"
#include "control/game_controller.h"
#include "platform/settings.h"
#include "view/commands/command_table.h"
#include "view/map/game_document.h"
#include "view/map/hand_over_notice.h"
#include "view/map/kiv_view.h"
#include "view/map/map_picture.h"
#include "words/shown_text.h"

HotSeat::HotSeat(CMainFrame& frame, CKivView& view)
    : QObject(&frame), m_frame(frame), m_view(view), m_notice(new HandOverNotice(&view))
{
    m_oneKey = frame.ViewMenu()->addAction(QString());
    m_oneKey->setCheckable(true);
    m_oneKey->setChecked(platform::settings::OneKeyTurn());
    view.Game().SetOneKeyTurn(m_oneKey->isChecked());
    connect(m_oneKey, &QAction::triggered, this, &HotSeat::ChooseOneKeyTurn);
    GameController& game = view.Game();
    m_restRemaining = frame.ViewMenu()->addAction(QString());
    m_restRemaining->setShortcut(CommandTable::RestRemainingKey());
    m_restRemaining->setEnabled(false);
    connect(m_restRemaining, &QAction::triggered, &game, &GameController::RestRemaining);
    connect(&game, &GameController::phaseChanged, this,
            [this] { m_restRemaining->setEnabled(m_view.Game().CanRestRemaining()); });
    connect(&game, &GameController::handOver, this, &HotSeat::OnHandOver);
    connect(&game, &GameController::playerTurnReached, this, &HotSeat::OnPlayerTurn);
    connect(&game, &GameController::worldReplaced, this, [this] { m_notice->Dismiss(); });
    frame.installEventFilter(this);
    Retranslate();
}

void HotSeat::ChooseOneKeyTurn(bool on)
{
    m_oneKey->setChecked(on);
    platform::settings::SetOneKeyTurn(on);
    m_view.Game().SetOneKeyTurn(on);
}

bool HotSeat::Watched() const
{
    return m_view.Game().Phase() == TurnPhase::Watching && !(m_watching && m_watching());
}

void HotSeat::OnHandOver(RulerId next)
{
    // A record played back is handed over by nobody.
    if (!(m_watching && m_watching()))
        m_notice->Show(next, shown::RulerName(next), m_view.GetDocument().Map().Portrait(next));
}

void HotSeat::OnPlayerTurn()
{
    const GameController& game = m_view.Game();
    if (Watched()) {
        // The first month watched says how it is paused.
        if (!m_watchMenu || !m_watchMenu->menuAction()->isVisible())
            m_view.ShowNotice(tr("観戦中: %1 で一時停止").arg(CommandTable::PauseKey().toString(QKeySequence::NativeText)),
                              kWatchNoticeMs);
        MakeWatchMenu();
        UpdateWatchMenu();
    }
    // A notice left from a turn that is no person's any more (a game gone back, ended).
    if (game.Phase() != TurnPhase::AwaitingCommand || game.Session().TurnRuler() != m_notice->Ruler())
        m_notice->Dismiss();
}

void HotSeat::SetPaused(bool paused)
{
    const bool changed = paused != m_view.Game().WatchPaused();
    m_view.Game().SetWatchPaused(paused);
    if (m_pause && m_pause->isChecked() != paused)
        m_pause->setChecked(paused);
    UpdateWatchMenu();
    // The status line says so while the game stands still; the next month's words
    // replace it.
    if (changed && paused && Watched())
        m_view.ShowNotice(PausedText(), kPausedNoticeMs);
}

QString HotSeat::PausedText()
{
    return tr("一時停止中: %1 で続ける、%2 で1か月進める")
        .arg(CommandTable::PauseKey().toString(QKeySequence::NativeText),
             CommandTable::StepKey().toString(QKeySequence::NativeText));
}

void HotSeat::StepMonth()
{
    m_view.Game().StepWatch();
    UpdateWatchMenu();
}

void HotSeat::MakeWatchMenu()
{
    if (m_watchMenu)
        return;
    m_watchMenu = new QMenu(&m_frame);
    m_frame.menuBar()->insertMenu(m_frame.ViewMenu()->menuAction(), m_watchMenu);
    m_watchMenu->installEventFilter(this); // a menu is a window of its own: told of a new language
    m_pause = m_watchMenu->addAction(QString());
    m_pause->setCheckable(true);
    m_pause->setShortcut(CommandTable::PauseKey());
    connect(m_pause, &QAction::toggled, this, &HotSeat::SetPaused);
    m_step = m_watchMenu->addAction(QString());
    m_step->setShortcut(CommandTable::StepKey());
    connect(m_step, &QAction::triggered, this, &HotSeat::StepMonth);
    connect(&m_view.Game(), &GameController::phaseChanged, this, &HotSeat::UpdateWatchMenu);
    m_frame.OnMenusMade();
    Retranslate();
}

void HotSeat::UpdateWatchMenu()
{
    if (!m_watchMenu)
        return;
    const bool watching = Players(m_view.GetWorld()).empty() && m_view.Game().Turn().InGame() &&
                          !(m_watching && m_watching());
    m_watchMenu->menuAction()->setVisible(watching);
    m_pause->setEnabled(watching);
    m_step->setEnabled(watching && m_view.Game().WatchPaused());
}

void HotSeat::Retranslate()
{
    m_oneKey->setText(tr("自動休養(&E)"));
    m_restRemaining->setText(tr("残りを休養(&Y)"));
    if (!m_watchMenu)
        return;
    m_watchMenu->setTitle(tr("観戦(&W)"));
    m_pause->setText(tr("一時停止(&P)"));
    m_step->setText(tr("1か月進める(&T)"));
}

bool HotSeat::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == &m_frame || (m_watchMenu && watched == m_watchMenu)) && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
