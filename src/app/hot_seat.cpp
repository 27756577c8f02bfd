// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hot_seat.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

#include "app/main_frame.h"
#include "platform/settings.h"
#include "view/game_document.h"
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
        emit turnPersonChanged();
    });
    frame.installEventFilter(this);
    Retranslate();
}

int HotSeat::PersonCount(const GameState& world)
{
    return static_cast<int>(std::count_if(world.seats.begin() + 1, world.seats.end(),
                                          [](const Seat& s) { return s.kind == SeatKind::Person; }));
}

RulerId HotSeat::PersonAtTurn(const GameState& world, RulerId turnRuler)
{
    if (turnRuler <= 0 || !GameState::IsRulerId(turnRuler) ||
        world.seats[static_cast<std::size_t>(turnRuler)].kind != SeatKind::Person || PersonCount(world) < 2)
        return 0;
    return turnRuler;
}

void HotSeat::ChooseOneKeyTurn(bool on)
{
    m_oneKey->setChecked(on);
    platform::settings::SetOneKeyTurn(on);
    OnCommandState(); // a command already given this turn ends it now
}

void HotSeat::OnPlayerTurn()
{
    GameSession& session = m_view.Session();
    const RulerId person = session.Phase() == TurnPhase::AwaitingCommand
                               ? PersonAtTurn(session.world, session.TurnRuler())
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

void HotSeat::Retranslate() { m_oneKey->setText(tr("自動休養(&E)")); }

bool HotSeat::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
