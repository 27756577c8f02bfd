// SPDX-License-Identifier: GPL-3.0-or-later
// The map view's keys and tooltips: a command's key is its button, and in a choosing
// mode the arrows, Tab and Enter choose the target; the pointer over a target of a war
// shows its odds.
#include "view/map/kiv_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>

#include "platform/key_time.h"
#include "view/access/announcer.h"
#include "view/commands/command_table.h"
#include "view/commands/foresight_words.h"
#include "view/map/game_document.h"
#include "view/map/map_picture.h"
#include "words/shown_text.h"

bool CKivView::Choosing() const
{
    return mode == ViewMode::ChooseMoveTarget || mode == ViewMode::ChooseAttackTarget;
}

bool CKivView::OnKey(int key, Qt::KeyboardModifiers modifiers, bool repeated)
{
    if (!IsViewKey(key, modifiers))
        return false;
    if (Choosing()) {
        switch (key) {
        case Qt::Key_Escape:
            OnRButtonDown(QPoint());
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Right:
        case Qt::Key_Down:
            StepChoice(1);
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_Left:
        case Qt::Key_Up:
            StepChoice(-1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!repeated && m_choice.Country() != -1)
                PickCountry(m_choice.Country());
            return true;
        default:
            break;
        }
    } else if (key == Qt::Key_Up || key == Qt::Key_Left || key == Qt::Key_Down || key == Qt::Key_Right) {
        StepShown(key == Qt::Key_Down || key == Qt::Key_Right ? 1 : -1);
        return true;
    }
    const CommandEntry* entry = CommandTable::ForKey(key);
    if (!entry)
        return false;
    // The key is the button: it acts only when the button would.
    QPushButton* button = this->*entry->button;
    if (!repeated && button->isEnabled())
        button->click();
    return true;
}

void CKivView::StepChoice(int direction)
{
    const TurnDescription& turn = m_game.Turn();
    const bool moving = mode == ViewMode::ChooseMoveTarget;
    const int country = m_choice.Step(moving ? turn.moveTargets : turn.warTargets, direction);
    if (country == -1) {
        // No country to choose: the command's own reason says so.
        SetStatus(CommandReasons(GetWorld(), turn.country)[IndexOf(moving ? TurnCommand::Move : TurnCommand::War)]);
    } else {
        // The panel shows the country chosen, as a click on it would.
        marks.shownCountry = country;
        if (moving)
            SetStatus([this, country] {
                return tr("%1 %2 へ移動 (Enter)").arg(country).arg(shown::CountryName(GetWorld(), country));
            });
        else
            ShowWarOdds(country);
    }
    update();
}

void CKivView::StepShown(int direction)
{
    const int before = marks.shownCountry;
    const int shown = GameState::IsCountryIndex(before) ? before : (direction > 0 ? -1 : 0);
    marks.shownCountry = (shown + direction + kCountryCount) % kCountryCount;
    update();
}

void CKivView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // The keys are on the map: a screen reader hears the country they are on.
    m_announcer->FocusCursor();
}

void CKivView::ShowWarOdds(int target)
{
    // One choice, wherever it came from: the outline, the panel, the status line and
    // the odds all show it.
    m_choice.Choose(target);
    marks.shownCountry = target;
    const int from = GetWorld().turnCountry;
    m_odds = foresight_words::WarOdds(GetWorld(), from, target);
    SetStatus([this, target] { return foresight_words::WarChoiceLine(GetWorld(), target); });
}

void CKivView::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    if (mode != ViewMode::ChooseAttackTarget || !m_doc.Map().HasPictures())
        return;
    // The pointer over a target chooses it, as the keys do; elsewhere the choice stays.
    const QPoint p = ToMapPoint(event->position().toPoint());
    const int country = m_doc.Map().CountryAt(p.x(), p.y());
    const std::vector<int>& targets = m_game.Turn().warTargets;
    if (country == m_choice.Country() || std::find(targets.begin(), targets.end(), country) == targets.end())
        return;
    ShowWarOdds(country);
    update();
}

void CKivView::keyPressEvent(QKeyEvent* event)
{
    if (!TakeKey(event))
        QWidget::keyPressEvent(event);
}

bool CKivView::TakeKey(QKeyEvent* event)
{
    if (!IsViewKey(event->key(), event->modifiers()))
        return false;
    // A key typed ahead while the computer played, or held down through its turns,
    // belongs to no turn of the player's: it must not end or spend the one just begun.
    const bool repeated = event->isAutoRepeat() || platform::PressedBefore(event->timestamp(), m_turnBegan);
    // The map takes the keys again (a menu bar left in its keyboard mode lets them go).
    if (QApplication::focusWidget() != this && window()->isActiveWindow())
        setFocus(Qt::OtherFocusReason);
    event->accept();
    OnKey(event->key(), event->modifiers(), repeated);
    return true;
}

bool CKivView::IsViewKey(int key, Qt::KeyboardModifiers modifiers) const
{
    modifiers &= ~Qt::KeypadModifier;
    if (key == Qt::Key_Backtab)
        modifiers &= ~Qt::ShiftModifier; // Shift+Tab
    if (modifiers != Qt::NoModifier)
        return false;
    if (Choosing()) {
        for (int k : {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left,
                      Qt::Key_Up, Qt::Key_Return, Qt::Key_Enter})
            if (key == k)
                return true;
    } else if (mode != ViewMode::NoGame) {
        for (int k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Up})
            if (key == k)
                return true;
    }
    return CommandTable::ForKey(key) != nullptr;
}

bool CKivView::focusNextPrevChild(bool next)
{
    // In a choosing mode Tab steps through the targets instead.
    if (Choosing())
        return false;
    return QWidget::focusNextPrevChild(next);
}

bool CKivView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && qobject_cast<QPushButton*>(watched))
        UpdateCommandTips(); // the figures may have changed since the last command
    return QWidget::eventFilter(watched, event);
}

void CKivView::UpdateCommandTips()
{
    const TurnDescription& turn = m_game.Conductor().Redescribe();
    const auto& entries = CommandTable::Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CommandEntry& entry = entries[i];
        QPushButton* button = this->*entry.button;
        if (!button)
            continue;
        const platform::Message& why = turn.Of(entry.command).why;
        QString tip = CommandTable::Tooltip(entry, why.empty() ? QString() : shown::Text(why));
        if (button == m_advisedButton && !m_advisedWhy.isEmpty())
            tip += QLatin1Char('\n') + tr("助言: %1").arg(m_advisedWhy);
        button->setToolTip(tip);
    }
}
