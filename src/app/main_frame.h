// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: a fixed-size frame with the menu bar and the view below it.
#pragma once

#include <QMainWindow>

class CKivView;
class QAction;
class QMenu;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    explicit CMainFrame(CKivView* view);

    // The menu item of a command id (CommandTable::ID_FILE_NEW_GAME...).
    QAction* Command(int id) const;
    // The 表示 menu, between ﾌｧｲﾙ and ﾍﾙﾌﾟ; made on first use, so that each feature
    // appends only its own items.
    QMenu* ViewMenu();
    // The ﾌｧｲﾙ menu and the separator above its exit item: features insert their
    // items before that separator.
    QMenu* FileMenu() const { return m_fileMenu; }
    QAction* FileMenuTail() const { return m_exitSeparator; }
    CKivView* View() const { return m_view; }

    // Greys the commands the view's mode does not allow.
    void OnUpdateCommands();
    // Called once the menus are made (and when one is added): every key of the menus
    // works from every window of the game (the chronicle, the tool windows), not only
    // from this one, and every item's words are shown whole.
    void OnMenusMade();

signals:
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Retranslate();

    CKivView* m_view;
    QAction* m_newGame;
    QAction* m_save;
    QAction* m_load;
    QAction* m_exit;
    QAction* m_about;
    QMenu* m_fileMenu = nullptr;
    QAction* m_exitSeparator = nullptr;
    QAction* m_keys;
    QMenu* m_helpMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
};
