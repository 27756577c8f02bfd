// SPDX-License-Identifier: GPL-3.0-or-later
// The main window every modal window belongs to, whichever thread asked for it.
#pragma once

class QWidget;

namespace platform {

void SetMainWindow(QWidget* window);
// The main window, or null before it exists (and in tests without one).
QWidget* MainWindow();

// Places window centred over owner (over the main window when owner is null), moved
// inside the available area of the owner's screen where it would reach beyond it.
void CentreOnOwner(QWidget* window, QWidget* owner = nullptr);

} // namespace platform
