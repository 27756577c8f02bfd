// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/view_options.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "app/kiv_doc.h"
#include "app/main_frame.h"
#include "view/command_table.h"
#include "view/kiv_view.h"
#include "view/view_zoom.h"

namespace settings = platform::settings;
using settings::GameSpeed;

namespace {

const char* const kMainWindow = "Main";
// A window manager's border and title bar, until the window has been shown and its
// frame is known.
constexpr QSize kFrameAllowance(16, 40);

constexpr GameSpeed kSpeeds[] = {GameSpeed::Normal, GameSpeed::Fast, GameSpeed::Fastest};

int SpeedIndex(GameSpeed speed) { return static_cast<int>(speed); }

} // namespace

ViewOptions::ViewOptions(CMainFrame& frame, CKivView& view) : QObject(&frame), m_frame(frame), m_view(view)
{
    QMenu* menu = frame.ViewMenu();

    QMenu* zoom = menu->addMenu(QString());
    m_zoomMenu = zoom;
    auto* zoomGroup = new QActionGroup(this);
    for (int f = ViewZoom::kMin; f <= ViewZoom::kMax; ++f) {
        QAction* action = zoom->addAction(QString());
        action->setCheckable(true);
        action->setActionGroup(zoomGroup);
        connect(action, &QAction::triggered, this, [this, f] { ChooseZoom(f); });
        m_zoomActions[static_cast<std::size_t>(f - 1)] = action;
    }
    zoom->addSeparator();
    m_zoomIn = zoom->addAction(QString());
    m_zoomIn->setShortcuts(CommandTable::ZoomInKeys());
    m_zoomOut = zoom->addAction(QString());
    m_zoomOut->setShortcuts(CommandTable::ZoomOutKeys());
    connect(m_zoomIn, &QAction::triggered, this, [this] { ChooseZoom(m_view.Zoom() + 1); });
    connect(m_zoomOut, &QAction::triggered, this, [this] { ChooseZoom(m_view.Zoom() - 1); });

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

    frame.installEventFilter(this);
    Retranslate();
}

void ViewOptions::Retranslate()
{
    m_zoomMenu->setTitle(tr("拡大(&Z)"));
    for (int f = ViewZoom::kMin; f <= ViewZoom::kMax; ++f)
        m_zoomActions[static_cast<std::size_t>(f - 1)]->setText(tr("&%1 倍").arg(f));
    m_zoomIn->setText(tr("大きく(&I)"));
    m_zoomOut->setText(tr("小さく(&O)"));
    m_speedMenu->setTitle(tr("速度(&S)"));
    const char* const speedNames[] = {QT_TR_NOOP("標準(&N)"), QT_TR_NOOP("速い(&F)"), QT_TR_NOOP("最速(&M)")};
    for (GameSpeed s : kSpeeds)
        m_speedActions[static_cast<std::size_t>(SpeedIndex(s))]->setText(tr(speedNames[SpeedIndex(s)]));
    m_patterns->setText(tr("模様で区別(&P)"));
}

void ViewOptions::Restore(int zoom)
{
    if (zoom == 0)
        zoom = settings::Zoom();
    ApplyZoom(zoom != 0 ? zoom : FittingZoom());
    const GameSpeed speed = settings::Speed();
    m_view.SetSpeed(speed);
    SpeedAction(speed)->setChecked(true);
    const bool patterns = settings::RulerPatterns();
    m_view.SetRulerPatterns(patterns);
    m_patterns->setChecked(patterns);
    const QByteArray geometry = settings::WindowGeometry(QString::fromLatin1(kMainWindow));
    if (!geometry.isEmpty())
        m_frame.restoreGeometry(geometry);
    KeepOnScreen();
}

void ViewOptions::ChooseZoom(int factor)
{
    ApplyZoom(factor);
    settings::SetZoom(m_view.Zoom());
}

void ViewOptions::ApplyZoom(int factor)
{
    m_view.SetZoom(factor);
    const int applied = m_view.Zoom();
    m_zoomActions[static_cast<std::size_t>(applied - 1)]->setChecked(true);
    m_zoomIn->setEnabled(applied < ViewZoom::kMax);
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

QAction* ViewOptions::ZoomAction(int factor) const
{
    if (factor < ViewZoom::kMin || factor > ViewZoom::kMax)
        return nullptr;
    return m_zoomActions[static_cast<std::size_t>(factor - 1)];
}

QAction* ViewOptions::SpeedAction(GameSpeed speed) const
{
    return m_speedActions[static_cast<std::size_t>(SpeedIndex(speed))];
}

QSize ViewOptions::Chrome() const
{
    const QSize frame = m_frame.isVisible() ? m_frame.frameGeometry().size() - m_frame.geometry().size()
                                            : kFrameAllowance;
    return QSize(frame.width(), frame.height() + m_frame.menuBar()->sizeHint().height());
}

int ViewOptions::FittingZoom() const
{
    const QScreen* screen = m_frame.screen() ? m_frame.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return ViewZoom::kMin;
    return ViewZoom::LargestFitting(QSize(kMapWidth, kMapHeight), Chrome(), screen->availableGeometry().size());
}

void ViewOptions::KeepOnScreen()
{
    const QScreen* screen = m_frame.screen();
    // A window never placed is left where the window manager puts it.
    if (!screen || (!m_frame.isVisible() && !m_frame.testAttribute(Qt::WA_Moved)))
        return;
    const QRect area = screen->availableGeometry();
    QRect placed(m_frame.pos(), m_frame.isVisible() ? m_frame.frameGeometry().size()
                                                    : m_frame.size() + kFrameAllowance);
    // The top left last, so that the title bar stays reachable on a screen too small.
    placed.moveRight(qMin(placed.right(), area.right()));
    placed.moveBottom(qMin(placed.bottom(), area.bottom()));
    placed.moveLeft(qMax(placed.left(), area.left()));
    placed.moveTop(qMax(placed.top(), area.top()));
    if (placed.topLeft() != m_frame.pos())
        m_frame.move(placed.topLeft());
}

bool ViewOptions::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_frame && event->type() == QEvent::Close)
        settings::SetWindowGeometry(QString::fromLatin1(kMainWindow), m_frame.saveGeometry());
    if (watched == &m_frame && event->type() == QEvent::LanguageChange)
        Retranslate();
    return QObject::eventFilter(watched, event);
}
