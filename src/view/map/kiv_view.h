// SPDX-License-Identifier: GPL-3.0-or-later
// The one window in which the game is played: the map with the country numbers, the
// turn frame and the battle markers, the status panel, the seven command buttons and
// the end pictures. It paints the game its controller plays, with its own marks and
// the choice of a target being made, and turns clicks and keys into the controller's
// commands; the controller's messages and battles are shown here.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "control/game_controller.h"
#include "dialogs/game_files.h"
#include "rules/battle_odds.h"
#include "rules/commands.h"
#include "view/map/map_canvas.h"
#include "view/map/view_mode.h"
#include "view/map/game_speed.h"
#include "view/map/view_zoom.h"
#include "view/map/target_choice.h"

class Announcer;
class GameDocument;
class QPainter;
class QPushButton;

class CKivView : public QWidget {
    Q_OBJECT

public:
    CKivView(GameDocument& doc, GameController& game, QWidget* parent = nullptr);
    ~CKivView() override;

    // Creates the buttons (disabled), loads the view's pictures and records the data
    // directory.
    void OnInitialUpdate();

    GameDocument& GetDocument() { return m_doc; }
    // The game this window shows and plays.
    GameController& Game() const { return m_game; }
    const GameState& GetWorld() const { return m_game.World(); }

    // Interaction state, a mirror of the turn's description (never set here on its
    // own), the marks on the map and the status line.
    ViewMode mode = ViewMode::NoGame;
    ViewMarks marks;
    QString statusText;
    // Shown after the status line while it is set (a networked game's time left).
    QString statusTail;
    QString StatusLine() const { return statusText + statusTail; }
    QString dataDirectory;

    QImage markerBitmap;
    QImage victoryBitmap;
    QImage gameOverBitmap;
    QPushButton* moveButton = nullptr;
    QPushButton* warButton = nullptr;
    QPushButton* landButton = nullptr;
    QPushButton* commerceButton = nullptr;
    QPushButton* conscriptButton = nullptr;
    QPushButton* restButton = nullptr;
    QPushButton* trainButton = nullptr;

    // The worker handed the turn back at country: the view's part of it.
    void OnPlayerTurn(int country);

    void EnableCommands();  // all seven buttons
    void DisableCommands(); // the six action buttons; Rest is left as it is

    // The message window with text for a time; returns when it has closed.
    void ShowMessage(const QString& text, int milliseconds);

    // Commands.
    void OnRest();
    void OnMove();
    void OnWar();
    void OnDevelopLand();
    void OnDevelopCommerce();
    void OnConscript();
    void OnTrain();
    void OnLButtonDown(QPoint point);
    void OnRButtonDown(QPoint point);
    // A left click's work once the country under it is known (kNoCountry for none):
    // select it for the panel, then act by the mode. The keyboard's Enter picks the
    // country it has chosen through here as well.
    void PickCountry(int country);
    bool MoveToSelected();
    bool AttackSelected();

    // File menu: the flows of GameFiles (their dialogs, then the controller's new game,
    // save or load), on the bundled scenarios of dataDirectory.
    void OnNewGame() { m_files->ChooseNewGame(); }
    void OnSaveGame() { m_files->ChooseSave(); }
    void OnLoadGame() { m_files->ChooseLoad(); }
    GameFiles& Files() const { return *m_files; }

    // Composes the whole picture on the document's map (what a paint shows); when the
    // view is magnified, on a surface of the magnified size under the same scale.
    void OnDraw();
    // The picture the last OnDraw composed: the document's map at 1x.
    const QImage& Surface() const;

    // Magnification, a step of platform::kWindowScales (1, 1.5, 2, 3): the view, its
    // buttons and the fonts of the dialogs grow by it; the drawing and the clicks keep
    // the map's own pixels.
    void SetZoom(qreal factor);
    qreal Zoom() const { return m_zoom.Factor(); }

    // A light pattern over each ruler's countries (off: the map as it always is).
    void SetRulerPatterns(bool on);
    bool RulerPatterns() const { return m_rulerPatterns; }

    // The pace of the message and battle windows; the battles' outcomes never depend
    // on it.
    void SetSpeed(GameSpeed speed) { m_speed = speed; }
    GameSpeed Speed() const { return m_speed; }

    // A text a paint wrote on the surface, with the top left corner it was written at.
    using DrawnText = MapText;
    // While a list is given, each paint empties it and lists the texts it writes, in
    // the order written (tests read the panel's words from it).
    void RecordTexts(std::vector<DrawnText>* list) { m_drawnTexts = list; }

    // Ends a running worker for good: it stops at its next step and any window it has
    // open closes. Used when the program ends.
    void Shutdown();

    // Shorter windows for tests and screenshots: message windows and battle steps
    // last at most these many milliseconds (0: their normal times).
    void SetWindowTimes(int messageMs, int battleStepMs);

    // A point of this widget as a point of the 616 x 440 map, which clicks and the
    // drawing use (the map pixel under it at any zoom).
    QPoint ToMapPoint(QPoint widgetPoint) const;
    // The status panel and the command buttons, on the screen (global coordinates):
    // what a tool window keeps clear of where it can.
    QVector<QRect> ControlRects() const;
    // Opens window (a tool window of the game's) wholly on this window's screen, beside
    // the main window where there is room, else clear of the controls where it can be.
    void PlaceToolWindow(QWidget* window) const;

    // Shows text in the status line once, beside the game's own texts: the next text
    // the game writes replaces it, and after milliseconds the line the game wrote
    // before comes back.
    void ShowNotice(const QString& text, int milliseconds);
    // The keys: a command's key presses its button when the button is enabled; in a
    // choosing mode Escape cancels as the right button does, the arrow keys and Tab
    // step through the countries that may be chosen and Enter picks the one chosen.
    // True when the key was the view's. A repeated key (held down, or pressed before
    // the player's turn began) is taken but presses no button and picks no country.
    bool OnKey(int key, Qt::KeyboardModifiers modifiers, bool repeated);
    // A key pressed anywhere in the main window (the menu bar left in its keyboard mode,
    // the frame itself): handled by OnKey, and the keys' focus back on the map when it
    // was the view's. True when taken.
    bool TakeKey(QKeyEvent* event);
    // After a window of the game's has closed: the main window takes the keys again
    // when no window of the program has them.
    void KeysBack();
    // Whether OnKey takes the key in the mode now.
    bool IsViewKey(int key, Qt::KeyboardModifiers modifiers) const;
    // When the player's turn last began, on the clock of the key events.
    quint64 TurnBegan() const { return m_turnBegan; }
    // The country chosen (by the keys or the pointer) in a choosing mode, -1 when none.
    int KeyChoice() const { return m_choice.Country(); }
    // Words every command button's tooltip for the state of the game now.
    void UpdateCommandTips();
    // Each country's name written beside its number on the map (off: the specified
    // drawing alone).
    void SetCountryNames(bool on);
    bool CountryNames() const { return m_countryNames; }
    // Drawn at every paint over the map and beneath the countries' numbers, in the
    // map's own pixels (none: the map as it always is).
    void SetMapOverlay(std::function<void(QPainter&)> draw);
    // Marks the button of the command the advisor ranks first (a bold caption, and why
    // in its tooltip); none clears the mark. The mark goes when the turn ends.
    void SetAdvice(std::optional<TurnCommand> command, const QString& why = QString());
    QPushButton* AdvisedButton() const { return m_advisedButton; }
    // What the game tells a screen reader, and the country the keys are on.
    Announcer& Announce() const { return *m_announcer; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // The buttons and the mode as the turn's description says.
    void FollowTurn();
    // A move's or a war's target is to be chosen.
    void BeginChoice(TurnCommand command);
    // The status line from the rules' words, worded again when the language changes.
    void SetStatus(const platform::Message& words);
    // The same for a line the view words itself.
    void SetStatus(std::function<QString()> wording);
    // Paints the view now, before a window opens over it.
    void RefreshNow();
    void DoDomestic(DomesticCommand what);
    bool RunBattleWindow(BattleScript& script);
    bool Choosing() const;
    // Chooses a target of the war: the outline, the panel, the status line and the odds.
    void ShowWarOdds(int target);
    // Steps the keyboard's choice forward or back and names it in the status line.
    void StepChoice(int direction);
    // Outside a choice the arrows step the panel through the countries, as clicks on
    // them would.
    void StepShown(int direction);
    // Puts the command buttons at their places and size for the zoom.
    void ScaleButtons();
    // The first step of a paint: the document's map repainted for the mode. False
    // when there is no map.
    bool PaintMap();
    // The rest of a paint, in the map's own coordinates: numbers, turn frame,
    // markers, panel and end pictures.
    void DrawOnMap(QPainter& painter);
    // What the map painted by PaintMap depends on, so that a magnified view enlarges
    // it again only when it changes.
    QByteArray MapSignature() const;

    GameDocument& m_doc;
    GameController& m_game;
    GameFiles* m_files;
    Announcer* m_announcer;
    int m_messageMsLimit = 0;
    int m_battleStepMs = 0;
    std::vector<DrawnText>* m_drawnTexts = nullptr;
    ViewZoom m_zoom;
    bool m_rulerPatterns = false;
    GameSpeed m_speed = GameSpeed::Normal;
    TargetChoice m_choice;
    quint64 m_turnBegan = 0;
    bool m_countryNames = false;
    std::function<void(QPainter&)> m_overlay;
    std::function<QString()> m_statusWording;
    QString m_statusWorded; // what m_statusWording last gave
    QPushButton* m_advisedButton = nullptr;
    QString m_advisedWhy; // the advice's reason, in the advised button's tooltip
    BattleOdds m_odds; // of the war on the target chosen
    int m_shownBeforeChoice = -1; // the panel's country when a choice of target began
};
