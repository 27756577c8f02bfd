// SPDX-License-Identifier: GPL-3.0-or-later
// The application: the document, the main frame with its view, the about box.
#pragma once

#include <memory>

#include "app/kiv_doc.h"

class Chronicle;
class Ending;
class Language;
class CMainFrame;
class GameHistory;
class DifficultyMenu;
class BundleFiles;
class GameStory;
class HotSeat;
class SeatMenu;
class ViewOptions;
class CKivView;
class GameController;

class CKivApp {
public:
    CKivApp();
    ~CKivApp();

    // Creates the document, the frame and the view, loads the pictures and shows the
    // window on a white map. False when the program cannot start (the reason has been
    // shown).
    // zoom: a step of the windows' scale (1, 1.5, 2, 3) for this run only (not
    // remembered), 0 as the settings have it.
    bool InitInstance(qreal zoom = 0);

    void OnAppAbout();
    // SIGTERM or SIGINT: the program ends whatever windows are open. The worker stops
    // as when the window is closed, every dialog and message window closes, and every
    // event loop returns (the application's with status 0); one that a command would
    // start afterwards returns at once.
    void OnQuitSignal();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CKivView* View() const { return m_view; }
    // The game the windows play.
    GameController& Game() const { return *m_game; }
    CKivDoc& Document() { return m_doc; }
    ViewOptions* Options() const { return m_options; }
    GameHistory* History() const { return m_history; }
    DifficultyMenu* DifficultyChoice() const { return m_difficulty; }
    HotSeat* HotSeats() const { return m_hotSeat; }
    SeatMenu* Seats() const { return m_seats; }
    Chronicle* GetChronicle() const { return m_chronicle; }
    Ending* GetEnding() const { return m_ending; }
    // The game's record beside its saves, going back a turn, a record played back.
    GameStory* Story() const { return m_story; }
    BundleFiles* Bundles() const { return m_bundles; }
    Language& GetLanguage() { return *m_language; }

private:
    std::unique_ptr<Language> m_language;
    CKivDoc m_doc;
    std::unique_ptr<GameController> m_game; // outlives the windows that show it
    std::unique_ptr<CMainFrame> m_frame;
    CKivView* m_view = nullptr;
    ViewOptions* m_options = nullptr;  // owned by the frame
    GameHistory* m_history = nullptr; // owned by the frame
    DifficultyMenu* m_difficulty = nullptr; // owned by the frame
    HotSeat* m_hotSeat = nullptr;           // owned by the frame
    SeatMenu* m_seats = nullptr;            // owned by the frame
    Chronicle* m_chronicle = nullptr; // owned by the frame
    Ending* m_ending = nullptr;       // owned by the frame
    GameStory* m_story = nullptr;      // owned by the frame
    BundleFiles* m_bundles = nullptr;  // owned by the frame
};
