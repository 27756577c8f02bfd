// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hot_seat.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "app/main_frame.h"
#include "platform/settings.h"
#include "view/game_document.h"
#include "view/game_speed.h"
#include "view/hand_over_notice.h"
#include "view/kiv_view.h"
#include "view/map_picture.h"
#include "view/shown_text.h"

HotSeat::HotSeat(CMainFrame& frame, CKivView& view)
    : QObject(&frame), m_frame(frame), m_view(view), m_notice(new HandOverNotice(&view))
{
    m_oneKey = frame.ViewMenu()->addAction(QString());
    m_oneKey->setCheckable(true);
    m_oneKey->setChecked(platform::settings::OneKeyTurn());
    connect(m_oneKey, &QAction::triggered, this, &HotSeat::ChooseOneKeyTurn);
    connect(&view, &CKivView::playerTurnReached, this, &HotSeat::OnPlayerTurn);
    connect(&view, &CKivView::commandStateChanged, this, &HotSeat::OnCommandState);
    connect(&view, &CKivView::worldReplaced, this, [this] {
        m_notice->Dismiss();
        m_lastPerson = 0;
        m_monthTimer.stop();
        m_paused = false;
        emit turnPersonChanged();
    });
    m_monthTimer.setSingleShot(true);
    connect(&m_monthTimer, &QTimer::timeout, this, &HotSeat::StepMonth);
    frame.installEventFilter(this);
    Retranslate();
}

void HotSeat::ChooseOneKeyTurn(bool on)
{
    m_oneKey->setChecked(on);
    platform::settings::SetOneKeyTurn(on);
    OnCommandState(); // a command already given this turn ends it now
}

bool HotSeat::Watched() const
{
    return m_view.Session().Phase() == TurnPhase::Watching && !(m_watching && m_watching());
}

void HotSeat::OnPlayerTurn()
{
    GameSession& session = m_view.Session();
    if (Watched()) {
        MakeWatchMenu();
        UpdateWatchMenu();
        if (!m_paused)
            m_monthTimer.start(PacedMilliseconds(m_monthMs, m_view.Speed()));
    }
    const RulerId person = session.Phase() == TurnPhase::AwaitingCommand
                               ? TurnPerson(session.world, session.TurnRuler())
                               : 0;
    if (person == 0) {
        m_notice->Dismiss();
        return;
    }
    if (person != m_lastPerson && !(m_watching && m_watching()))
        m_notice->Show(person, shown::RulerName(person), m_view.GetDocument().Map().Portrait(person));
    m_lastPerson = person;
    emit turnPersonChanged();
}

void HotSeat::OnCommandState()
{
    if (!m_oneKey->isChecked() || m_restQueued || m_view.Session().Phase() != TurnPhase::CommandGiven)
        return;
    // After the command's own windows have closed: the rest, as its button gives it.
    m_restQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_restQueued = false;
        if (m_oneKey->isChecked() && m_view.Session().Phase() == TurnPhase::CommandGiven &&
            m_view.mode == ViewMode::PlayerTurn && m_view.restButton->isEnabled() && !(m_watching && m_watching()))
            m_view.OnRest();
    });
}

void HotSeat::SetPaused(bool paused)
{
    m_paused = paused;
    if (m_pause && m_pause->isChecked() != paused)
        m_pause->setChecked(paused);
    m_monthTimer.stop();
    if (!paused && Watched() && m_view.CanStartGame())
        m_monthTimer.start(PacedMilliseconds(m_monthMs, m_view.Speed()));
    UpdateWatchMenu();
}

void HotSeat::StepMonth()
{
    m_monthTimer.stop();
    // Only between two months: while the computers play one, the next waits.
    if (Watched() && m_view.CanStartGame())
        m_view.OnRest();
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
    m_pause->setShortcut(Qt::Key_Pause);
    connect(m_pause, &QAction::toggled, this, &HotSeat::SetPaused);
    m_step = m_watchMenu->addAction(QString());
    m_step->setShortcut(Qt::Key_Period);
    connect(m_step, &QAction::triggered, this, &HotSeat::StepMonth);
    connect(&m_view, &CKivView::commandStateChanged, this, &HotSeat::UpdateWatchMenu);
    m_frame.OnMenusMade();
    Retranslate();
}

void HotSeat::UpdateWatchMenu()
{
    if (!m_watchMenu)
        return;
    const bool watching = Players(m_view.GetWorld()).empty() && m_view.mode != ViewMode::NoGame &&
                          !(m_watching && m_watching());
    m_watchMenu->menuAction()->setVisible(watching);
    m_pause->setEnabled(watching);
    m_step->setEnabled(watching && m_paused);
}

void HotSeat::Retranslate()
{
    m_oneKey->setText(tr("自動休養(&E)"));
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
