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
    // Command ids of the menu.
    static constexpr int ID_FILE_NEW_GAME = 32771;
    static constexpr int ID_FILE_SAVE_GAME = 32776;
    static constexpr int ID_FILE_LOAD_GAME = 32777;
    static constexpr int ID_APP_EXIT = 57665;
    static constexpr int ID_APP_ABOUT = 57664;
    static constexpr int ID_HELP_KEYS = 32800; // 操作方法: the keyboard help window

    explicit CMainFrame(CKivView* view);

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

signals:
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

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
