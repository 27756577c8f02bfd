// SPDX-License-Identifier: GPL-3.0-or-later
// The chronicle beside the game: the window's list, filters and clearing, a century of
// events, the turn report, the chronicle beside a saved game, the map's tooltip and
// country names, and the events of a real turn worker.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QToolTip>
#include <QtCharts/QValueAxis>

#include <filesystem>
#include <memory>
#include <set>

#include <sys/stat.h>

#include "app/chronicle.h"
#include "app/kiv_doc.h"
#include "app/main_frame.h"
#include "gui_test_support.h"
#include "world_files.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/path_bytes.h"
#include "platform/resources.h"
#include "platform/settings.h"
#include "rules/battle.h"
#include "rules/event_json.h"
#include "cli/headless.h"
#include "test_support.h"
#include "view/windows/chronicle_log.h"
#include "view/windows/chronicle_model.h"
#include "view/windows/chronicle_wnd.h"
#include "words/event_words.h"
#include "view/windows/holdings_chart.h"
#include "view/windows/ruler_table.h"
#include "view/map/map_tips.h"
#include "view/windows/turn_report_wnd.h"
#include "view_fixture.h"

namespace {

GameEvent Event(EventKind kind, int year, int month, int country = -1, int target = -1, RulerId ruler = -1,
                RulerId other = -1)
{
    GameEvent e;
    e.kind = kind;
    e.year = year;
    e.month = static_cast<std::int8_t>(month);
    e.country = static_cast<std::int8_t>(country);
    e.target = static_cast<std::int8_t>(target);
    e.ruler = static_cast<std::int8_t>(ruler);
    e.otherRuler = static_cast<std::int8_t>(other);
    return e;
}

std::vector<QString> Rows(const QAbstractItemModel& model)
{
    std::vector<QString> rows;
    for (int r = 0; r < model.rowCount(); ++r)
        rows.push_back(model.data(model.index(r, 0)).toString());
    return rows;
}

QString U(const char* text) { return QString::fromUtf8(text); }

} // namespace

// The test world (names from test_world.h) with the chronicle's log, no windows.
class ChronicleTest : public KivViewTest {
protected:
    void SetUp() override
    {
        KivViewTest::SetUp();
        log = std::make_unique<ChronicleLog>(W());
        LoadTestWorld();
        SeatPlayer(W(), 1);
    }
    void TearDown() override
    {
        Events().Remove(&log->Observer());
        KivViewTest::TearDown();
    }
    void Add(const GameEvent& e) { log->Observer().OnGameEvent(e); }

    // The chronicle of the view's game.
    std::unique_ptr<ChronicleLog> log;
};

TEST_F(ChronicleTest, TheListGroupsByMonthNewestFirstFiltersAndClears)
{
    GameEvent start = Event(EventKind::Start, 190, 1, -1, -1, 1);
    GameEvent land = Event(EventKind::Command, 190, 1, 1, -1, 2);
    land.SetCommand(DomesticCommand::DevelopLand, 52);
    GameEvent mine = Event(EventKind::Command, 190, 1, 0, -1, 1);
    mine.SetCommand(DomesticCommand::Train, 60);
    mine.byPlayer = true;
    GameEvent battle = Event(EventKind::Battle, 190, 2, 2, 5, 2, 4);
    battle.SetBattle(BattleOutcome::Taken, 20000, 15000, 8000, 0);
    GameEvent attackOnMe = Event(EventKind::Battle, 190, 2, 1, 0, 2, 1);
    attackOnMe.SetBattle(BattleOutcome::Retreat, 12000, 9000, 40000, 39000);
    attackOnMe.byPlayer = true; // fought in the battle window
    for (const GameEvent& e : {start, land, mine, Event(EventKind::Month, 190, 2), battle,
                               Event(EventKind::Capture, 190, 2, 5, 2, 2, 4), Event(EventKind::Fall, 190, 2, 5, -1, 4, 2),
                               attackOnMe})
        Add(e);
    ChronicleWindow wnd(*log);
    EXPECT_EQ(wnd.Model().rowCount(), 0) << "nothing until the log announces it";
    log->Poll();

    const QString monthTwo = U("190 年 2 月");
    const QString monthOne = U("190 年 1 月");
    const QString taken = U("  曹操 が 冀州 から 青州 に攻め込み、占領しました (兵士 20000→15000 / 8000→0)");
    const QString fell = U("  袁紹 は滅亡しました");
    const QString retreat = U("  曹操 が 豫州 から 司隷 に攻め込みましたが、4 回の攻防で攻め落とせず退きました (兵士 12000→9000 / 40000→39000)");
    const QString started = U("  劉備 としてｹﾞｰﾑを開始しました");
    const QString developed = U("  曹操 は 豫州 で開墾しました (開墾 52)");
    const QString trained = U("  劉備 は 司隷 で訓練しました (訓練 60)");
    EXPECT_EQ(Rows(wnd.Model()),
              (std::vector<QString>{monthTwo, taken, fell, retreat, monthOne, started, developed, trained}));
    EXPECT_TRUE(wnd.Model().IsHeading(0));
    EXPECT_EQ(wnd.Model().EventAt(1), 4) << "the battle is the log's fifth event";

    wnd.FilterBox()->setCurrentIndex(1); // war only
    EXPECT_EQ(Rows(wnd.Model()), (std::vector<QString>{monthTwo, taken, fell, retreat}));
    wnd.FilterBox()->setCurrentIndex(2); // what touches ruler 1
    EXPECT_EQ(Rows(wnd.Model()), (std::vector<QString>{monthTwo, retreat, monthOne, started, trained}));

    // A new event of the newest month joins it; one of a new month opens a heading on top.
    GameEvent later = Event(EventKind::Command, 190, 3, 0, -1, 1);
    later.SetCommand(DomesticCommand::Conscript, 41000);
    Add(later);
    log->Poll();
    EXPECT_EQ(Rows(wnd.Model())[0], U("190 年 3 月"));
    EXPECT_EQ(Rows(wnd.Model())[1], U("  劉備 は 司隷 で徴兵しました (兵士 41000)"));

    log->Clear();
    EXPECT_EQ(wnd.Model().rowCount(), 0);
    EXPECT_EQ(log->Count(), 0u);
    EXPECT_TRUE(wnd.Chart()->History().Points().empty());
}

TEST_F(ChronicleTest, EveryPlayerIsNamedMarkedAndFollowedNobodyWhenTheGameIsWatched)
{
    GameEvent started = Event(EventKind::Start, 190, 1, -1, -1, 1);
    GameEvent loaded = started;
    loaded.byPlayer = true;
    GameEvent third = Event(EventKind::Command, 190, 1, 3, -1, 3);
    third.SetCommand(DomesticCommand::Train, 60);
    for (const GameEvent& e : {started, third, loaded})
        Add(e);
    log->Poll();
    const struct {
        const char* what;
        std::vector<RulerId> players; // the first is the player ruler
        const char* start;
        const char* load;
    } games[] = {
        {"one person", {1}, "劉備 としてｹﾞｰﾑを開始しました", "ﾛｰﾄﾞしました (劉備)"},
        {"three at the screen", {1, 3, 5}, "劉備、孫堅、袁術 としてｹﾞｰﾑを開始しました",
         "ﾛｰﾄﾞしました (劉備、孫堅、袁術)"},
        {"nobody: watched", {}, "観戦を開始しました", "ﾛｰﾄﾞしました (観戦)"},
    };
    for (const auto& g : games) {
        SCOPED_TRACE(g.what);
        ASSERT_TRUE(SeatPlayers(W(), g.players));
        if (g.players.empty())
            W().seats = Seats{};
        W().seats[2].level = Difficulty::Hard;
        EXPECT_EQ(chronicle::EventText(W(), started), U(g.start));
        EXPECT_EQ(chronicle::EventText(W(), loaded), U(g.load));

        ChronicleWindow wnd(*log);
        wnd.RefreshStandings();
        const RulerTable& table = *wnd.Standings();
        for (int row = 0; row < table.rowCount(); ++row) {
            const RulerId ruler = table.item(row, 0)->data(Qt::UserRole).toInt();
            const bool player = std::find(g.players.begin(), g.players.end(), ruler) != g.players.end();
            EXPECT_EQ(table.item(row, 0)->text().startsWith(chronicle::Captions::PlayerMark()), player) << ruler;
            const QString seat = table.item(row, RulerTable::kSeatColumn)->text();
            EXPECT_EQ(seat, player ? U("ﾌﾟﾚｲﾔｰ") : ruler == 2 ? U("COM 難しい") : U("COM 普通")) << ruler;
        }
        // 孫堅's command is a player's turn only while he plays: his own events, and a
        // turn the game may go back to.
        const bool thirdPlays = W().IsPlayer(3);
        wnd.FilterBox()->setCurrentIndex(2);
        EXPECT_EQ(Rows(wnd.Model()).size(), thirdPlays ? 4u : 3u);
        wnd.FilterBox()->setCurrentIndex(0);
        int year = 0;
        int month = 0;
        int country = 0;
        EXPECT_EQ(wnd.PlayerTurnAt(2, year, month, country), thirdPlays);
    }
}

// A century of a real game's events: shown whole quickly, and the same rows whether
// they arrive month by month or all at once.
TEST_F(ChronicleTest, ACenturyOfEventsStaysFastAndComesOutTheSameInPieces)
{
    WorldRecord world = MakeTestWorld();
    world.countries[0].soldiers = 1000000; // the player holds out
    world.countries[0].training = 100;
    world.countries[0].provisions = 2000000000;
    LoadTestWorld(world);
    platform::FixClock(5);
    ChronicleLog stepwise(W());
    ChronicleModel stepModel(stepwise);
    // Played without windows, on a copy of the view's world.
    HeadlessGame game;
    game.GetWorld() = W();
    game.Session().events.Add(&log->Observer());
    SeatPlayer(game.GetWorld(), 1);
    game.Session().BeginGame(false);
    HeadlessOptions options;
    options.months = 1200;
    options.atPlayerTurn = [&] { return true; };
    const HeadlessOutcome outcome = PlayResting(game, options);
    game.Session().events.Remove(&log->Observer());
    ASSERT_EQ(outcome.monthsRun, 1200);
    log->Poll();
    ASSERT_GT(log->Count(), 12000u);

    QElapsedTimer timer;
    timer.start();
    ChronicleWindow wnd(*log);
    for (int filter : {1, 2, 0})
        wnd.FilterBox()->setCurrentIndex(filter);
    wnd.show();
    wnd.Tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    const qint64 elapsed = timer.elapsed();
    EXPECT_LT(elapsed, 5000) << "a century of events, three filters and the chart";
    std::cout << "[          ] " << log->Count() << " events listed, filtered three times and charted in " << elapsed
              << " ms\n";

    // A heading for each month with an event to show.
    int shown = 0;
    std::set<std::pair<int, int>> months;
    for (std::size_t i = 0; i < log->Count(); ++i) {
        const GameEvent& e = log->At(i);
        if (e.kind != EventKind::Month && e.kind != EventKind::Capture) {
            ++shown;
            months.insert({e.year, e.month});
        }
    }
    EXPECT_GT(months.size(), 1000u);
    EXPECT_EQ(wnd.Model().rowCount(), shown + static_cast<int>(months.size()));
    EXPECT_EQ(wnd.Chart()->History().Points().size(), 1201u);
    TempDir dir;
    ASSERT_TRUE(wnd.Chart()->SavePng(QString::fromStdString(dir.Path("chart.png"))));
    const QImage saved(QString::fromStdString(dir.Path("chart.png")));
    EXPECT_EQ(saved.size(), wnd.Chart()->size() * wnd.Chart()->devicePixelRatio());

    // The same events fed month by month through the other log.
    QObject::connect(&stepwise, &ChronicleLog::eventsAdded, &stepModel, &ChronicleModel::OnEventsAdded);
    for (std::size_t i = 0; i < log->Count(); ++i) {
        stepwise.Observer().OnGameEvent(log->At(i));
        if (log->At(i).kind == EventKind::Month)
            stepwise.Poll();
    }
    stepwise.Poll();
    EXPECT_EQ(Rows(stepModel), Rows(wnd.Model()));
}

// The year axis of 推移: its ticks on whole years, one a year while a dozen fit, so
// that no year is labelled twice, however long the game has run.
TEST_F(ChronicleTest, TheChartsYearAxisTicksOnWholeYears)
{
    const struct {
        int year;
        int month;
        int months; // after the start
    } games[] = {{190, 1, 0}, {190, 1, 5}, {189, 1, 36}, {190, 7, 30}, {189, 4, 143}, {190, 1, 1200}};
    for (const auto& g : games) {
        SCOPED_TRACE(g.months);
        log->Clear();
        Add(Event(EventKind::Start, g.year, g.month));
        for (int m = 1; m <= g.months; ++m) {
            const int at = g.month - 1 + m;
            Add(Event(EventKind::Month, g.year + at / 12, at % 12 + 1));
        }
        log->Poll();
        HoldingsChart chart(*log);
        const auto* axis = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
        ASSERT_NE(axis, nullptr);
        // The ticks as the axis places them.
        std::vector<double> ticks;
        if (axis->tickType() == QValueAxis::TicksFixed) {
            for (int i = 0; i < axis->tickCount(); ++i)
                ticks.push_back(axis->min() + i * (axis->max() - axis->min()) / (axis->tickCount() - 1));
        } else {
            const double step = axis->tickInterval();
            ASSERT_GT(step, 0);
            for (double t = axis->tickAnchor() - std::floor((axis->tickAnchor() - axis->min()) / step) * step;
                 t <= axis->max() + 1e-9; t += step)
                ticks.push_back(t);
        }
        ASSERT_GE(ticks.size(), 2u) << "a year at each end at least";
        const double firstYear = g.year + (g.month - 1) / 12.0;
        const double lastYear = firstYear + g.months / 12.0;
        EXPECT_LE(ticks.front(), firstYear) << "the first point lies within the ticks";
        EXPECT_GE(ticks.back(), lastYear);
        const double step = ticks[1] - ticks[0];
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_EQ(ticks[i], std::round(ticks[i])) << "a tick between two years";
            if (i > 0) {
                EXPECT_EQ(ticks[i] - ticks[i - 1], step) << ticks[i];
            }
        }
        if (lastYear - firstYear <= 11) {
            EXPECT_EQ(step, 1) << "one tick a year";
        }
        EXPECT_LE(ticks.size(), 13u) << "a long game's ticks stay readable";
    }
}

TEST_F(ChronicleTest, TheLogKeepsBesideASaveAndComesBackWhole)
{
    GameEvent start = Event(EventKind::Start, 190, 1, -1, -1, 3);
    for (int i = 0; i < kCountryCount; ++i)
        start.SetStartRuler(i, i % 16);
    GameEvent taxes = Event(EventKind::Taxes, 191, 1, -1, -1, 15);
    taxes.SetAmount(30000000000LL);
    GameEvent move = Event(EventKind::Move, 191, 2, 0, 1, 1);
    move.SetMoved(100, 200, 300);
    move.byPlayer = true;
    GameEvent battle = Event(EventKind::Battle, 191, 3, 2, 3, 2, 0);
    battle.SetBattle(BattleOutcome::Repelled, 5, 0, 7, 7);
    battle.byPlayer = true;
    const std::vector<GameEvent> events = {start,
                                           Event(EventKind::Month, 191, 1),
                                           taxes,
                                           move,
                                           battle,
                                           Event(EventKind::Capture, 191, 3, 4, 5, 6, 7),
                                           Event(EventKind::Fall, 191, 3, 4, -1, 7, 6),
                                           Event(EventKind::Victory, 191, 4, -1, -1, 1),
                                           Event(EventKind::GameOver, 191, 4, -1, -1, 1)};
    for (const GameEvent& e : events)
        Add(e);
    TempDir dir;
    // Beside each save by its whole name, bytes as they are: "game" and "game.txt"
    // have chronicles of their own, and a name that is not UTF-8 keeps its bytes.
    QString error;
    for (const std::string name : {"game", "game.txt", "\x95\x5c.txt"}) {
        const QString path = ChronicleLog::ChroniclePath(platform::PathFromBytes(dir.Path(name)));
        ASSERT_TRUE(log->Save(path, &error)) << error.toStdString();
        EXPECT_TRUE(std::filesystem::exists(dir.Path(name) + ".chronicle.jsonl")) << name;
        ChronicleLog loaded(W());
        ASSERT_TRUE(loaded.Load(path, &error)) << error.toStdString();
        ASSERT_EQ(loaded.Count(), events.size());
        for (std::size_t i = 0; i < events.size(); ++i)
            EXPECT_EQ(loaded.At(i), events[i]) << EventJson(W(), events[i]);
    }

    // No chronicle beside a save: nothing, and no complaint.
    ChronicleLog loaded(W());
    error.clear();
    EXPECT_FALSE(loaded.Load(QString::fromStdString(dir.Path("other.chronicle.jsonl")), &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(loaded.Count(), 0u);

    // Set aside with a reason, nothing kept: what is not a plain file or is too large,
    // another game's, or a line that is not an event with every field in range.
    const std::string closing = SavedWorldJson(W()) + "\n";
    W().year = W().year + 1;
    const std::string laterGame = SavedWorldJson(W()) + "\n";
    W().year = W().year - 1;
    const std::string first = EventJson(W(), start) + "\n";
    const auto replaced = [](std::string line, const std::string& from, const std::string& to) {
        const std::size_t at = line.find(from);
        EXPECT_NE(at, std::string::npos) << line;
        return line.replace(at, from.size(), to) + "\n";
    };
    GameEvent command = Event(EventKind::Command, 191, 2, 3, -1, 1);
    command.SetCommand(DomesticCommand::Train, 50);
    const std::string commandLine = EventJson(W(), command);
    const std::string rulers = "\"rulers\":[0,1,2";
    const struct {
        const char* what;
        std::string text; // empty for the special files
    } cases[] = {
        {"a FIFO", ""},
        {"larger than a chronicle can be", ""},
        {"not closed", first},
        {"closed by another game's world", first + laterGame},
        {"a line after the close", first + closing + EventJson(W(), events[1]) + "\n"},
        {"a line that is not an event", first + "{\"year\":1,\"kind\":\"nonsense\"}\n" + closing},
        {"a ruler beyond the table", replaced(commandLine, "\"ruler\":1", "\"ruler\":257") + closing},
        {"a country as a text", replaced(commandLine, "\"country\":3", "\"country\":\"3\"") + closing},
        {"a flag as a number", replaced(commandLine, "\"player\":false", "\"player\":0") + closing},
        {"a capture without its fields", "{\"year\":191,\"month\":3,\"kind\":\"capture\"}\n" + closing},
        {"a start ruler of 99", replaced(first, rulers, "\"rulers\":[99,1,2") + closing},
        {"a start ruler of -1", replaced(first, rulers, "\"rulers\":[-1,1,2") + closing},
        {"a start ruler of 16", replaced(first, rulers, "\"rulers\":[16,1,2") + closing},
        {"month 99", replaced(first, "\"month\":1,", "\"month\":99,") + closing},
        {"a figure beyond 32 bits", replaced(commandLine, "\"value\":50", "\"value\":4294967346") + closing},
    };
    const QString good = ChronicleLog::ChroniclePath(QString::fromStdString(dir.Path("game.txt")));
    const std::string path = dir.Path("set-aside.txt.chronicle.jsonl");
    for (const auto& c : cases) {
        std::filesystem::remove(path);
        if (c.what == std::string_view("a FIFO")) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else if (c.text.empty()) {
            WriteFileBytes(path, first + closing);
            std::filesystem::resize_file(path, ChronicleLog::kMaxFileSize + 1);
        } else {
            WriteFileBytes(path, c.text);
        }
        ASSERT_TRUE(loaded.Load(good, &error)) << "a chronicle before it";
        error.clear();
        EXPECT_FALSE(loaded.Load(QString::fromStdString(path), &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
        EXPECT_EQ(loaded.Count(), 0u) << c.what;
    }
}

// A log that holds more than it keeps loses its oldest events, never its newest: as the
// game adds them (cut at the player's turn) and as a file brings them.
TEST_F(ChronicleTest, AFullLogCutsItsOldestEvents)
{
    const std::size_t kept = 2 * EventLog::kBlockSize;
    const std::size_t total = 3 * EventLog::kBlockSize + 5;
    TempDir dir;
    const QString path = QString::fromStdString(dir.Path("long.txt.chronicle.jsonl"));
    ChronicleLog whole(W());
    for (std::size_t i = 0; i < total; ++i)
        whole.Observer().OnGameEvent(Event(EventKind::Taxes, static_cast<int>(i), 1, -1, -1, 1));
    QString error;
    ASSERT_TRUE(whole.Save(path, &error)) << error.toStdString();

    const std::function<void(ChronicleLog&)> ways[] = {
        [&](ChronicleLog& log) {
            for (std::size_t i = 0; i < total; ++i)
                log.Observer().OnGameEvent(Event(EventKind::Taxes, static_cast<int>(i), 1, -1, -1, 1));
            log.TakeSinceMark();
            log.CutOldest();
        },
        [&](ChronicleLog& log) { ASSERT_TRUE(log.Load(path, &error)) << error.toStdString(); },
    };
    for (const auto& fill : ways) {
        ChronicleLog log(W(), nullptr, kept);
        ChronicleModel model(log);
        QObject::connect(&log, &ChronicleLog::eventsAdded, &model, &ChronicleModel::OnEventsAdded);
        QObject::connect(&log, &ChronicleLog::cleared, &model, &ChronicleModel::OnCleared);
        std::vector<std::size_t> cuts;
        QObject::connect(&log, &ChronicleLog::oldestCut, [&](std::size_t n) { cuts.push_back(n); });
        fill(log);
        ASSERT_GT(log.Count(), 0u);
        EXPECT_LE(log.Count(), kept);
        EXPECT_EQ(log.At(0).year, static_cast<int>(total - log.Count())) << "the oldest go";
        EXPECT_EQ(log.At(log.Count() - 1).year, static_cast<int>(total - 1)) << "the newest stay";
        EXPECT_EQ(cuts, std::vector<std::size_t>{total - log.Count()}) << "told once";
        std::size_t rows = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            rows += !model.IsHeading(row) && model.EventAt(row) < static_cast<long long>(log.Count());
        EXPECT_EQ(rows, log.Count()) << "the list follows the cut";
        // Marks stay within the log, and what comes next joins it.
        EXPECT_EQ(log.TakeSinceMark().second, log.Count());
        log.Observer().OnGameEvent(Event(EventKind::Taxes, static_cast<int>(total), 1, -1, -1, 1));
        const auto since = log.TakeSinceMark();
        EXPECT_EQ(since, std::make_pair(log.Count() - 1, log.Count()));
        EXPECT_EQ(log.At(log.Count() - 1).year, static_cast<int>(total));
    }
}

TEST_F(ChronicleTest, TheMapsTooltipNamesTheCountryOnEachSideOfABorder)
{
    MapTips tips(*view);
    // Countries 2 and 3 of the synthetic map meet at an outline at x 74..75.
    const int y = kSquareTop + 10;
    const QString left = tips.TextAt(QPoint(SquareX(3) - 3, y));
    const QString right = tips.TextAt(QPoint(SquareX(3), y));
    EXPECT_TRUE(left.startsWith(U("2 冀州\n君主 曹操\n"))) << left.toStdString();
    EXPECT_TRUE(right.startsWith(U("3 襄陽\n君主 孫堅\n"))) << right.toStdString();
    const Country& c = W().countries[3];
    EXPECT_TRUE(right.endsWith(QStringLiteral("兵糧 %1\n資金 %2\n兵士 %3\n訓練 %4")
                                   .arg(c.GetProvisions())
                                   .arg(c.GetFunds())
                                   .arg(c.GetSoldiers())
                                   .arg(c.GetTraining())))
        << right.toStdString();
    EXPECT_TRUE(tips.TextAt(QPoint(SquareX(3) - 1, y)).isEmpty()) << "the outline is no country";
    EXPECT_TRUE(tips.TextAt(QPoint(300, 300)).isEmpty()) << "the sea";

    // Through the view's own tooltip event, in a mode where clicks are ignored; the
    // panel keeps what it showed.
    view->resize(kMapWidth, kMapHeight);
    view->show();
    view->mode = ViewMode::ComputerTurns;
    view->marks.shownCountry = 7;
    const QPoint at(SquareX(3) + 5, y);
    QHelpEvent help(QEvent::ToolTip, at, view->mapToGlobal(at));
    QApplication::sendEvent(view.get(), &help);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_TRUE(QToolTip::text().startsWith(U("3 襄陽"))) << QToolTip::text().toStdString();
    EXPECT_EQ(view->marks.shownCountry, 7);
    QToolTip::hideText();
}

// The view, the main frame and the chronicle as the program puts them together.
class ChronicleFrameTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_TRUE(doc.Map().SetPictures(SyntheticMap(), DistinctPortraits()));
        game = std::make_unique<GameController>();
        view = new CKivView(doc, *game);
        view->OnInitialUpdate();
        view->SetWindowTimes(1, 1);
        frame = std::make_unique<CMainFrame>(view);
        chronicle = new Chronicle(*frame, *view);
        chronicle->ReportAction()->setChecked(true);
    }
    void TearDown() override
    {
        chronicle->ReportAction()->setChecked(true);
        chronicle->NamesAction()->setChecked(false);
        frame.reset();
        platform::UseRealClock();
        WorldTest::TearDown();
    }
    // The test world with each number cell in its square, as a saved game in dir.
    QString SavedWorld(const std::string& name, WorldRecord world = MakeTestWorld())
    {
        for (int i = 0; i < kCountryCount; ++i) {
            world.countries[i].mapX = SquareX(i) + 4;
            world.countries[i].mapY = kSquareTop + 20;
        }
        std::string error;
        EXPECT_TRUE(WriteCountryFile(dir.Path(name), world, &error)) << error;
        return QString::fromStdString(dir.Path(name));
    }
    // The game the frame's view plays.
    GameState& W() { return game->Session().world; }
    bool PlayToPlayer(const std::function<void()>& start)
    {
        bool reached = false;
        auto connection = QObject::connect(game.get(), &GameController::playerTurnReached, [&] { reached = true; });
        start();
        const bool ok = WaitUntil([&] { return reached; }, 10000);
        QObject::disconnect(connection);
        return ok;
    }

    CKivDoc doc;
    std::unique_ptr<GameController> game; // outlives the frame's windows
    CKivView* view = nullptr;
    std::unique_ptr<CMainFrame> frame;
    Chronicle* chronicle = nullptr;
    TempDir dir;
};

TEST_F(ChronicleFrameTest, TheReportAppearsOnlyWhenSomethingHappened)
{
    ApplyWorld(W(), MakeTestWorld());
    BuildRulerTable(W());
    SeatPlayer(W(), 1);
    EXPECT_TRUE(chronicle->ReportTurn().isEmpty());
    EXPECT_FALSE(chronicle->ReportWindow().isVisible()) << "nothing happened";

    // The player's own command and a battle between others that took nothing: no news.
    RunDomesticCommand(W(), game->Session().events, DomesticCommand::DevelopLand, 0);
    W().countries[3].SetTraining(1);
    W().countries[5].SetTraining(1);
    ResolveComputerBattle(W(), game->Session().events, 3, 5);
    EXPECT_TRUE(chronicle->ReportTurn().isEmpty());
    EXPECT_FALSE(chronicle->ReportWindow().isVisible());

    // Country 13 (unruled) taken by 袁紹 from country 6, and 呂布's only country falls.
    ASSERT_TRUE(ResolveComputerBattle(W(), game->Session().events, 6, 13));
    W().countries[11].SetSoldiers(0);
    ASSERT_TRUE(ResolveComputerBattle(W(), game->Session().events, 4, 11));
    const QStringList lines = chronicle->ReportTurn();
    ASSERT_EQ(lines.size(), 3) << lines.join(QLatin1Char('\n')).toStdString();
    // Neither had an army to fight: each is told as the occupation it was.
    EXPECT_EQ(lines[0], U("・袁紹 は 荊州 から兵を進め、戦わずに 雍州 を占領しました"));
    EXPECT_EQ(lines[1], U("・孫堅 は 徐州 から兵を進め、戦わずに 幽州 を占領しました"));
    EXPECT_EQ(lines[2], U("・呂布 は滅亡しました"));
    EXPECT_TRUE(chronicle->ReportWindow().isVisible());
    EXPECT_EQ(chronicle->ReportWindow().Text(), lines.join(QLatin1Char('\n')));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the report is not modal";

    // Only what is new since: nothing, and the report goes.
    EXPECT_TRUE(chronicle->ReportTurn().isEmpty());
    EXPECT_FALSE(chronicle->ReportWindow().isVisible());

    // Turned off: not shown, though something happened.
    chronicle->ReportAction()->setChecked(false);
    W().countries[12].SetRuler(0);
    ASSERT_TRUE(ResolveComputerBattle(W(), game->Session().events, 5, 12));
    EXPECT_TRUE(chronicle->ReportTurn().isEmpty());
    EXPECT_FALSE(chronicle->ReportWindow().isVisible());
}

TEST_F(ChronicleFrameTest, EnterOrEscapeClosesTheReportWhereverItsFocusRests)
{
    TurnReportWindow& report = chronicle->ReportWindow();
    QWidget* const focuses[] = {&report, report.findChild<QCheckBox*>(), report.findChild<QPushButton*>()};
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    } keys[] = {
        {Qt::Key_Return, Qt::NoModifier, true},
        {Qt::Key_Enter, Qt::KeypadModifier, true},
        {Qt::Key_Escape, Qt::NoModifier, true},
        {Qt::Key_A, Qt::NoModifier, false},
    };
    for (QWidget* focus : focuses) {
        ASSERT_NE(focus, nullptr);
        for (const auto& k : keys) {
            SCOPED_TRACE(focus->metaObject()->className());
            SCOPED_TRACE(k.key);
            report.ShowReport({U("・x")});
            ASSERT_TRUE(report.isVisible());
            QTest::keyClick(focus, k.key, k.modifiers);
            EXPECT_EQ(report.isVisible(), !k.closes);
        }
    }
}

// A real turn worker reports on its own thread; the window takes the events on the
// interface thread. A new game clears the chronicle, a save keeps it beside the file,
// a load brings it back, and a save without one loads with an empty chronicle.
TEST_F(ChronicleFrameTest, TheWorkersEventsReachTheWindowAndTheSaveKeepsThem)
{
    platform::FixClock(1234);
    const QString start = SavedWorld("start.txt");
    ChronicleLog& log = chronicle->Log();
    // A window that hears every event as it comes, beside the game's own, which is
    // first made only after the months are played.
    ChronicleWindow early(log);
    ASSERT_TRUE(PlayToPlayer([&] { view->Files().LoadGame(start); }));
    for (int month = 0; month < 3; ++month)
        ASSERT_TRUE(PlayToPlayer([&] { view->OnRest(); }));
    log.Poll();
    ASSERT_GT(log.Count(), 1u);
    ASSERT_GT(early.Model().rowCount(), 0);
    EXPECT_EQ(chronicle->Window().Model().rowCount(), early.Model().rowCount()) << "made late, it reads the whole log";
    EXPECT_EQ(log.At(0).kind, EventKind::Start);
    EXPECT_TRUE(log.At(0).byPlayer) << "a loaded game";
    int commands = 0;
    int months = 0;
    for (std::size_t i = 0; i < log.Count(); ++i) {
        commands += log.At(i).kind == EventKind::Command && !log.At(i).byPlayer;
        months += log.At(i).kind == EventKind::Month;
    }
    EXPECT_GT(commands, 20) << "the computer's turns, from the worker";
    EXPECT_EQ(months, 3);
    const std::size_t count = log.Count();

    const std::string savePath = dir.Path("kept.txt");
    QString error;
    const int cursor = W().turnCountry - 1;
    ASSERT_TRUE(SaveWorldAs(W(), QString::fromStdString(savePath), cursor, &error));
    const std::string saved = ReadFileBytes(savePath);
    emit game->gameSaved(QString::fromStdString(savePath));
    EXPECT_EQ(ReadFileBytes(savePath), saved) << "the save file is as the game wrote it";
    const std::string chronicleFile = ReadFileBytes(dir.Path("kept.txt.chronicle.jsonl"));
    EXPECT_EQ(std::count(chronicleFile.begin(), chronicleFile.end(), '\n'), static_cast<long>(count) + 1)
        << "the events and the world saved";

    ASSERT_TRUE(PlayToPlayer([&] { view->Files().LoadGame(QString::fromStdString(savePath)); }));
    log.Poll();
    ASSERT_GT(log.Count(), count);
    EXPECT_EQ(log.At(count).kind, EventKind::Start) << "the file's events, then the loaded game's start";
    EXPECT_TRUE(log.At(count).byPlayer);
    EXPECT_EQ(chronicle->Window().Model().rowCount() > 0, true);

    // The start file has no chronicle beside it: the chronicle begins again.
    ASSERT_TRUE(PlayToPlayer([&] { view->Files().LoadGame(start); }));
    log.Poll();
    EXPECT_EQ(log.At(0).kind, EventKind::Start);
    EXPECT_LT(log.Count(), count);
    EXPECT_FALSE(view->statusText.contains(chronicle::Captions::Window()));

    // Beside it now the later game's chronicle: set aside, the game loads all the same,
    // and the status line says so at the player's turn.
    WriteFileBytes(dir.Path("start.txt.chronicle.jsonl"), chronicleFile);
    ASSERT_TRUE(PlayToPlayer([&] { view->Files().LoadGame(start); }));
    log.Poll();
    EXPECT_EQ(log.At(0).kind, EventKind::Start);
    EXPECT_LT(log.Count(), count);
    EXPECT_TRUE(view->statusText.contains(chronicle::Captions::Window())) << view->statusText.toStdString();
}

TEST_F(ChronicleFrameTest, TheMenuOpensTheWindowAndNamesOnTheMapLeaveTheNumbersAlone)
{
    EXPECT_EQ(chronicle->ChronicleAction()->text(), U("戦況記録(&C)"));
    EXPECT_EQ(chronicle->ChronicleAction()->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_TRUE(frame->ViewMenu()->actions().contains(chronicle->ChronicleAction()));
    EXPECT_TRUE(frame->ViewMenu()->actions().contains(chronicle->NamesAction()));
    frame->show();
    chronicle->ChronicleAction()->trigger();
    EXPECT_TRUE(chronicle->Window().isVisible());
    EXPECT_FALSE(chronicle->Window().isModal());
    EXPECT_TRUE(chronicle->ChronicleAction()->isChecked());
    chronicle->ChronicleAction()->trigger();
    EXPECT_FALSE(chronicle->Window().isVisible());

    // The bundled map and the first scenario's world.
    CKivDoc real;
    ASSERT_TRUE(real.OnNewDocument());
    GameController realGame;
    CKivView realView(real, realGame);
    GameState& realWorld = realGame.Session().world;
    ASSERT_EQ(LoadCountryFile(realWorld, CountryFilePath(std::string(VELCOR_SOURCE_DIR) + "/data", 1)).status,
              LoadStatus::Loaded);
    BuildRulerTable(realWorld);
    realWorld.turnCountry = 4;
    realView.OnInitialUpdate();
    realView.OnDraw();
    const QImage plain = realView.Surface().copy();
    chronicle->NamesAction()->setChecked(true); // the view of the frame
    realView.SetCountryNames(true);
    realView.OnDraw();
    const QImage named = realView.Surface().copy();
    realView.SetCountryNames(false);
    realView.OnDraw();
    const QImage again = realView.Surface().convertToFormat(QImage::Format_RGB32);
    const QImage before = plain.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < kMapHeight; ++y)
        for (int x = 0; x < kMapWidth; ++x)
            if (again.pixel(x, y) != before.pixel(x, y) && differing++ < 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(differing, 0) << "off: the drawing as it was";
    EXPECT_NE(named, plain);
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = realView.GetWorld().countries[i];
        // The number cell with the turn frame around it.
        const QRect cell(c.GetMapX() - 2, c.GetMapY() - 17, 20, 20);
        EXPECT_EQ(named.copy(cell), plain.copy(cell)) << "the names cover number " << i;
    }
    EXPECT_TRUE(view->CountryNames()) << "the menu item turns the frame's view";
}

TEST_F(ChronicleFrameTest, TheWindowIsRememberedAndANewGameClearsTheChronicle)
{
    const QString name = QString::fromLatin1(Chronicle::kWindowName);
    platform::settings::SetWindowOpen(name, false);
    frame->show();
    chronicle->ShowWindow();
    chronicle->Window().move(221, 123);
    GameEvent month;
    month.kind = EventKind::Month;
    chronicle->Log().Observer().OnGameEvent(month);
    chronicle->Log().Poll();
    ASSERT_EQ(chronicle->Log().Count(), 1u);
    emit game->worldReplaced(QString()); // a new game
    EXPECT_EQ(chronicle->Log().Count(), 0u);

    frame->close();
    EXPECT_FALSE(chronicle->Window().isVisible()) << "closed with the main window";
    EXPECT_TRUE(platform::settings::WindowOpen(name));
    EXPECT_FALSE(platform::settings::WindowGeometry(name).isEmpty());

    // The next run opens it again where it was.
    frame.reset();
    view = new CKivView(doc, *game);
    view->OnInitialUpdate();
    frame = std::make_unique<CMainFrame>(view);
    chronicle = new Chronicle(*frame, *view);
    chronicle->RestoreWindow();
    EXPECT_TRUE(chronicle->Window().isVisible());
    EXPECT_EQ(chronicle->Window().pos(), QPoint(221, 123));
    chronicle->Window().hide();
    frame->close();
    EXPECT_FALSE(platform::settings::WindowOpen(name));
}

TEST_F(ChronicleFrameTest, TheWindowsBesideTheMainWindowStayOnItsScreen)
{
    platform::settings::SetWindowGeometry(QString::fromLatin1(Chronicle::kWindowName), QByteArray());
    const QRect area = WideScreen()->availableGeometry();
    frame->show();
    const QSize size = frame->frameGeometry().size();
    // The main window with room on its right and below, then against each edge.
    const QPoint farthest = area.bottomRight() - QPoint(size.width(), size.height()) + QPoint(1, 1);
    for (QPoint at : {area.topLeft(), farthest, QPoint(farthest.x(), area.top()), QPoint(area.left(), farthest.y())}) {
        frame->move(at);
        const QRect main = frame->frameGeometry();
        SCOPED_TRACE(std::to_string(main.x()) + "," + std::to_string(main.y()));
        ASSERT_TRUE(area.contains(main));

        ApplyWorld(W(), MakeTestWorld());
        BuildRulerTable(W());
        ASSERT_TRUE(ResolveComputerBattle(W(), game->Session().events, 6, 13));
        ASSERT_FALSE(chronicle->ReportTurn().isEmpty());
        chronicle->ShowWindow();
        for (QWidget* w : {static_cast<QWidget*>(&chronicle->Window()), static_cast<QWidget*>(&chronicle->ReportWindow())}) {
            const QRect r = w->frameGeometry();
            EXPECT_TRUE(area.contains(r)) << w->objectName().toStdString() << " at " << r.x() << "," << r.y();
            // Where there is room beside the main window, it leaves the main window clear.
            if (at == area.topLeft()) {
                EXPECT_FALSE(r.intersects(main)) << w->objectName().toStdString();
            }
        }
        chronicle->Window().hide();
        chronicle->ReportWindow().hide();
    }
}
