// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/access/keyboard_windows.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "view/map/kiv_view.h"

namespace accessible {

namespace {

// A window of the game that shows something beside the map (the chronicle, 自国一覧,
// the advice, the turn report, ...): neither a dialog, which Esc rejects already, nor a
// main window with menus of its own (the scenario editor, which has its Esc and Ctrl+W).
bool IsToolWindow(const QWidget* widget)
{
    return widget && widget->isWindow() && !qobject_cast<const QDialog*>(widget) &&
           !qobject_cast<const QMainWindow*>(widget) &&
           (widget->windowType() == Qt::Tool || widget->windowType() == Qt::Window);
}

} // namespace

KeyboardWindows::KeyboardWindows(CKivView& view) : QObject(&view), m_view(view) { qApp->installEventFilter(this); }

bool KeyboardWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        // Esc in a tool window closes it, wherever the keys are in it (an open list is a
        // window of its own and takes its Esc first).
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* window = widget ? widget->window() : nullptr;
        if (widget && widget == QApplication::focusWidget() && IsToolWindow(window)) {
            window->close();
            return true;
        }
    }
    if (event->type() == QEvent::Hide) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && widget != m_view.window() && widget->windowType() != Qt::Popup &&
            widget->windowType() != Qt::ToolTip) {
            // After the window has gone: the keys back to the map when no window has them.
            QPointer<CKivView> view = &m_view;
            QTimer::singleShot(0, &m_view, [view] {
                // Another window of the program's that waits for an answer keeps them.
                if (!view || QApplication::activeModalWidget())
                    return;
                const QWidget* active = QApplication::activeWindow();
                if ((!active || !active->isVisible()) && view->window()->isVisible()) {
                    view->window()->activateWindow();
                    view->setFocus(Qt::OtherFocusReason);
                } else if (active == view->window()) {
                    view->setFocus(Qt::OtherFocusReason);
                }
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace accessible
