// Pictures of the game's windows for reviewing the art and the layouts: the main
// window at the player's first turn of a scenario, each dialog as the game opens it,
// and the battle window in the middle of a fight. Runs on Qt's offscreen platform.
//
//   velcor-shots OUT_DIR [SCENARIO RULER [ZOOM]]
//
// The player's own settings are neither read nor written (Qt's test locations are
// used), so every run shows the game as it first starts, at the zoom given (1 when
// none is). When the 移動 button has a tooltip, a picture of the main window with it
// shown is made as well.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolTip>
#include <QTimer>

#include <cstdio>
#include <iostream>

#include "app/about_dlg.h"
#include "app/kiv_app.h"
#include "app/main_frame.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "model/game_state.h"
#include "platform/clock.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include "view/battle_dlg.h"
#include "view/kiv_view.h"

namespace {

bool Save(QWidget& window, const QString& path)
{
    const bool saved = window.grab().save(path, "PNG");
    std::cout << (saved ? "wrote " : "cannot write ") << path.toStdString() << "\n";
    return saved;
}

// The window with the tooltip of button shown over it, as the player sees it when
// the pointer rests on the button (a tooltip is a window of its own, so the two
// pictures are put together).
bool SaveWithTooltip(QWidget& window, QWidget& button, const QString& path)
{
    QToolTip::showText(button.mapToGlobal(QPoint(button.width() / 2, button.height())), button.toolTip(), &button);
    QApplication::processEvents();
    QWidget* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible())
            tip = w;
    if (!tip) {
        std::cout << "no tooltip was shown\n";
        return false;
    }
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    painter.drawPixmap(tip->pos() - window.mapToGlobal(QPoint(0, 0)), tip->grab());
    painter.end();
    QToolTip::hideText();
    const bool saved = picture.save(path, "PNG");
    std::cout << (saved ? "wrote " : "cannot write ") << path.toStdString() << "\n";
    return saved;
}

// Opens a dialog as the game does, photographs it once it has been shown for a while
// (after choosing, in a dialog of choices, the button of that name) and closes it
// without effect.
bool ShootModal(QDialog& dialog, const QString& path, int afterMs = 200, const char* choose = nullptr)
{
    bool saved = false;
    QTimer::singleShot(afterMs, &dialog, [&] {
        if (choose)
            if (auto* button = dialog.findChild<QAbstractButton*>(QString::fromLatin1(choose)))
                button->click();
        saved = Save(dialog, path);
        if (auto* battle = qobject_cast<CBattleDlg*>(&dialog))
            battle->Abandon();
        else
            dialog.reject();
    });
    dialog.exec();
    return saved;
}

// The player's first neighbour of his own and his first hostile one.
void Neighbours(int country, int& own, int& hostile)
{
    own = hostile = -1;
    const RulerId ruler = GameState::countries[static_cast<std::size_t>(country)].GetRuler();
    for (std::uint32_t n : GameState::countries[static_cast<std::size_t>(country)].GetNeighbours()) {
        if (n >= static_cast<std::uint32_t>(kCountryCount))
            continue;
        const RulerId other = GameState::countries[n].GetRuler();
        if (other == ruler && own < 0)
            own = static_cast<int>(n);
        else if (other != ruler && hostile < 0)
            hostile = static_cast<int>(n);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2 && args.size() != 4 && args.size() != 5) {
        std::cerr << "usage: velcor-shots OUT_DIR [SCENARIO RULER [ZOOM]]\n";
        return 2;
    }
    const QDir out(args[1]);
    const int scenario = args.size() >= 4 ? args[2].toInt() : 3;
    const int ruler = args.size() >= 4 ? args[3].toInt() : 1;
    const int zoom = args.size() == 5 ? args[4].toInt() : 1;
    if (!QDir().mkpath(out.path()) || scenario < 1 || scenario > 3 || ruler < 1 || ruler > kRulerCount - 1 ||
        zoom < 1 || zoom > 3) {
        std::cerr << "velcor-shots: bad arguments\n";
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);
    platform::FixClock(1'700'000'000);

    CKivApp app;
    if (!app.InitInstance(zoom))
        return 1;
    CKivView* view = app.View();
    view->SetWindowTimes(1, 0);
    bool ok = true;

    CScenarioDlg scenarioDlg;
    ok &= ShootModal(scenarioDlg, out.filePath(QStringLiteral("scenario-dialog.png")), 200, "scenario1");
    CRulerDlg rulerDlg;
    rulerDlg.m_nScenario = scenario - 1;
    rulerDlg.m_strDataDir = view->dataDirectory;
    ok &= ShootModal(rulerDlg, out.filePath(QStringLiteral("ruler-dialog.png")), 200, "ruler1");
    CAboutDlg about;
    ok &= ShootModal(about, out.filePath(QStringLiteral("about-dialog.png")));

    QEventLoop toPlayer;
    QObject::connect(view, &CKivView::playerTurnReached, &toPlayer, &QEventLoop::quit, Qt::QueuedConnection);
    if (!view->NewGame(scenario - 1, static_cast<RulerId>(ruler))) {
        std::cerr << "velcor-shots: the scenario could not be started\n";
        return 1;
    }
    toPlayer.exec();
    QApplication::processEvents();
    if (view->mode != ViewMode::PlayerTurn) {
        std::cerr << "velcor-shots: the player lost before his first turn; try another ruler\n";
        return 1;
    }
    ok &= Save(*app.MainFrame(), out.filePath(QStringLiteral("main-window.png")));
    if (!view->moveButton->toolTip().isEmpty())
        ok &= SaveWithTooltip(*app.MainFrame(), *view->moveButton, out.filePath(QStringLiteral("main-window-tooltip.png")));
    else
        std::cout << "the buttons have no tooltips; no main-window-tooltip.png\n";

    const int country = GameState::turnCountry;
    int own = -1;
    int hostile = -1;
    Neighbours(country, own, hostile);
    if (own >= 0) {
        const Country& s = GameState::countries[static_cast<std::size_t>(country)];
        CMoveDlg move;
        move.SetMaxProvisions(s.GetProvisions());
        move.SetMaxFunds(s.GetFunds());
        move.SetMaxSoldiers(s.GetSoldiers());
        move.m_strTitle = QString::fromStdString(MoveTitleText(country, own));
        ok &= ShootModal(move, out.filePath(QStringLiteral("move-dialog.png")));
    } else {
        std::cout << "no country of the player's borders his first; no move dialog\n";
    }
    if (hostile >= 0) {
        BattleScript script(country, hostile);
        CBattleDlg battle(script);
        ok &= ShootModal(battle, out.filePath(QStringLiteral("battle-window.png")), 1700);
    }
    app.MainFrame()->close();
    return ok ? 0 : 1;
}
