// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/view_options.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QLayout>
#include <QLocale>
#include <QtMath>
#include <QMenu>
#include <QMenuBar>

#include "app/main_frame.h"
#include "platform/windows.h"
#include "view/map/battle_arrows.h"
#include "view/commands/command_table.h"
#include "view/map/game_document.h"
#include "view/map/kiv_view.h"
#include "view/map/map_picture.h"
#include "view/windows/own_countries_wnd.h"
#include "view/map/view_zoom.h"

namespace settings = platform::settings;
using settings::GameSpeed;

namespace {

const char* const kMainWindow = "Main";
constexpr int kFrameShiftAtMost = 100; // a title bar and a border, with room to spare

constexpr GameSpeed kSpeeds[] = {GameSpeed::Normal, GameSpeed::Fast, GameSpeed::Fastest};

int SpeedIndex(GameSpeed speed) { return static_cast<int>(speed); }

} // namespace

ViewOptions::ViewOptions(CMainFrame& frame, CKivView& view)
    : QObject(&frame), m_frame(frame), m_view(view), m_battleArrows(std::make_unique<BattleArrows>()),
      m_viewAlive(&view)
{
    QMenu* menu = frame.ViewMenu();

    QMenu* zoom = menu->addMenu(QString());
    m_zoomMenu = zoom;
    auto* zoomGroup = new QActionGroup(this);
    for (std::size_t i = 0; i < platform::kWindowScales.size(); ++i) {
        QAction* action = zoom->addAction(QString());
        action->setCheckable(true);
        action->setActionGroup(zoomGroup);
        connect(action, &QAction::triggered, this, [this, i] { ChooseZoom(platform::kWindowScales[i]); });
        m_zoomActions[i] = action;
    }
    zoom->addSeparator();
    m_zoomIn = zoom->addAction(QString());
    m_zoomIn->setShortcuts(CommandTable::ZoomInKeys());
    m_zoomOut = zoom->addAction(QString());
    m_zoomOut->setShortcuts(CommandTable::ZoomOutKeys());
    connect(m_zoomIn, &QAction::triggered, this, [this] { ChooseZoom(platform::LargerWindowScale(m_view.Zoom())); });
    connect(m_zoomOut, &QAction::triggered, this, [this] { ChooseZoom(platform::SmallerWindowScale(m_view.Zoom())); });

    QMenu* speed = menu->addMenu(QString());
    m_speedMenu = speed;
    auto* speedGroup = new QActionGroup(this);
    for (GameSpeed s : kSpeeds) {
        QAction* action = speed->addAction(QString());
        action->setCheckable(true);
        action->setActionGroup(speedGroup);
        connect(action, &QAction::triggered, this, [this, s] { ChooseSpeed(s); });
        m_speedActions[static_cast<std::size_t>(SpeedIndex(s))] = action;
    }

    m_patterns = menu->addAction(QString());
    m_patterns->setCheckable(true);
    connect(m_patterns, &QAction::triggered, this, [this](bool on) { ChooseRulerPatterns(on); });

    m_battles = menu->addAction(QString());
    m_battles->setCheckable(true);
    connect(m_battles, &QAction::triggered, this, [this](bool on) { ChooseBattleArrows(on); });
    view.Game().Session().events.Add(m_battleArrows.get());
    connect(&view.Game(), &GameController::playerTurnReached, this, [this] {
        m_battleArrows->PlayerTurn();
        m_view.update();
    });
    connect(&view.Game(), &GameController::worldReplaced, this, [this] { m_battleArrows->Clear(); });
    connect(&view.Game(), &GameController::playerTurnPassed, this, [this] { m_battleArrows->PlayerTurn(); });

    m_ownCountries = menu->addAction(QString());
    m_ownCountries->setCheckable(true);
    m_ownCountries->setShortcut(CommandTable::OwnCountriesKey());
    connect(m_ownCountries, &QAction::triggered, this, [this](bool on) {
        if (on) {
            OwnCountries().Open();
            OwnCountries().activateWindow(); // opened by its command: the keys go with it
        } else
            OwnCountries().hide();
    });

    frame.installEventFilter(this);
    Retranslate();
}

void ViewOptions::Retranslate()
{
    m_zoomMenu->setTitle(tr("拡大(&Z)"));
    for (std::size_t i = 0; i < platform::kWindowScales.size(); ++i) {
        // Each step's key is its last digit: 1, 5 (for 1.5), 2, 3.
        QString step = QLocale().toString(platform::kWindowScales[i]);
        step.insert(step.size() - 1, QLatin1Char('&'));
        m_zoomActions[i]->setText(tr("%1 倍").arg(step));
    }
    m_zoomIn->setText(tr("大きく(&I)"));
    m_zoomOut->setText(tr("小さく(&O)"));
    m_speedMenu->setTitle(tr("速度(&S)"));
    const char* const speedNames[] = {QT_TR_NOOP("標準(&N)"), QT_TR_NOOP("速い(&F)"), QT_TR_NOOP("最速(&M)")};
    for (GameSpeed s : kSpeeds)
        m_speedActions[static_cast<std::size_t>(SpeedIndex(s))]->setText(tr(speedNames[SpeedIndex(s)]));
    m_patterns->setText(tr("模様で区別(&P)"));
    m_battles->setText(tr("先月の戦い(&B)"));
    m_ownCountries->setText(tr("自国一覧(&O)"));
}

ViewOptions::~ViewOptions()
{
    // A view that goes first takes its game, and the game's observers, with it.
    if (m_viewAlive)
        m_view.Game().Session().events.Remove(m_battleArrows.get());
}

OwnCountriesWindow& ViewOptions::OwnCountries()
{
    if (!m_ownWindow) {
        m_ownWindow = new OwnCountriesWindow(m_view, &m_frame);
        connect(m_ownWindow, &OwnCountriesWindow::visibilityChanged, m_ownCountries, &QAction::setChecked);
    }
    return *m_ownWindow;
}

void ViewOptions::Restore(qreal zoom)
{
    if (zoom == 0)
        zoom = settings::Zoom();
    // The place first: the zoom that fits depends on the screen the window is on.
    const QByteArray geometry = settings::WindowGeometry(QString::fromLatin1(kMainWindow));
    if (!geometry.isEmpty() && m_frame.restoreGeometry(geometry)) {
        // The frame's own top left, as the player left it: a window manager may take
        // the saved geometry's inner corner for the frame's and open the window lower
        // by its title bar. (A window the restore brought back onto a screen stays.)
        const std::optional<QPoint> place = settings::WindowPlace(QString::fromLatin1(kMainWindow));
        if (place && (*place - m_frame.pos()).manhattanLength() <= kFrameShiftAtMost)
            m_frame.move(*place);
    }
    ApplyZoom(zoom != 0 ? zoom : FittingZoom());
    const GameSpeed speed = settings::Speed();
    m_view.SetSpeed(speed);
    SpeedAction(speed)->setChecked(true);
    const bool patterns = settings::RulerPatterns();
    m_view.SetRulerPatterns(patterns);
    m_patterns->setChecked(patterns);
    ApplyBattleArrows(settings::BattleArrows());
}

void ViewOptions::ChooseZoom(qreal factor)
{
    ApplyZoom(factor);
    settings::SetZoom(m_view.Zoom());
}

void ViewOptions::ApplyZoom(qreal factor)
{
    // A zoom whose window would reach beyond the screen is not offered: the largest
    // that fits is taken instead.
    const qreal fitting = FittingZoom();
    m_view.SetZoom(qMin(factor, fitting));
    const qreal applied = m_view.Zoom();
    for (std::size_t i = 0; i < platform::kWindowScales.size(); ++i) {
        m_zoomActions[i]->setEnabled(platform::kWindowScales[i] <= fitting);
        m_zoomActions[i]->setChecked(platform::kWindowScales[i] == applied);
    }
    m_zoomIn->setEnabled(applied < fitting);
    m_zoomOut->setEnabled(applied > ViewZoom::kMin);
    // The frame takes the view's new size at once, so that it can be kept on screen.
    m_frame.layout()->activate();
    KeepOnScreen();
}

void ViewOptions::ChooseSpeed(GameSpeed speed)
{
    m_view.SetSpeed(speed);
    SpeedAction(speed)->setChecked(true);
    settings::SetSpeed(speed);
}

void ViewOptions::ChooseRulerPatterns(bool on)
{
    m_view.SetRulerPatterns(on);
    m_patterns->setChecked(on);
    settings::SetRulerPatterns(on);
}

void ViewOptions::ChooseBattleArrows(bool on)
{
    ApplyBattleArrows(on);
    settings::SetBattleArrows(on);
}

void ViewOptions::ApplyBattleArrows(bool on)
{
    m_battles->setChecked(on);
    if (!on) {
        m_view.SetMapOverlay({});
        return;
    }
    m_view.SetMapOverlay([this](QPainter& painter) {
        DrawBattleArrows(painter, m_view.GetDocument().Map(), m_battleArrows->Shown(), m_view.RulerPatterns());
    });
}

QAction* ViewOptions::ZoomAction(qreal factor) const
{
    for (std::size_t i = 0; i < platform::kWindowScales.size(); ++i)
        if (platform::kWindowScales[i] == factor)
            return m_zoomActions[i];
    return nullptr;
}

QAction* ViewOptions::SpeedAction(GameSpeed speed) const
{
    return m_speedActions[static_cast<std::size_t>(SpeedIndex(speed))];
}

QSize ViewOptions::Chrome(qreal factor) const
{
    // The menu bar's text follows the zoom: its height at factor, from its height now.
    const int menuBar = qCeil(m_frame.menuBar()->sizeHint().height() * factor / m_view.Zoom());
    const QMargins frame = platform::FrameMargins(&m_frame);
    return QSize(frame.left() + frame.right(), frame.top() + frame.bottom() + menuBar);
}

qreal ViewOptions::FittingZoom() const
{
    const QRect area = platform::AvailableArea(&m_frame);
    if (area.isEmpty())
        return ViewZoom::kMin;
    for (auto f = platform::kWindowScales.rbegin(); f != platform::kWindowScales.rend(); ++f)
        if (ViewZoom::LargestFitting(QSize(kMapWidth, kMapHeight), Chrome(*f), area.size()) >= *f)
            return *f;
    return ViewZoom::kMin;
}

void ViewOptions::KeepOnScreen()
{
    // A window never placed is left where the window manager puts it.
    if (!m_frame.isVisible() && !m_frame.testAttribute(Qt::WA_Moved))
        return;
    const QPoint placed = m_frame.pos();
    platform::PlaceInside(&m_frame, placed, platform::AvailableArea(&m_frame));
}

bool ViewOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::Close) {
        settings::SetWindowGeometry(QString::fromLatin1(kMainWindow), m_frame.saveGeometry());
        settings::SetWindowPlace(QString::fromLatin1(kMainWindow), m_frame.pos());
    }
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
