// SPDX-License-Identifier: GPL-3.0-or-later
// The 表示 menu's items for the window itself: 拡大 (1, 1.5, 2 or 3 times; Ctrl+plus and
// Ctrl+minus), 速度 (標準, 速い, 最速), 模様で区別 and 先月の戦い (arrows for the
// battles since the player's last turn), each remembered in the settings; 自国一覧 (F4),
// the window of the player's own countries; and the main window's place on the
// screen, remembered when it closes.
#pragma once

#include <QObject>
#include <QSize>

#include <QPointer>

#include <array>
#include <memory>

#include "platform/settings.h"
#include "platform/window_scale.h"

class BattleArrows;
class CKivView;
class CMainFrame;
class OwnCountriesWindow;
class QAction;
class QActionGroup;
class QMenu;

class ViewOptions : public QObject {
    Q_OBJECT

public:
    // Adds the items to the frame's 表示 menu; owned by the frame.
    ViewOptions(CMainFrame& frame, CKivView& view);
    ~ViewOptions() override;

    // Applies what the settings hold, before the window is first shown: the zoom
    // chosen before or, when none was ever chosen, the largest whose window fits the
    // screen (zoom, when not 0, instead, not remembered); the speed; the patterns;
    // the window's place.
    void Restore(qreal zoom = 0);

    // The player's choice: applied and remembered.
    void ChooseZoom(qreal factor);
    void ChooseSpeed(platform::settings::GameSpeed speed);
    void ChooseRulerPatterns(bool on);
    void ChooseBattleArrows(bool on);
    // A zoom applied but not remembered (the command line's, screenshots').
    void ApplyZoom(qreal factor);

    // The zoom a first start picks: the largest whose window fits the available area
    // of the screen the window is on.
    qreal FittingZoom() const;

    QAction* ZoomAction(qreal factor) const;
    QAction* ZoomInAction() const { return m_zoomIn; }
    QAction* ZoomOutAction() const { return m_zoomOut; }
    QAction* SpeedAction(platform::settings::GameSpeed speed) const;
    QAction* PatternsAction() const { return m_patterns; }
    QAction* BattlesAction() const { return m_battles; }
    QAction* OwnCountriesAction() const { return m_ownCountries; }
    const BattleArrows& Battles() const { return *m_battleArrows; }
    // The window of the player's own countries, made when first asked for.
    OwnCountriesWindow& OwnCountries();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();
    void ApplyBattleArrows(bool on);
    QMenu* m_zoomMenu = nullptr;
    QMenu* m_speedMenu = nullptr;
    // Room the window needs around the view at a zoom: the menu bar and the window's
    // frame (estimated before the window has ever been shown).
    QSize Chrome(qreal factor) const;
    // Keeps the whole window inside the available area of its screen.
    void KeepOnScreen();

    CMainFrame& m_frame;
    CKivView& m_view;
    std::array<QAction*, platform::kWindowScales.size()> m_zoomActions{};
    QAction* m_zoomIn = nullptr;
    QAction* m_zoomOut = nullptr;
    std::array<QAction*, 3> m_speedActions{};
    QAction* m_patterns = nullptr;
    QAction* m_battles = nullptr;
    QAction* m_ownCountries = nullptr;
    std::unique_ptr<BattleArrows> m_battleArrows; // hears the view's game
    QPointer<QObject> m_viewAlive;               // the view, and its game, still stand
    QPointer<OwnCountriesWindow> m_ownWindow;
};
