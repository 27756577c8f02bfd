// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QRegularExpression>

#include "dialogs/keys_dlg.h"
#include "view/commands/command_table.h"
#include "view/map/kiv_view.h"

namespace {
const char* const kMenuFitted = "velcorWordsWhole";

// A menu measures an item's words without a mnemonic in brackets ("標準(&N)" as "標準")
// and then cuts them short: it is made as much wider as the widest of those brackets.
void KeepWordsWhole(QMenu& menu)
{
    static const QRegularExpression bracketed(QStringLiteral("\\(&(.)\\)"));
    int room = 0;
    for (const QAction* action : menu.actions())
        if (const QRegularExpressionMatch m = bracketed.match(action->text()); m.hasMatch())
            room = qMax(room, menu.fontMetrics().horizontalAdvance(QStringLiteral("(%1)").arg(m.captured(1))));
    // The items are measured again at each step (a font change makes the menu do so).
    QEvent measureAgain(QEvent::FontChange);
    menu.setMinimumWidth(0);
    QCoreApplication::sendEvent(&menu, &measureAgain);
    if (room == 0)
        return;
    menu.setMinimumWidth(menu.sizeHint().width() + room);
    QCoreApplication::sendEvent(&menu, &measureAgain);
}

QAction* AddCommand(QMenu* menu, int id)
{
    QAction* action = menu->addAction(QString());
    action->setData(id);
    return action;
}
} // namespace

CMainFrame::CMainFrame(CKivView* view) : m_view(view)
{
    setWindowTitle(QStringLiteral("Velcor"));
    // A caption, a system menu and a minimise box: no sizing border, no maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    QIcon icon;
    for (int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/res/128-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);

    QMenu* file = menuBar()->addMenu(QString());
    m_fileMenu = file;
    m_newGame = AddCommand(file, CommandTable::ID_FILE_NEW_GAME);
    file->addSeparator();
    m_save = AddCommand(file, CommandTable::ID_FILE_SAVE_GAME);
    m_load = AddCommand(file, CommandTable::ID_FILE_LOAD_GAME);
    m_exitSeparator = file->addSeparator();
    m_exit = AddCommand(file, CommandTable::ID_APP_EXIT);
    QMenu* help = menuBar()->addMenu(QString());
    m_helpMenu = help;
    m_keys = AddCommand(help, CommandTable::ID_HELP_KEYS);
    m_keys->setShortcut(CommandTable::HelpKey());
    m_about = AddCommand(help, CommandTable::ID_APP_ABOUT);
    Retranslate();
    // The usual accelerators beside the menus' own mnemonics.
    for (const MenuKey& key : CommandTable::MenuKeys())
        Command(key.id)->setShortcut(key.keys);

    connect(m_newGame, &QAction::triggered, m_view, &CKivView::OnNewGame);
    connect(m_save, &QAction::triggered, m_view, &CKivView::OnSaveGame);
    connect(m_load, &QAction::triggered, m_view, &CKivView::OnLoadGame);
    connect(m_exit, &QAction::triggered, this, &QWidget::close);
    connect(m_about, &QAction::triggered, this, &CMainFrame::aboutRequested);
    connect(m_keys, &QAction::triggered, this, [] {
        KeysDialog dlg(CommandTable::AllKeys());
        dlg.exec();
    });
    connect(file, &QMenu::aboutToShow, this, &CMainFrame::OnUpdateCommands);
    connect(&m_view->Game(), &GameController::turnDescribed, this, &CMainFrame::OnUpdateCommands);

    // A menu closed with Escape leaves the menu bar waiting for a menu's letter: the
    // game's own keys still reach the map.
    menuBar()->installEventFilter(this);
    setCentralWidget(m_view);
    // The whole 616 x 440 surface below the menu bar, and not resizable.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    OnUpdateCommands();
}

QAction* CMainFrame::Command(int id) const
{
    for (QAction* action : {m_newGame, m_save, m_load, m_exit, m_about, m_keys})
        if (action->data().toInt() == id)
            return action;
    return nullptr;
}

QMenu* CMainFrame::ViewMenu()
{
    if (!m_viewMenu) {
        m_viewMenu = new QMenu(tr("表示(&V)"), this);
        menuBar()->insertMenu(m_helpMenu->menuAction(), m_viewMenu);
    }
    return m_viewMenu;
}

void CMainFrame::OnUpdateCommands()
{
    const GameController& game = m_view->Game();
    m_save->setEnabled(game.CanSave());
    m_newGame->setEnabled(game.CanStartGame());
    m_load->setEnabled(game.CanStartGame() && !game.Networked());
}

void CMainFrame::Retranslate()
{
    m_fileMenu->setTitle(tr("ﾌｧｲﾙ(&F)"));
    m_newGame->setText(tr("ｹﾞｰﾑ開始(&N)"));
    m_save->setText(tr("ｾｰﾌﾞ(&S)"));
    m_load->setText(tr("ﾛｰﾄﾞ(&L)"));
    m_exit->setText(tr("ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"));
    m_helpMenu->setTitle(tr("ﾍﾙﾌﾟ(&H)"));
    m_keys->setText(tr("操作方法(&K)..."));
    m_about->setText(tr("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    if (m_viewMenu)
        m_viewMenu->setTitle(tr("表示(&V)"));
}

void CMainFrame::OnMenusMade()
{
    QList<QMenu*> menus;
    for (QAction* action : menuBar()->actions())
        if (action->menu())
            menus.append(action->menu());
    while (!menus.isEmpty()) {
        QMenu* menu = menus.takeFirst();
        if (!menu->property(kMenuFitted).toBool()) {
            menu->setProperty(kMenuFitted, true);
            connect(menu, &QMenu::aboutToShow, menu, [menu] { KeepWordsWhole(*menu); });
        }
        for (QAction* action : menu->actions()) {
            if (action->menu())
                menus.append(action->menu());
            else if (!action->shortcuts().isEmpty())
                action->setShortcutContext(Qt::ApplicationShortcut);
        }
    }
}

void CMainFrame::keyPressEvent(QKeyEvent* event)
{
    // A key with no widget of the window to take it (the focus nowhere) is the map's.
    if (!m_view->TakeKey(event))
        QMainWindow::keyPressEvent(event);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == menuBar() && event->type() == QEvent::KeyPress && !QApplication::activePopupWidget() &&
        m_view->TakeKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retranslate();
    QMainWindow::changeEvent(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // A command given since the game was last saved is lost unless the player keeps
    // the window (never asked when the program is told to end). A running worker and
    // any window it has open are ended first.
    if (!m_view->Game().StopRequested() && !m_view->Files().MayLeaveGame()) {
        event->ignore();
        return;
    }
    m_view->Shutdown();
    event->accept();
}
