// The main window every modal window belongs to, whichever thread asked for it.
#pragma once

class QWidget;

namespace platform {

void SetMainWindow(QWidget* window);
// The main window, or null before it exists (and in tests without one).
QWidget* MainWindow();

// Places window centred over owner (over the main window when owner is null).
void CentreOnOwner(QWidget* window, QWidget* owner = nullptr);

} // namespace platform
