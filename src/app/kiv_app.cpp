// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kiv_app.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QStandardPaths>

#include <iostream>

#include "app/about_dlg.h"
#include "app/autosave.h"
#include "app/bundle_files.h"
#include "app/chronicle.h"
#include "app/difficulty_menu.h"
#include "app/ending.h"
#include "app/game_history.h"
#include "app/game_story.h"
#include "app/hot_seat.h"
#include "app/seat_menu.h"
#include "app/language.h"
#include "app/main_frame.h"
#include "app/network_game.h"
#include "app/view_options.h"
#include "control/game_controller.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/windows.h"
#include "view/access/access_menu.h"
#include "view/access/keyboard_windows.h"
#include "view/access/map_access.h"
#include "view/windows/advice_wnd.h"
#include "view/editor/scenario_editor.h"
#include "view/map/kiv_view.h"

CKivApp::CKivApp() : m_language(std::make_unique<Language>()), m_game(std::make_unique<GameController>())
{
    // The settings live under the organisation and the program's name.
    QCoreApplication::setOrganizationName(QStringLiteral("Brakka"));
    QCoreApplication::setApplicationName(QStringLiteral("Velcor"));
    if (const QString file = platform::settings::GuardSettingsFiles(); !file.isEmpty())
        std::cerr << "velcor: the settings file " << file.toStdString()
                  << " is not a plain file; this run starts from the default settings and does not save them\n";
}

CKivApp::~CKivApp()
{
    // The worker reports to the windows' logs: it ends before the frame and its windows
    // go, also when the program ends without the frame being closed.
    if (m_game)
        m_game->EndWorker();
}

bool CKivApp::InitInstance(qreal zoom)
{
    // The language first: every window is made in it.
    m_language->Apply(Language::Initial());
    if (!m_doc.OnNewDocument()) {
        platform::ShowMessageBox(nullptr, QCoreApplication::translate("CKivApp", "地図の画像を読み込めません。プログラムを終了します。"));
        return false;
    }
    accessible::InstallMapAccess(); // before the map view is first asked for
    m_view = new CKivView(m_doc, *m_game);
    m_frame = std::make_unique<CMainFrame>(m_view);
    platform::SetMainWindow(m_frame.get());
    QObject::connect(m_frame.get(), &CMainFrame::aboutRequested, m_frame.get(), [this] { OnAppAbout(); });
    m_view->OnInitialUpdate();
    m_chronicle = new Chronicle(*m_frame, *m_view);
    // A run that keeps no autosave (a picture) keeps no records either.
    m_ending = new Ending(*m_frame, *m_view, m_chronicle->Log(),
                           AutosaveStore::DefaultFolder().isEmpty()
                               ? QString()
                               : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    AddAdviceCommand(*m_frame->ViewMenu(), *m_view, *m_frame);
    accessible::AddAccessCommands(*m_frame->ViewMenu(), *m_view);
    new accessible::KeyboardWindows(*m_view); // owned by the view
    m_language->AddMenu(m_frame->ViewMenu());
    m_options = new ViewOptions(*m_frame, *m_view);
    // Before the autosaves: a game played back shuts the player's buttons at his turn
    // before an autosave would be made of it.
    m_story = new GameStory(*m_frame, *m_view, m_chronicle);
    m_bundles = new BundleFiles(*m_frame, *m_view);
    m_ending->SetWatching([story = m_story] { return story->Replaying(); });
    m_hotSeat = new HotSeat(*m_frame, *m_view); // owned by the frame
    m_hotSeat->SetWatching([story = m_story] { return story->Replaying(); });
    m_seats = new SeatMenu(*m_frame, *m_view); // owned by the frame
    m_history = new GameHistory(*m_frame, *m_view, AutosaveStore::DefaultFolder());
    m_history->KeepChronicle(&m_chronicle->Log());
    // Leaving a game with a command not saved asks first, pointing to the autosave.
    m_view->Files().SetLeaveQuestion([history = m_history] { return history->MayLeaveGame(); });
    m_difficulty = new DifficultyMenu(*m_frame, *m_view); // owned by the frame
    new NetworkGame(*m_frame, *m_view);                    // owned by the frame
    m_history->KeepRecord(m_story);
    editor::AddScenarioEditorCommand(*m_frame->FileMenu(), m_frame->FileMenuTail(), *m_frame,
                                     [view = m_view] { return view->dataDirectory; });
    // A game of the records table is watched again from its record.
    QObject::connect(m_ending, &Ending::watchRequested, m_frame.get(), [this](const QString& path) {
        if (!m_view->Files().MayLeaveGame())
            return;
        QString why;
        if (!m_story->StartReplay(path, &why))
            platform::ShowMessageBox(m_frame.get(), why);
    });
    m_options->Restore(zoom);
    // The legend of the chronicle's ruler table shows the map's patterns with it.
    QAction* patterns = m_options->PatternsAction();
    m_chronicle->SetRulerPatterns(patterns->isChecked());
    QObject::connect(patterns, &QAction::toggled, m_chronicle, &Chronicle::SetRulerPatterns);
    m_frame->OnUpdateCommands();
    m_frame->OnMenusMade();
    m_frame->show();
    // The keys go to the map from the start.
    m_frame->activateWindow();
    m_view->setFocus();
    m_chronicle->RestoreWindow();
    return true;
}

void CKivApp::OnQuitSignal()
{
    if (m_view)
        m_view->Shutdown();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible())
            window->close();
    }
    QCoreApplication::exit(0);
}

void CKivApp::OnAppAbout()
{
    CAboutDlg dlg;
    dlg.exec();
}
