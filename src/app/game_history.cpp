// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/game_history.h"

#include <QEvent>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "app/game_story.h"
#include "app/main_frame.h"
#include "view/windows/chronicle_log.h"
#include "platform/path_bytes.h"
#include "view/map/kiv_view.h"
#include "view/windows/start_panel.h"
#include "words/shown_text.h"

namespace settings = platform::settings;

namespace {

// A path short enough for a menu: its start and its end around an ellipsis.
QString MenuPath(const QString& path)
{
    constexpr int kLongest = 60;
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > kLongest)
        shown = shown.left(20) + QStringLiteral("...") + shown.right(kLongest - 23);
    return shown.replace(QLatin1Char('&'), QStringLiteral("&&")); // not a mnemonic
}

} // namespace

GameHistory::GameHistory(CMainFrame& frame, CKivView& view, const QString& autosaveFolder)
    : QObject(&frame), m_frame(frame), m_view(view), m_autosaves(autosaveFolder)
{
    QMenu* file = frame.FileMenu();
    QAction* tail = frame.FileMenuTail();
    m_resumeMenu = new QMenu(tr("自動ｾｰﾌﾞから再開(&A)"), file);
    // The menu is a window of its own: Qt tells it of a new language.
    m_resumeMenu->installEventFilter(this);
    file->insertMenu(tail, m_resumeMenu);
    m_recentSeparator = file->insertSeparator(tail);
    for (int i = 0; i < settings::kRecentFileCount; ++i) {
        auto* action = new QAction(file);
        file->insertAction(tail, action);
        connect(action, &QAction::triggered, this, [this, action] { OpenRecent(action->data().toString()); });
        action->setVisible(false);
        m_recent[static_cast<std::size_t>(i)] = action;
    }
    m_recentSeparator->setVisible(false);
    // The lists are filled when ﾌｧｲﾙ opens, not at start-up: reading the autosaves
    // would delay the window's first paint.
    connect(file, &QMenu::aboutToShow, this, &GameHistory::UpdateMenus);
    m_startPanel = new StartPanel(view);
    connect(m_startPanel, &StartPanel::opened, this, &GameHistory::UpdateMenus);
    connect(m_startPanel, &StartPanel::newGameChosen, &view, &CKivView::OnNewGame);
    connect(m_startPanel, &StartPanel::loadChosen, &view, &CKivView::OnLoadGame);
    connect(m_startPanel, &StartPanel::gameChosen, this, &GameHistory::OpenRecent);
    connect(&view.Game(), &GameController::playerTurnReached, this, &GameHistory::OnPlayerTurn);
    connect(&view.Game(), &GameController::gameSaved, this, &GameHistory::Remember);
    connect(&view.Game(), &GameController::worldReplaced, this, [this](const QString& path) {
        if (!path.isEmpty())
            Remember(path);
    });
}

QList<QAction*> GameHistory::MenuItems() const
{
    QList<QAction*> items = {m_resumeMenu->menuAction(), m_recentSeparator};
    for (QAction* action : m_recent)
        items.append(action);
    return items;
}

QString GameHistory::FailureText(const QString& reason)
{
    return tr("自動ｾｰﾌﾞできません: %1").arg(reason);
}

void GameHistory::OnPlayerTurn()
{
    // Only at the start of a turn of the player's, before his command: a save of that
    // moment gives him the same turn again.
    const GameController& game = m_view.Game();
    if (!game.AtPlayersTurn() || game.Phase() != TurnPhase::AwaitingCommand)
        return;
    const int cursor = game.SaveCursor();
    QString error;
    const bool saved = m_autosaves.Save(
        [&](const QString& path, QString* reason) {
            std::string why;
            if (!m_view.Game().Session().SaveGame(platform::PathToBytes(path), cursor, &why)) {
                if (reason)
                    *reason = shown::Reason(why);
                return false;
            }
            if ((!m_chronicle || m_chronicle->Save(ChronicleLog::ChroniclePath(path), reason)) &&
                (!m_story || m_story->SaveBeside(path, cursor, reason)))
                return true;
            // Without its chronicle or its record the autosave would resume a game without
            // its history.
            QFile::remove(path);
            return false;
        },
        &error);
    // A failure never stops the game; it is shown once, not again at every turn
    // while the folder stays unwritable.
    if (!saved && !m_lastAutosaveFailed)
        m_view.ShowNotice(FailureText(error), m_noticeMs);
    m_lastAutosaveFailed = !saved;
}

QString GameHistory::LeaveText(const QString& autosave)
{
    const QString lost = tr("最後にｾｰﾌﾞ・ﾛｰﾄﾞしてから出した命令は失われます。このｹﾞｰﾑを終えますか？");
    return autosave.isEmpty() ? lost : lost + QLatin1Char('\n') + tr("(今の手番の始めは 自動ｾｰﾌﾞから再開 の「%1」で続けられます)").arg(autosave);
}

bool GameHistory::MayLeaveGame()
{
    if (!m_view.Game().UnsavedCommands())
        return true;
    const std::vector<AutosaveStore::Entry> entries = m_autosaves.Entries();
    const QString text = LeaveText(entries.empty() ? QString() : AutosaveGameName(entries.front()));
    if (m_ask)
        return m_ask(text);
    return QMessageBox::question(&m_frame, QStringLiteral("Velcor"), text) == QMessageBox::Yes;
}

void GameHistory::Remember(const QString& path)
{
    // The autosaves come and go by themselves; they have their own menu.
    if (m_autosaves.Holds(path))
        return;
    settings::AddRecentFile(QFileInfo(path).absoluteFilePath());
    UpdateMenus();
}

void GameHistory::OpenRecent(const QString& path)
{
    if (!MayLeaveGame())
        return;
    if (m_view.Files().LoadGame(path))
        return;
    // A file that is gone leaves the list; one that was refused stays, its reason shown.
    if (!QFileInfo::exists(path)) {
        QStringList files = settings::RecentFiles();
        files.removeAll(path);
        settings::SetRecentFiles(files);
        UpdateMenus();
    }
}

void GameHistory::UpdateMenus()
{
    const bool canLoad = m_view.Game().CanStartGame();

    m_resumeMenu->clear();
    const std::vector<AutosaveStore::Entry> entries = m_autosaves.Entries();
    for (const AutosaveStore::Entry& entry : entries) {
        QAction* action = m_resumeMenu->addAction(AutosaveLabel(entry));
        action->setData(entry.path);
        action->setEnabled(canLoad);
        const QString path = entry.path;
        connect(action, &QAction::triggered, this, [this, path] {
            if (MayLeaveGame())
                m_view.Files().LoadGame(path);
        });
    }
    if (entries.empty())
        m_resumeMenu->addAction(tr("(なし)"))->setEnabled(false);

    const QStringList files = settings::RecentFiles();
    QList<StartPanel::Game> recent;
    for (const QString& file : files)
        recent.append({QFileInfo(file).fileName(), file});
    m_startPanel->SetGames(entries.empty() ? std::nullopt
                                           : std::optional<StartPanel::Game>({AutosaveGameName(entries.front()),
                                                                               entries.front().path}),
                           recent);

    m_recentSeparator->setVisible(!files.isEmpty());
    for (int i = 0; i < settings::kRecentFileCount; ++i) {
        QAction* action = m_recent[static_cast<std::size_t>(i)];
        const bool used = i < files.size();
        action->setVisible(used);
        if (!used)
            continue;
        action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(MenuPath(files[i])));
        action->setData(files[i]);
        action->setEnabled(canLoad);
    }
}

bool GameHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_resumeMenu && event->type() == QEvent::LanguageChange)
        m_resumeMenu->setTitle(tr("自動ｾｰﾌﾞから再開(&A)"));
    return QObject::eventFilter(watched, event);
}
