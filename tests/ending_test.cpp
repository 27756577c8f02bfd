// SPDX-License-Identifier: GPL-3.0-or-later
// How a game ended: the figures gathered from its events, and the table of the best
// games, which keeps the best of each scenario and never breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "session/best_games.h"
#include "session/game_summary.h"
#include "test_support.h"

namespace {

// The events of a made-up game, written short: the date moves with Month.
class Story {
public:
    // A new (or loaded) game: the player, and rulers[i] holding country i.
    Story& Start(RulerId player, std::initializer_list<RulerId> rulers, bool loaded = false)
    {
        GameEvent e = Dated(EventKind::Start);
        e.ruler = static_cast<std::int8_t>(player);
        e.byPlayer = loaded;
        int country = 0;
        for (RulerId r : rulers)
            e.SetStartRuler(country++, r);
        m_events.push_back(e);
        return *this;
    }
    Story& Month()
    {
        if (++m_month > 12) {
            m_month = 1;
            ++m_year;
        }
        m_events.push_back(Dated(EventKind::Month));
        return *this;
    }
    // An attack by attacker on country, held by defender; a taken country changes hands.
    Story& Battle(RulerId attacker, RulerId defender, int country, BattleOutcome outcome)
    {
        GameEvent e = Dated(EventKind::Battle);
        e.ruler = static_cast<std::int8_t>(attacker);
        e.otherRuler = static_cast<std::int8_t>(defender);
        e.target = static_cast<std::int8_t>(country);
        e.SetBattle(outcome, 100, 50, 100, outcome == BattleOutcome::Taken ? 0 : 50);
        m_events.push_back(e);
        if (outcome == BattleOutcome::Taken) {
            GameEvent c = Dated(EventKind::Capture);
            c.country = static_cast<std::int8_t>(country);
            c.ruler = static_cast<std::int8_t>(attacker);
            c.otherRuler = static_cast<std::int8_t>(defender);
            m_events.push_back(c);
        }
        return *this;
    }
    // ruler has lost his last country.
    Story& Fall(RulerId ruler)
    {
        GameEvent e = Dated(EventKind::Fall);
        e.ruler = static_cast<std::int8_t>(ruler);
        m_events.push_back(e);
        return *this;
    }
    Story& End(EventKind kind)
    {
        m_events.push_back(Dated(kind));
        return *this;
    }
    const std::vector<GameEvent>& Events() const { return m_events; }

private:
    GameEvent Dated(EventKind kind) const
    {
        GameEvent e;
        e.kind = kind;
        e.year = m_year;
        e.month = static_cast<std::int8_t>(m_month);
        return e;
    }

    std::int32_t m_year = 189;
    int m_month = 12;
    std::vector<GameEvent> m_events;
};

struct SummaryCase {
    const char* name;
    Story story;
    Difficulty difficulty;
    GameFigures figures;
    std::int64_t score;
    int lastPointHeld; // the player's countries at the chart's last point
    RulerId follow = 0; // one of several people, whose story is told
    std::uint8_t levels = 0; // the computers' levels, when several
};

} // namespace

TEST(GameSummary, GathersTheFiguresOfAGameFromItsEvents)
{
    const SummaryCase cases[] = {
        {"battles on both sides",
         Story()
             .Start(1, {1, 1, 2, 2, 3})
             .Month()
             .Battle(1, 2, 2, BattleOutcome::Taken)
             .Battle(1, 2, 3, BattleOutcome::Repelled)
             .Month()
             .Battle(2, 1, 0, BattleOutcome::Retreat)
             .Battle(2, 1, 2, BattleOutcome::Taken)
             .Battle(3, 2, 3, BattleOutcome::Taken)
             .Month(),
         Difficulty::Normal,
         {.startYear = 189, .startMonth = 12, .ruler = 1, .difficulty = Difficulty::Normal, .months = 3,
          .attacksWon = 1, .attacksLost = 1, .defencesWon = 1, .defencesLost = 1, .countriesTaken = 1,
          .countriesLost = 1, .held = 2, .mostHeld = 3, .mostYear = 190, .mostMonth = 1, .end = GameEnd::Playing,
          .endYear = 190, .endMonth = 3},
         (200 + 150 + 3) * 5 / 4, 2},
        {"unified in two months, on hard",
         Story().Start(1, {1, 2}).Month().Battle(1, 2, 1, BattleOutcome::Taken).Month().End(EventKind::Victory),
         Difficulty::Hard,
         {.startYear = 189, .startMonth = 12, .ruler = 1, .difficulty = Difficulty::Hard, .months = 2,
          .attacksWon = 1, .countriesTaken = 1, .held = 2, .mostHeld = 2, .mostYear = 190, .mostMonth = 1,
          .end = GameEnd::Unified, .endYear = 190, .endMonth = 2},
         (200 + 100 + 2 + 1000 + 2 * 598) * 6 / 4, 2},
        {"the last country lost, on easy",
         Story().Start(4, {4, 2}).Month().Battle(2, 4, 0, BattleOutcome::Taken).End(EventKind::GameOver),
         Difficulty::Easy,
         {.startYear = 189, .startMonth = 12, .ruler = 4, .difficulty = Difficulty::Easy, .months = 1,
          .defencesLost = 1, .countriesLost = 1, .held = 0, .mostHeld = 1, .mostYear = 189, .mostMonth = 12,
          .end = GameEnd::Defeated, .endYear = 190, .endMonth = 1},
         50 + 1, 0},
        {"a saved game whose beginning was not heard, on master",
         Story().Month().Start(2, {2, 2, 1}, true).Month(),
         Difficulty::Master,
         {.ruler = 2, .difficulty = Difficulty::Master, .months = 1, .held = 2, .mostHeld = 2, .mostYear = 190,
          .mostMonth = 1, .endYear = 190, .endMonth = 2},
         (200 + 100 + 1) * 7 / 4, 2},
        {"a saved game that goes on from its beginning, and a new game after an old one",
         Story()
             .Start(3, {1, 2})
             .Month()
             .End(EventKind::GameOver)
             .Start(2, {2, 2, 1})
             .Month()
             .Start(2, {2, 2, 1}, true)
             .Month(),
         Difficulty::Normal,
         {.startYear = 190, .startMonth = 1, .ruler = 2, .months = 2, .held = 2, .mostHeld = 2, .mostYear = 190,
          .mostMonth = 1, .endYear = 190, .endMonth = 3},
         (200 + 100 + 2) * 5 / 4, 2},
        {"one of several people loses his last country, and the others play on",
         Story()
             .Start(1, {1, 2, 3})
             .Month()
             .Battle(3, 2, 1, BattleOutcome::Taken)
             .Fall(2)
             .Month()
             .Battle(1, 3, 2, BattleOutcome::Taken)
             .Month(),
         Difficulty::Normal,
         {.startYear = 189, .startMonth = 12, .ruler = 2, .months = 1, .defencesLost = 1, .countriesLost = 1,
          .mostHeld = 1, .mostYear = 189, .mostMonth = 12, .end = GameEnd::Defeated, .endYear = 190, .endMonth = 1},
         (50 + 1) * 5 / 4, 0, 2},
        {"unified against computers at two levels: weighed at the lower",
         Story().Start(1, {1, 2}).Month().Battle(1, 2, 1, BattleOutcome::Taken).Month().End(EventKind::Victory),
         Difficulty::Normal,
         {.startYear = 189, .startMonth = 12, .ruler = 1, .difficulty = Difficulty::Hard,
          .levels = LevelBit(Difficulty::Hard) | LevelBit(Difficulty::Master), .months = 2, .attacksWon = 1,
          .countriesTaken = 1, .held = 2, .mostHeld = 2, .mostYear = 190, .mostMonth = 1, .end = GameEnd::Unified,
          .endYear = 190, .endMonth = 2},
         (200 + 100 + 2 + 1000 + 2 * 598) * 6 / 4, 2, 0, LevelBit(Difficulty::Hard) | LevelBit(Difficulty::Master)},
    };
    for (const SummaryCase& c : cases) {
        GameSummary summary;
        summary.Follow(c.follow);
        summary.SetDifficulty(c.difficulty);
        summary.SetLevels(c.levels);
        for (const GameEvent& e : c.story.Events())
            summary.OnGameEvent(e);
        EXPECT_EQ(summary.Figures(), c.figures) << c.name;
        EXPECT_EQ(summary.Score(), c.score) << c.name;
        const auto& points = summary.History().Points();
        ASSERT_FALSE(points.empty()) << c.name;
        EXPECT_EQ(points.back().held[static_cast<std::size_t>(c.figures.ruler)], c.lastPointHeld) << c.name;
        // The chart goes on with the game, his story only as long as he does.
        EXPECT_EQ(points.back().year * 100 + points.back().month,
                  c.follow ? 190 * 100 + 3 : c.figures.endYear * 100 + c.figures.endMonth)
            << c.name;
    }
}

namespace {

BestGame Game(std::int32_t scenario, std::int64_t score, std::int64_t endedAt)
{
    BestGame g;
    g.scenario = scenario;
    g.score = score;
    g.endedAt = endedAt;
    g.ruler = 1 + static_cast<RulerId>(endedAt % 15);
    g.months = static_cast<int>(endedAt);
    g.end = endedAt % 2 ? GameEnd::Unified : GameEnd::Defeated;
    g.difficulty = static_cast<Difficulty>(endedAt % 3);
    g.recordFile = endedAt % 2 ? "" : "game" + std::to_string(endedAt) + ".jsonl";
    return g;
}

} // namespace

TEST(BestGames, KeepsTheBestTwentyOfEachScenarioInOrderAndReadsBackOnlyAWholeTable)
{
    BestGames games;
    // 30 games of 189 with the scores 0, 10, ..., 290 in a shuffled order, and games of
    // 200 in between.
    std::vector<std::int64_t> kept189;
    for (int i = 0; i < 30; ++i) {
        const std::int64_t score = (i * 7 % 30) * 10;
        const int place = games.Insert(Game(189, score, 1000 + i));
        // Its place among those entered so far.
        std::vector<std::int64_t> before = kept189;
        const auto at = std::upper_bound(before.begin(), before.end(), score, std::greater<>());
        const int expected = static_cast<int>(at - before.begin());
        EXPECT_EQ(place, expected < 20 ? expected : -1) << i;
        before.insert(at, score);
        before.resize(std::min<std::size_t>(before.size(), BestGames::kKeptPerScenario));
        kept189 = before;
        if (i % 10 == 0)
            games.Insert(Game(200, 5, 2000 + i));
    }
    BestGame mixed = Game(200, 7, 3000); // its computers at two levels
    mixed.difficulty = Difficulty::Easy;
    mixed.levels = LevelBit(Difficulty::Easy) | LevelBit(Difficulty::Master);
    games.Insert(mixed);
    games.Insert(Game(189, 200, 5000)); // equal to one kept: after it
    const std::vector<BestGame> best = games.OfScenario(189);
    ASSERT_EQ(best.size(), BestGames::kKeptPerScenario);
    for (std::size_t i = 0; i < best.size(); ++i) {
        const std::int64_t score = i <= 9 ? 290 - 10 * static_cast<std::int64_t>(i) : 300 - 10 * static_cast<std::int64_t>(i);
        EXPECT_EQ(best[i].score, score) << i;
    }
    EXPECT_EQ(best[10].endedAt, 5000); // the later of the two 200s second
    EXPECT_EQ(games.OfScenario(200).size(), 4u);

    // Written and read back, the same table.
    BestGames read;
    platform::Message why;
    ASSERT_TRUE(read.Parse(games.Format(), &why)) << why.Text();
    EXPECT_EQ(read.Entries(), games.Entries());

    // A table cut short or garbled anywhere is refused whole, the table read before kept.
    const std::string text = games.Format();
    const std::string firstGame = text.substr(0, text.find('\n', text.find('\n') + 1) + 1);
    const std::string broken[] = {
        text.substr(0, text.size() / 2),
        text.substr(0, text.rfind("end ")),
        firstGame + "end 2\n",
        std::string(text).replace(text.find("normal"), 6, "normel"),
        std::string(text).replace(text.find("normal"), 6, "hard+easy"),
        std::string(text).replace(text.find("normal"), 6, "easy+easy"),
        std::string(text).replace(text.find("normal"), 6, "normal+"),
        std::string(text).replace(text.find("\t"), 1, " "),
        text + "189\t1\t1\tnormal\t1\tunified\t1\t\n",
        "velcor best games 2\nend 0\n",
        firstGame.substr(0, firstGame.size() - 1) + "/../x\nend 1\n",
        "",
    };
    for (const std::string& bad : broken) {
        BestGames kept = read;
        EXPECT_FALSE(kept.Parse(bad, &why)) << bad;
        EXPECT_FALSE(why.empty()) << bad;
        EXPECT_EQ(kept.Entries(), read.Entries()) << bad;
    }
}

TEST(BestGames, AWriteThatFailsHalfWayLeavesTheOldTable)
{
    TempDir dir;
    const std::string path = dir.Path("best-games.txt");
    BestGames old;
    old.Insert(Game(189, 100, 1));
    std::string error;
    ASSERT_TRUE(old.Save(path, &error)) << error;

    BestGames larger;
    for (int i = 0; i < 40; ++i)
        larger.Insert(Game(189 + i % 2 * 11, 10 * i, 100 + i));
    ASSERT_GT(larger.Format().size(), 2 * old.Format().size());

    // A child writes the larger table with room for half of it: the write stops half
    // way, as a full disk or a kill would stop it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit half{static_cast<rlim_t>(larger.Format().size() / 2), RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &half);
        std::string childError;
        ::_exit(larger.Save(path, &childError) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write was not cut off";

    BestGames read;
    platform::Message why;
    ASSERT_EQ(read.Load(path, &why), BestGames::ReadStatus::Read) << why.Text();
    EXPECT_EQ(read.Entries(), old.Entries());

    // A table that cannot be read is refused; the one read before stays.
    WriteFileBytes(path, old.Format().substr(0, 30));
    EXPECT_EQ(read.Load(path, &why), BestGames::ReadStatus::Refused);
    EXPECT_EQ(read.Entries(), old.Entries());
    EXPECT_EQ(BestGames().Load(dir.Path("none.txt"), &why), BestGames::ReadStatus::Missing);
}

TEST(BestGames, AKeptGameHasItsRecordBesideTheTableAndNoRecordIsLeftThatNoTableNames)
{
    // A game begun in the last month of 189 and won in 190: one of the games of 189.
    Story story;
    story.Start(1, {1, 2}).Month().Battle(1, 2, 1, BattleOutcome::Taken).Month().End(EventKind::Victory);
    GameSummary summary;
    for (const GameEvent& e : story.Events())
        summary.OnGameEvent(e);
    const BestGame game = MakeBestGame(summary.Figures(), 1000, "game-1000.record");
    RecordedGame record;
    record.steps.emplace_back(RecordStart{});

    BestGames better;
    for (int i = 0; i < static_cast<int>(BestGames::kKeptPerScenario); ++i)
        better.Insert(Game(189, game.score + 1 + i, i));
    using Prepare = void (*)(const TempDir& dir);
    const struct {
        const char* label;
        Prepare prepare;
        const BestGames* before; // the table as read; nullptr when there is none
        bool kept;
    } cases[] = {
        {"written", [](const TempDir&) {}, nullptr, true},
        {"not among the best", [](const TempDir&) {}, &better, false},
        {"the table a dangling link",
         [](const TempDir& dir) { std::filesystem::create_symlink("none/best.txt", dir.Path("best.txt")); },
         nullptr, false},
        {"the table a folder", [](const TempDir& dir) { std::filesystem::create_directory(dir.Path("best.txt")); },
         nullptr, false},
        {"the record a folder",
         [](const TempDir& dir) { std::filesystem::create_directory(dir.Path("game-1000.record")); }, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempDir dir;
        c.prepare(dir);
        BestGames games = c.before ? *c.before : BestGames();
        std::string error;
        const int place = KeepBestGame(games, game, record, dir.Path("best.txt"), dir.Path("game-1000.record"), &error);
        EXPECT_EQ(place >= 0, c.kept);
        EXPECT_EQ(error.empty(), c.kept || c.before) << error;
        BestGames read;
        platform::Message why;
        read.Load(dir.Path("best.txt"), &why);
        const std::vector<BestGame> kept = read.OfScenario(189);
        EXPECT_EQ(std::count(kept.begin(), kept.end(), game), c.kept ? 1 : 0);
        EXPECT_EQ(std::filesystem::is_regular_file(dir.Path("game-1000.record")), c.kept);
    }
}
