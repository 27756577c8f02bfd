// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of the game's windows for reviewing the art and the layouts: the main
// window at the player's first turn of a scenario, each dialog as the game opens it,
// the battle window in the middle of a fight, and after ten years of play the
// chronicle window's three tabs, the map with the country names and a country's
// tooltip, a networked game's invitations and lobby. Runs on Qt's offscreen platform.
//
//   velcor-shots OUT_DIR [SCENARIO RULER [ZOOM [LANGUAGE]]]     ZOOM: 1, 1.5, 2 or 3
//
// The player's own settings are neither read nor written (Qt's test locations are
// used), so every run shows the game as it first starts, at the zoom given (1 when
// none is), in the language given ("ja", the game's own, when none is; or "en"). The
// save window (Qt's file dialog) is photographed too.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QHelpEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <iostream>
#include <sstream>

#include "app/about_dlg.h"
#include "app/ending.h"
#include "app/view_options.h"
#include "app/chronicle.h"
#include "app/hot_seat.h"
#include "app/kiv_app.h"
#include "app/language.h"
#include "app/main_frame.h"
#include "app/network_game.h"
#include "app/network_join.h"
#include "netgame/desktop_host.h"
#include "netgame/desktop_join.h"
#include "transport/join_client.h"
#include "control/game_controller.h"
#include "dialogs/keys_dlg.h"
#include "view/commands/command_table.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "dialogs/seats_dialog.h"
#include "model/country_file.h"
#include "model/game_state.h"
#include "model/scenario_file.h"
#include "view/map/hand_over_notice.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/settings.h"
#include "platform/window_scale.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include "view/battle/battle_dlg.h"
#include "view/windows/advice_wnd.h"
#include "view/windows/best_games_wnd.h"
#include "view/windows/chronicle_log.h"
#include "view/windows/game_summary_wnd.h"
#include "view/windows/own_countries_wnd.h"
#include "view/map/kiv_view.h"
#include "view/map/map_labels.h"
#include "words/shown_text.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolTip>

namespace {

bool Save(QWidget& window, const QString& path)
{
    const bool saved = window.grab().save(path, "PNG");
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

// The save window as the game opens it, photographed and cancelled.
bool ShootFileDialog(QWidget& owner, const QString& path)
{
    bool saved = false;
    QTimer::singleShot(400, &owner, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->resize(640, 420);
            QApplication::processEvents();
            saved = Save(*dialog, path);
            dialog->reject();
        }
    });
    // A folder of its own with a saved game in it, the same on every machine.
    QTemporaryDir folder;
    QFile game(folder.filePath(QStringLiteral("game1.txt")));
    game.open(QIODevice::WriteOnly);
    game.close();
    platform::settings::SetLastGameFolder(folder.path());
    platform::GetSaveGamePath(&owner);
    return saved;
}

// The player's first neighbour of his own and his first hostile one.
void Neighbours(const GameState& world, int country, int& own, int& hostile)
{
    own = hostile = -1;
    const RulerId ruler = world.countries[static_cast<std::size_t>(country)].GetRuler();
    for (std::uint32_t n : world.countries[static_cast<std::size_t>(country)].GetNeighbours()) {
        if (n >= static_cast<std::uint32_t>(kCountryCount))
            continue;
        const RulerId other = world.countries[n].GetRuler();
        if (other == ruler && own < 0)
            own = static_cast<int>(n);
        else if (other != ruler && hostile < 0)
            hostile = static_cast<int>(n);
    }
}

// Shows the tooltip a help event at (at, in widget's coordinates) raises and returns
// the window's picture with it; the picture grows when the tooltip reaches past the
// window. Empty when no tooltip appeared.
QImage GrabWithTooltip(QWidget& window, QWidget& widget, QPoint at)
{
    QHelpEvent help(QEvent::ToolTip, at, widget.mapToGlobal(at));
    QApplication::sendEvent(&widget, &help);
    QApplication::processEvents();
    const QImage windowShot = window.grab().toImage();
    QImage shot;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible()) {
            const QRect tip(w->pos() - window.pos(), w->size());
            const QRect all = QRect(QPoint(0, 0), windowShot.size()).united(tip);
            shot = QImage(all.size(), QImage::Format_RGB32);
            shot.fill(Qt::white);
            QPainter painter(&shot);
            painter.drawImage(-all.topLeft(), windowShot);
            painter.drawPixmap(tip.topLeft() - all.topLeft(), w->grab());
        }
    }
    QToolTip::hideText();
    return shot;
}

bool SaveShot(const QImage& shot, const QString& path)
{
    const bool saved = !shot.isNull() && shot.save(path, "PNG");
    std::cout << (saved ? "wrote " : "cannot write ") << path.toStdString() << "\n";
    return saved;
}

// The whole screen, as the player sees it with the windows open (on a real display;
// the offscreen platform has no screen picture to give).
bool SaveScreen(const QString& path)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return true;
    QApplication::processEvents();
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const bool saved = !screen.isNull() && screen.save(path, "PNG");
    std::cout << (saved ? "wrote " : "cannot write ") << path.toStdString() << "\n";
    return saved;
}

// The main window with the tooltip of a command button shown over it, as the player
// sees it when the pointer rests on the button.
bool ShootTooltip(QWidget& window, QPushButton* button, const QString& path)
{
    return SaveShot(GrabWithTooltip(window, *button, button->rect().center()), path);
}

// Waits until the worker hands the turn to the player.
void PlayToPlayer(CKivView* view, const std::function<void()>& start)
{
    QEventLoop loop;
    QObject::connect(&view->Game(), &GameController::playerTurnReached, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    start();
    loop.exec();
    QApplication::processEvents();
}

// The scenario's start with the player's countries held by an army no computer ruler
// attacks (as the pinned held games), so that ten years pass with the computer rulers
// at war among themselves.
bool WriteHeldStart(const QString& dataDir, int scenario, RulerId ruler, const QString& path)
{
    GameState loaded;
    if (LoadCountryFile(loaded, CountryFilePath(dataDir.toStdString(), scenario)).status != LoadStatus::Loaded)
        return false;
    WorldRecord world = CaptureWorld(loaded, -1);
    world.playerRuler = ruler;
    for (CountryRecord& c : world.countries) {
        if (c.ruler == ruler) {
            c.soldiers = 2000000;
            c.training = 100;
            c.provisions = 100000000;
        }
    }
    std::string error;
    return WriteCountryFile(path.toStdString(), world, &error);
}

// The main window with the tooltip of a country where the pointer rests on it, the
// pointer drawn as an arrow.
bool ShootCountryTooltip(CMainFrame& frame, CKivView& view, int country, const QString& path)
{
    const Country& c = view.GetWorld().countries[static_cast<std::size_t>(country)];
    const QPoint at(c.GetMapX() - 10, c.GetMapY() + 6);
    QImage picture = GrabWithTooltip(frame, view, at);
    if (!picture.isNull()) {
        QPainter p(&picture);
        const QPoint tipAt = view.mapTo(&frame, at);
        const QPoint arrow[] = {tipAt, tipAt + QPoint(0, 14), tipAt + QPoint(4, 10), tipAt + QPoint(9, 10)};
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawPolygon(arrow, 4);
    }
    return SaveShot(picture, path);
}

// Ten years of play from a held start, then the chronicle window's tabs, the map with
// the country names and a tooltip.
bool ShootChronicle(CKivApp& app, const QDir& out, int scenario, RulerId ruler)
{
    CKivView* view = app.View();
    Chronicle* chronicle = app.GetChronicle();
    QTemporaryDir scratch;
    const QString start = scratch.filePath(QStringLiteral("held.txt"));
    if (!WriteHeldStart(view->dataDirectory, scenario, ruler, start)) {
        std::cerr << "velcor-shots: the held start could not be written\n";
        return false;
    }
    PlayToPlayer(view, [&] { view->Files().LoadGame(start); });
    const int firstYear = view->GetWorld().year;
    while (view->mode == ViewMode::PlayerTurn && view->GetWorld().year < firstYear + 10)
        PlayToPlayer(view, [&] { view->OnRest(); });
    if (chronicle->ReportWindow().isVisible()) {
        Save(chronicle->ReportWindow(), out.filePath(QStringLiteral("turn-report.png")));
        SaveScreen(out.filePath(QStringLiteral("screen-report.png")));
    }
    chronicle->ReportWindow().hide();
    bool ok = true;
    ChronicleWindow& wnd = chronicle->Window();
    wnd.resize(640, 480);
    wnd.show();
    const char* const tabs[] = {"chronicle-list.png", "chronicle-chart.png", "chronicle-standings.png"};
    wnd.FilterBox()->setCurrentIndex(1); // the wars: what the ten years were about
    for (int tab = 0; tab < 3; ++tab) {
        wnd.Tabs()->setCurrentIndex(tab);
        QApplication::processEvents();
        ok &= Save(wnd, out.filePath(QString::fromLatin1(tabs[tab])));
    }
    wnd.FilterBox()->setCurrentIndex(0);
    wnd.hide();
    view->SetCountryNames(true);
    QApplication::processEvents();
    ok &= Save(*app.MainFrame(), out.filePath(QStringLiteral("map-names.png")));
    view->SetCountryNames(false);
    ok &= ShootCountryTooltip(*app.MainFrame(), *view, view->GetWorld().turnCountry, out.filePath(QStringLiteral("map-tooltip.png")));
    return ok;
}

// A game of two people: the seats dialog as they were chosen, then the first person's
// turn, the hand-over notice over the map, and the second person's turn once taken.
bool ShootHotSeat(CKivApp& app, const QDir& out, int scenario, RulerId ruler)
{
    CKivView* view = app.View();
    const ScenarioList offered = ReadScenarioFile(ScenarioFilePath(view->dataDirectory.toStdString(), scenario));
    std::vector<SeatsDialog::Offered> rulers;
    for (RulerId r : offered.rulers)
        rulers.push_back({r, shown::RulerName(r)});
    RulerId second = 0;
    for (RulerId r : offered.rulers)
        if (r != ruler && second == 0)
            second = r;
    if (second == 0) {
        std::cout << "the scenario offers one ruler; no game of two\n";
        return true;
    }
    SeatsDialog seats(rulers, ruler, Difficulty::Normal);
    for (std::size_t i = 0; i < rulers.size(); ++i)
        if (rulers[i].ruler == second)
            seats.Field(static_cast<int>(i))->setCurrentIndex(SeatsDialog::PersonPlace());
        else if (rulers[i].ruler != ruler && i % 3 == 2)
            seats.Field(static_cast<int>(i))->setCurrentIndex(SeatsDialog::LevelPlace(Difficulty::Hard));
    bool ok = ShootModal(seats, out.filePath(QStringLiteral("seats-dialog.png")));
    Seats chosen{};
    chosen[static_cast<std::size_t>(ruler)].kind = SeatKind::Person;
    chosen[static_cast<std::size_t>(second)].kind = SeatKind::Person;
    PlayToPlayer(view, [&] { view->Files().NewGame(scenario - 1, chosen, ruler); });
    if (view->mode != ViewMode::PlayerTurn) {
        std::cerr << "velcor-shots: the game of two did not reach a turn\n";
        return false;
    }
    ok &= Save(*app.MainFrame(), out.filePath(QStringLiteral("turn-1.png")));
    // The first person's other countries come before the second's turn.
    HotSeat& hotSeat = *app.HotSeats();
    do
        PlayToPlayer(view, [&] { view->OnRest(); });
    while (view->mode == ViewMode::PlayerTurn && !hotSeat.Notice().Waiting());
    if (!hotSeat.Notice().Waiting()) {
        std::cerr << "velcor-shots: no hand-over to the second person\n";
        return false;
    }
    ok &= Save(*app.MainFrame(), out.filePath(QStringLiteral("hand-over.png")));
    hotSeat.Notice().Take();
    QApplication::processEvents();
    ok &= Save(*app.MainFrame(), out.filePath(QStringLiteral("turn-2.png")));
    return ok;
}

// The tool windows at the player's turn as the game opens them: the advice (its first
// rounds), 自国一覧, the game's 戦績 and 記録 after it ends, and the scenario editor; each
// on its own and the screen with the first two open.
bool ShootToolWindows(CKivApp& app, const QDir& out)
{
    CKivView* view = app.View();
    bool ok = true;
    for (QAction* action : app.MainFrame()->findChildren<QAction*>())
        if (action->shortcut() == CommandTable::AdviceKey()) {
            action->trigger();
            break;
        }
    auto* advice = app.MainFrame()->findChild<AdviceWindow*>(QStringLiteral("adviceWindow"));
    if (advice) {
        QEventLoop wait;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
            if (!advice->Working() || advice->Ranking().empty() ? !advice->Working() : advice->Ranking().front().trials >= 64)
                wait.quit();
        });
        poll.start(200);
        QTimer::singleShot(60000, &wait, &QEventLoop::quit);
        wait.exec();
        advice->Stop();
        QApplication::processEvents();
        ok &= Save(*advice, out.filePath(QStringLiteral("advice.png")));
    }
    app.Options()->OwnCountriesAction()->trigger();
    QApplication::processEvents();
    ok &= Save(app.Options()->OwnCountries(), out.filePath(QStringLiteral("own-countries.png")));
    ok &= SaveScreen(out.filePath(QStringLiteral("screen-tools.png")));
    app.Options()->OwnCountries().close();
    if (advice)
        advice->close();
    emit view->Game().gameEnded();
    QApplication::processEvents();
    if (GameSummaryWindow* summary = app.GetEnding()->SummaryWindow()) {
        ok &= Save(*summary, out.filePath(QStringLiteral("summary.png")));
        summary->close();
    }
    app.GetEnding()->RecordsAction()->trigger();
    QApplication::processEvents();
    if (BestGamesWindow* records = app.GetEnding()->RecordsWindow()) {
        ok &= Save(*records, out.filePath(QStringLiteral("records.png")));
        ok &= SaveScreen(out.filePath(QStringLiteral("screen-records.png")));
        records->close();
    }
    if (QAction* edit = app.MainFrame()->findChild<QAction*>(QStringLiteral("scenarioEditorCommand"))) {
        edit->trigger();
        QApplication::processEvents();
        if (QWidget* editor = app.MainFrame()->findChild<QWidget*>(QStringLiteral("scenarioEditor"))) {
            QEventLoop settle;
            QTimer::singleShot(300, &settle, &QEventLoop::quit);
            settle.exec();
            ok &= Save(*editor, out.filePath(QStringLiteral("editor.png")));
            ok &= SaveScreen(out.filePath(QStringLiteral("screen-editor.png")));
            editor->close();
        }
    }
    return ok;
}

// The invitations of a hosted game of two remote seats, as they are shown before it
// begins: nobody joined, then in the lobby the first seat's player joined from a
// window (its lobby window photographed too) and the second's ready; and again
// (招待を表示) once it has begun.
bool ShootInvitations(CKivApp& app, const QDir& out, RulerId first, RulerId second)
{
    GameController game;
    std::ostringstream log;
    netgame::DesktopHost host(game, log);
    transport::HostOptions options;
    options.data = "5eed";
    std::string why;
    if (!host.Open(options, {first, second}, &why)) {
        std::cerr << "velcor-shots: no host: " << why << "\n";
        return false;
    }
    std::vector<InvitationsDialog::Row> rows;
    for (const net::Invitation& invitation : host.Host().Invitations())
        rows.push_back({static_cast<RulerId>(invitation.seat), shown::RulerName(static_cast<RulerId>(invitation.seat)),
                        QString::fromStdString(net::InvitationText(invitation)),
                        host.Host().Server()->ServesPage() ? QString::fromStdString(net::PageLinkText(invitation))
                                                           : QString()});
    InvitationsDialog before(rows, host, false, app.MainFrame());
    bool ok = ShootModal(before, out.filePath(QStringLiteral("invitations.png")));
    // The second seat's player says he is ready as soon as he is listed.
    struct Eager : transport::JoinListener {
        transport::JoinClient client{*this};
        void Welcomed(const net::Welcome&) override {}
        void Refused(const net::Refused&) override {}
        void Received(const net::Frame& frame) override
        {
            if (std::holds_alternative<net::Lobby>(frame))
                client.Send(net::Ready{true});
        }
        void Closed(const std::string&) override {}
    } eager;
    GameController joinedGame;
    netgame::DesktopJoin joined(joinedGame, host.Host().Invitations().front(), options.data, log);
    LobbyWindow lobby(joined, app.MainFrame());
    joined.lobbyChanged = [&lobby] { lobby.ShowLobby(); };
    joined.Join();
    eager.client.Join(host.Host().Invitations().back(), options.data);
    const std::vector<net::LobbySeat> gathered = {{first, true, false}, {second, true, true}};
    QEventLoop gathering;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &gathering, [&] {
        if (joined.Lobby() && joined.Lobby()->seats == gathered)
            gathering.quit();
    });
    poll.start(20);
    QTimer::singleShot(5000, &gathering, &QEventLoop::quit);
    gathering.exec();
    poll.stop();
    InvitationsDialog waiting(rows, host, false, app.MainFrame());
    ok &= ShootModal(waiting, out.filePath(QStringLiteral("invitations-lobby.png")));
    lobby.show();
    QEventLoop settle;
    QTimer::singleShot(200, &settle, &QEventLoop::quit);
    settle.exec();
    ok &= Save(lobby, out.filePath(QStringLiteral("lobby.png")));
    lobby.hide();
    host.Host().CloseLobby(); // the game has begun
    InvitationsDialog again(rows, host, true, app.MainFrame());
    ok &= ShootModal(again, out.filePath(QStringLiteral("invitations-again.png")));
    joined.Leave();
    eager.client.Leave();
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    // The offscreen platform with a screen on which every zoom fits (the windows take
    // a smaller one where they would not).
    QTemporaryFile screens;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && screens.open()) {
        screens.write(R"({"screens": [{"name": "shots", "x": 0, "y": 0, "width": 3840, "height": 2160,
                          "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens.fileName()));
    }
    QApplication qapp(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2 && args.size() != 4 && args.size() != 5 && args.size() != 6) {
        std::cerr << "usage: velcor-shots OUT_DIR [SCENARIO RULER [ZOOM [LANGUAGE]]]\n";
        return 2;
    }
    const QDir out(args[1]);
    const int scenario = args.size() >= 4 ? args[2].toInt() : 3;
    const int ruler = args.size() >= 4 ? args[3].toInt() : 1;
    const qreal zoom = args.size() >= 5 ? args[4].toDouble() : 1;
    const QString language = args.size() == 6 ? args[5] : QStringLiteral("ja");
    if (!QDir().mkpath(out.path()) || scenario < 1 || scenario > 3 || ruler < 1 || ruler > kRulerCount - 1 ||
        platform::NearestWindowScale(zoom) != zoom || (language != QLatin1String("ja") && language != QLatin1String("en"))) {
        std::cerr << "velcor-shots: bad arguments\n";
        return 2;
    }
    QStandardPaths::setTestModeEnabled(true);
    platform::FixClock(1'700'000'000);

    CKivApp app;
    if (!app.InitInstance(zoom))
        return 1;
    app.GetLanguage().Apply(language);
    QApplication::processEvents();
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
    KeysDialog keys(CommandTable::AllKeys());
    ok &= ShootModal(keys, out.filePath(QStringLiteral("keys-dialog.png")));
    NetworkHostDialog hostDlg;
    ok &= ShootModal(hostDlg, out.filePath(QStringLiteral("network-host-dialog.png")));

    QEventLoop toPlayer;
    QObject::connect(&view->Game(), &GameController::playerTurnReached, &toPlayer, &QEventLoop::quit, Qt::QueuedConnection);
    if (!view->Files().NewGame(scenario - 1, static_cast<RulerId>(ruler))) {
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
    ok &= SaveScreen(out.filePath(QStringLiteral("screen-main.png")));
    ok &= ShootTooltip(*app.MainFrame(), view->landButton, out.filePath(QStringLiteral("tooltip-land.png")));
    ok &= ShootTooltip(*app.MainFrame(), view->warButton, out.filePath(QStringLiteral("tooltip-war.png")));
    ok &= ShootFileDialog(*app.MainFrame(), out.filePath(QStringLiteral("file-dialog.png")));

    GameState& world = view->Game().Session().world; // the pictures set up what they show
    const int country = world.turnCountry;
    int own = -1;
    int hostile = -1;
    Neighbours(world, country, own, hostile);
    if (own >= 0) {
        const Country& s = world.countries[static_cast<std::size_t>(country)];
        CMoveDlg move;
        move.SetMaxProvisions(s.GetProvisions());
        move.SetMaxFunds(s.GetFunds());
        move.SetMaxSoldiers(s.GetSoldiers());
        move.m_strTitle = shown::Text(MoveTitleWords(world, country, own));
        ok &= ShootModal(move, out.filePath(QStringLiteral("move-dialog.png")));
    } else {
        std::cout << "no country of the player's borders his first; no move dialog\n";
    }
    if (hostile >= 0) {
        // The choice of a war's target by the keys: the second target outlined.
        world.countries[static_cast<std::size_t>(country)].SetFunds(5000);
        view->mode = ViewMode::ChooseAttackTarget;
        view->OnKey(Qt::Key_Tab, Qt::NoModifier, false);
        ok &= Save(*app.MainFrame(), out.filePath(QStringLiteral("choose-target.png")));
        view->OnKey(Qt::Key_Escape, Qt::NoModifier, false);
        ok &= ShootTooltip(*app.MainFrame(), view->moveButton, out.filePath(QStringLiteral("tooltip-move.png")));
        // After an action a disabled button says why.
        view->OnKey(Qt::Key_T, Qt::NoModifier, false);
        ok &= ShootTooltip(*app.MainFrame(), view->landButton, out.filePath(QStringLiteral("tooltip-disabled.png")));

        BattleScript script(world, country, hostile, world.commandRandom);
        CBattleDlg battle(script);
        ok &= ShootModal(battle, out.filePath(QStringLiteral("battle-window.png")), 1700);
    }
    ok &= ShootToolWindows(app, out);
    PlayToPlayer(view, [&] { view->Files().NewGame(scenario - 1, static_cast<RulerId>(ruler)); });
    ok &= ShootChronicle(app, out, scenario, static_cast<RulerId>(ruler));
    view->SetWindowTimes(1, 1);
    ok &= ShootHotSeat(app, out, scenario, static_cast<RulerId>(ruler));
    ok &= ShootInvitations(app, out, static_cast<RulerId>(ruler), static_cast<RulerId>(ruler == 1 ? 2 : 1));
    app.MainFrame()->close();
    return ok ? 0 : 1;
}
