// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows.h"

#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace platform {

namespace {
QPointer<QWidget> g_mainWindow;
}

void SetMainWindow(QWidget* window) { g_mainWindow = window; }

QWidget* MainWindow() { return g_mainWindow.data(); }

void CentreOnOwner(QWidget* window, QWidget* owner)
{
    if (!owner)
        owner = MainWindow();
    if (!owner || !window)
        return;
    const QRect frame = owner->frameGeometry();
    QRect placed = window->frameGeometry();
    if (!window->isVisible() && placed == window->geometry() && !(window->windowFlags() & Qt::FramelessWindowHint)) {
        // Not shown yet, so its frame is not known: the owner's frame is the guide.
        const QRect inner = owner->geometry();
        placed += QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
                           frame.bottom() - inner.bottom());
    }
    placed.moveCenter(frame.center());
    // A window taller or wider than its owner must not leave the screen: it is moved
    // inside the screen's available area (its top left first, so that the title bar
    // stays reachable even when the window is larger than the screen).
    if (QScreen* screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveRight(qMin(placed.right(), area.right()));
        placed.moveBottom(qMin(placed.bottom(), area.bottom()));
        placed.moveLeft(qMax(placed.left(), area.left()));
        placed.moveTop(qMax(placed.top(), area.top()));
    }
    window->move(placed.topLeft());
}

} // namespace platform
