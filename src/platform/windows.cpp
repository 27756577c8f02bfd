#include "platform/windows.h"

#include <QPointer>
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
    placed.moveCenter(frame.center());
    window->move(placed.topLeft());
}

} // namespace platform
