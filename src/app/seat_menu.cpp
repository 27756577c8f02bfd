// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/seat_menu.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

#include "app/main_frame.h"
#include "dialogs/seats_dialog.h"
#include "view/map/kiv_view.h"
#include "words/shown_text.h"

SeatMenu::SeatMenu(CMainFrame& frame, CKivView& view) : QObject(&frame), m_frame(frame), m_view(view)
{
    GameController& game = view.Game();
    connect(&game, &GameController::worldReplaced, this, [this] { m_handed = {}; });
    // There while a game is in play (not one played back from its record), made for the
    // first.
    connect(&game, &GameController::turnDescribed, this, [this] {
        const bool inPlay = m_view.Game().CanSave() && !m_view.Game().Replaying();
        if (inPlay && !m_menu)
            MakeMenu();
        if (m_menu)
            m_menu->menuAction()->setVisible(inPlay);
    });
    frame.installEventFilter(this);
}

void SeatMenu::MakeMenu()
{
    m_menu = new QMenu(&m_frame);
    m_frame.menuBar()->insertMenu(m_frame.ViewMenu()->menuAction(), m_menu);
    m_menu->installEventFilter(this); // a menu is a window of its own: told of a new language
    connect(m_menu, &QMenu::aboutToShow, this, &SeatMenu::Fill);
    Retranslate();
    m_frame.OnMenusMade();
}

std::vector<Seat> SeatMenu::Choices()
{
    std::vector<Seat> seats = {Seat::Person(), Seat::Advisor()};
    for (int level = 0; level < kDifficultyLevels; ++level)
        seats.push_back(Seat::Computer(static_cast<Difficulty>(level)));
    return seats;
}

std::vector<RulerId> SeatMenu::Rulers() const
{
    const GameState& world = m_view.GetWorld();
    std::vector<RulerId> rulers;
    for (RulerId r = 1; r < kRulerCount; ++r)
        if (world.IsPlayer(r) || r == world.playerRuler || m_handed[static_cast<std::size_t>(r)] ||
            m_view.Game().SeatOf(r).Plays())
            rulers.push_back(r);
    return rulers;
}

void SeatMenu::Fill()
{
    m_menu->clear();
    const GameState& world = m_view.GetWorld();
    GameController& game = m_view.Game();
    const bool open = game.CanSave() && !game.Replaying();
    for (const RulerId ruler : Rulers()) {
        const Seat now = SimplestSeat(game.SeatOf(ruler), world.difficulty);
        QMenu* seats = m_menu->addMenu(
            tr("%1の担当: %2").arg(shown::RulerName(ruler), SeatsDialog::SeatName(now, world.difficulty)));
        seats->setObjectName(QStringLiteral("seats%1").arg(ruler));
        seats->setEnabled(open);
        auto* group = new QActionGroup(seats);
        for (const Seat& seat : Choices()) {
            QAction* action = seats->addAction(SeatsDialog::SeatName(seat, world.difficulty));
            action->setCheckable(true);
            action->setChecked(SimplestSeat(seat, world.difficulty) == now);
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, ruler, seat] {
                if (m_view.Game().ChangeSeat(ruler, seat))
                    m_handed[static_cast<std::size_t>(ruler)] = true;
            });
        }
    }
    if (m_menu->isEmpty())
        m_menu->addAction(tr("ﾌﾟﾚｲする君主がいません"))->setEnabled(false);
}

void SeatMenu::Retranslate()
{
    if (m_menu)
        m_menu->setTitle(tr("ﾌﾟﾚｲﾔｰ(&P)"));
}

bool SeatMenu::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == &m_frame || (m_menu && watched == m_menu)) && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
