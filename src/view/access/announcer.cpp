// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/access/announcer.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QWidget>

#include "control/game_controller.h"
#include "rules/battle.h"
#include "words/shown_text.h"

Announcer::Announcer(QWidget& map, GameController& game, std::function<int()> cursor)
    : QObject(&map), m_view(map), m_game(game), m_cursor(std::move(cursor))
{
    // Made before the view answers the controller, so that a message is told as its
    // window opens, not after it has closed.
    connect(&game, &GameController::turnDescribed, this, &Announcer::OnDescribed);
    connect(&game, &GameController::statusChanged, this, &Announcer::OnStatus);
    connect(&game, &GameController::message, this, [this](const QString& text) {
        if (!Quiet())
            Say(text);
    });
}

void Announcer::Say(const QString& text)
{
    // A line the same as the last is the same news told by two signals.
    if (text.isEmpty() || text == m_last)
        return;
    Tell(text);
}

void Announcer::Tell(const QString& text)
{
    const QString before = m_last;
    m_last = text;
    emit said(text);
    if (!QAccessible::isActive())
        return;
    // The status bar's text replaced (the event carries the new line itself) and its
    // name changed.
    QAccessibleInterface* map = QAccessible::queryAccessibleInterface(&m_view);
    QAccessibleInterface* bar = map ? map->child(kStatusBarChild) : nullptr;
    if (!bar)
        return;
    QAccessibleTextUpdateEvent replaced(bar, 0, before, text);
    QAccessible::updateAccessibility(&replaced);
    QAccessibleEvent named(bar, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
}

void Announcer::Repeat()
{
    if (!m_last.isEmpty())
        Tell(m_last);
}

bool Announcer::Quiet() const
{
    const auto turn = m_game.PublishedTurn();
    return turn && (turn->stage == TurnStage::ComputerTurns || turn->stage == TurnStage::Watching ||
                    turn->stage == TurnStage::Replaying);
}

void Announcer::OnDescribed()
{
    const auto turn = m_game.PublishedTurn();
    if (!turn)
        return;
    const int stage = static_cast<int>(turn->stage);
    const bool choosingBefore = m_stage == static_cast<int>(TurnStage::ChoosingMove) ||
                                m_stage == static_cast<int>(TurnStage::ChoosingWar);
    const bool came = stage != m_stage || turn->country != m_country;
    m_stage = stage;
    m_country = turn->country;
    if (!came)
        return;
    // The computers' moves are not told: a line after them is news again.
    if (Quiet())
        m_lastStatus.clear();
    // A choice of target put away leaves the turn where it was: nothing new to tell.
    const bool personNew = turn->stage == TurnStage::Command && !choosingBefore;
    // The turn comes to a person, passes to another at the screen, or the game ends.
    if (personNew || turn->stage == TurnStage::HandingOver || turn->Ended()) {
        const QString line = shown::Text(turn->status);
        if (line != m_lastStatus) {
            m_lastStatus = line;
            Say(line);
        }
    }
}

void Announcer::OnStatus(const QString& text)
{
    if (Quiet() || text == m_lastStatus)
        return;
    m_lastStatus = text;
    Say(text);
}

void Announcer::BattleFought(const BattleScript& script, const QStringList& rounds)
{
    const QString attacker = QCoreApplication::translate("Announcer", "%1 (%2)")
                                 .arg(shown::Text(script.m_attackerName), shown::RulerName(script.m_nAttackerRuler));
    const QString target = QCoreApplication::translate("Announcer", "%1 (%2)")
                               .arg(shown::Text(script.m_targetName), shown::RulerName(script.m_nTargetRuler));
    QString line;
    if (script.m_nTargetSoldiers <= 0)
        line = QCoreApplication::translate("Announcer", "%1 が %2 に攻め込み、占領しました").arg(attacker, target);
    else if (script.m_nAttackerSoldiers <= 0)
        line = QCoreApplication::translate("Announcer", "%1 が %2 に攻め込みましたが、撃退されました").arg(attacker, target);
    else
        line = QCoreApplication::translate("Announcer", "%1 が %2 に攻め込みましたが、攻め落とせず退きました").arg(attacker, target);
    Say(line + QCoreApplication::translate("Announcer", " (兵士 %1 対 %2)")
                   .arg(script.m_nAttackerSoldiers)
                   .arg(script.m_nTargetSoldiers));
    m_rounds = QCoreApplication::translate("Announcer", "%1 → %2: %3").arg(attacker, target, rounds.join(QStringLiteral("。 ")));
}

void Announcer::TellRounds()
{
    if (!m_rounds.isEmpty())
        Tell(m_rounds);
}

void Announcer::FollowCursor()
{
    if (Cursor() != m_focused && m_view.hasFocus())
        SendFocus(Cursor());
}

void Announcer::FocusCursor() { SendFocus(Cursor()); }

void Announcer::SendFocus(int country)
{
    m_focused = country;
    if (country < 0 || !QAccessible::isActive())
        return;
    QAccessibleEvent focus(&m_view, QAccessible::Focus);
    focus.setChild(country);
    QAccessible::updateAccessibility(&focus);
}
