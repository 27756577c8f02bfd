// SPDX-License-Identifier: GPL-3.0-or-later
// The 表示 menu's items for the window itself: 拡大 (1, 2 or 3 times; Ctrl+plus and
// Ctrl+minus), 速度 (標準, 速い, 最速) and 模様で区別, each remembered in the
// settings; and the main window's place on the screen, remembered when it closes.
#pragma once

#include <QObject>
#include <QSize>

#include <array>

#include "platform/settings.h"

class CKivView;
class CMainFrame;
class QAction;
class QActionGroup;
class QMenu;

class ViewOptions : public QObject {
    Q_OBJECT

public:
    // Adds the items to the frame's 表示 menu; owned by the frame.
    ViewOptions(CMainFrame& frame, CKivView& view);

    // Applies what the settings hold, before the window is first shown: the zoom
    // chosen before or, when none was ever chosen, the largest whose window fits the
    // screen (zoom, when not 0, instead, not remembered); the speed; the patterns;
    // the window's place.
    void Restore(int zoom = 0);

    // The player's choice: applied and remembered.
    void ChooseZoom(int factor);
    void ChooseSpeed(platform::settings::GameSpeed speed);
    void ChooseRulerPatterns(bool on);
    // A zoom applied but not remembered (the command line's, screenshots').
    void ApplyZoom(int factor);

    // The zoom a first start picks: the largest whose window fits the available area
    // of the screen the window is on.
    int FittingZoom() const;

    QAction* ZoomAction(int factor) const;
    QAction* ZoomInAction() const { return m_zoomIn; }
    QAction* ZoomOutAction() const { return m_zoomOut; }
    QAction* SpeedAction(platform::settings::GameSpeed speed) const;
    QAction* PatternsAction() const { return m_patterns; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    QMenu* m_zoomMenu = nullptr;
    QMenu* m_speedMenu = nullptr;
    // Room the window needs around the view at a zoom: the menu bar and the window's
    // frame (estimated before the window has ever been shown).
    QSize Chrome(int factor) const;
    // Keeps the whole window inside the available area of its screen.
    void KeepOnScreen();

    CMainFrame& m_frame;
    CKivView& m_view;
    std::array<QAction*, 3> m_zoomActions{};
    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    std::array<QAction*, 3> m_speedActions{};
    QAction* m_patterns = nullptr;
};
