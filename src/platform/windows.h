// SPDX-License-Identifier: GPL-3.0-or-later
// The main window every modal window belongs to, whichever thread asked for it.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QVector>

class QWidget;

namespace platform {

void SetMainWindow(QWidget* window);
// The main window, or null before it exists (and in tests without one).
QWidget* MainWindow();

// Places window centred over owner (over the main window when owner is null), moved
// inside the available area of the owner's screen where it would reach beyond it.
void CentreOnOwner(QWidget* window, QWidget* owner = nullptr);

// The available area (without panels and docks) of the screen that shows window, of
// the main window's when window is null, of the primary screen without either.
QRect AvailableArea(const QWidget* window = nullptr);

// The window manager's border and title bar around window: its own once it has been
// shown, else its owner's or the main window's, else a usual allowance.
QMargins FrameMargins(const QWidget* window);

// frame moved into area: wholly where it fits, else with its top left inside, so that
// the title bar stays reachable on a screen too small for it.
QRect KeepInside(QRect frame, const QRect& area);

// Moves window so that its frame's top left is at frameTopLeft, or as near to it as
// keeps the frame inside area.
void PlaceInside(QWidget* window, QPoint frameTopLeft, const QRect& area);

// What a tool window is placed among, frames in global coordinates: the main window,
// its controls (its panel and buttons), the game's other windows shown, and the
// available area of the main window's screen.
struct ToolWindowRoom {
    QRect main;
    QVector<QRect> keepClear;
    QVector<QRect> others;
    QRect area;
    // The smallest frame the window may be given beside the main window (invalid: its
    // own size only).
    QSize smallest;
};

// Where a tool window's frame opens: wholly inside the area (no larger than it); beside
// the main window where there is room, at its right, left, bottom or top in that order
// (made smaller, not below room.smallest, where the room beside it is short);
// else where it covers the least of the controls, then of the other windows, then of
// the main window.
QRect ToolWindowPlace(QSize frame, const ToolWindowRoom& room);
// Moves window (made smaller where it is larger than the screen) to that place beside
// main, on main's screen, among the other windows shown.
void PlaceToolWindow(QWidget* window, const QWidget* main, const QVector<QRect>& keepClear);

} // namespace platform
