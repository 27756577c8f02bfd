// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace platform {

namespace {
QPointer<QWidget> g_mainWindow;
}

void SetMainWindow(QWidget* window) { g_mainWindow = window; }

QWidget* MainWindow() { return g_mainWindow.data(); }

namespace {
// A window manager's border and title bar, until a window has been shown.
constexpr QMargins kFrameAllowance(8, 32, 8, 8);
} // namespace

QRect AvailableArea(const QWidget* window)
{
    if (!window)
        window = MainWindow();
    const QScreen* screen = window ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QMargins FrameMargins(const QWidget* window)
{
    const QWidget* owner = window && window->parentWidget() ? window->parentWidget()->window() : nullptr;
    for (const QWidget* w : {window, owner, static_cast<const QWidget*>(MainWindow())}) {
        if (w && w->isWindow() && w->isVisible()) {
            const QRect frame = w->frameGeometry();
            const QRect inner = w->geometry();
            return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                            frame.bottom() - inner.bottom());
        }
    }
    return window && (window->windowFlags() & Qt::FramelessWindowHint) ? QMargins() : kFrameAllowance;
}

QRect KeepInside(QRect frame, const QRect& area)
{
    if (area.isEmpty())
        return frame;
    // The top left last: it wins where the frame is larger than the area.
    frame.moveRight(qMin(frame.right(), area.right()));
    frame.moveBottom(qMin(frame.bottom(), area.bottom()));
    frame.moveLeft(qMax(frame.left(), area.left()));
    frame.moveTop(qMax(frame.top(), area.top()));
    return frame;
}

void PlaceInside(QWidget* window, QPoint frameTopLeft, const QRect& area)
{
    const QRect frame(frameTopLeft, window->size().grownBy(FrameMargins(window)));
    // move() places the frame's top left for a top-level window.
    const QPoint placed = KeepInside(frame, area).topLeft();
    if (placed != window->pos())
        window->move(placed);
}

void CentreOnOwner(QWidget* window, QWidget* owner)
{
    if (!owner)
        owner = MainWindow();
    if (!owner || !window)
        return;
    QRect placed(QPoint(), window->size().grownBy(FrameMargins(window)));
    placed.moveCenter(owner->frameGeometry().center());
    // A window taller or wider than its owner must not leave the owner's screen.
    PlaceInside(window, placed.topLeft(), AvailableArea(owner));
}

} // namespace platform
