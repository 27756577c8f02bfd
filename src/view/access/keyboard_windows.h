// SPDX-License-Identifier: GPL-3.0-or-later
// The keys never stay caught in a window: Esc closes every window of the program that
// shows something beside the map as it closes a dialog, and when a window of the program closes and leaves no window
// with the keys (a display with no window manager gives them to none), the main window
// takes them back with the map's list of countries, which opened it.
#pragma once

#include <QObject>

class CKivView;

namespace accessible {

class KeyboardWindows : public QObject {
public:
    // Watches every window of the application for the map view's window.
    explicit KeyboardWindows(CKivView& view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CKivView& m_view;
};

} // namespace accessible
